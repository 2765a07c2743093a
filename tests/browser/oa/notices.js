// The real-time OA notice list. The client offers this page the object "oaBridge" (a method
// answers directly, or through a callback as a web channel does); the rows come as text:
// fields after the two characters "\t", rows joined by the four characters "\r\n", a
// backslash inside a field doubled. Every field is shown as text, never as markup.
'use strict';

(() => {
  const bridge = () => window.oaBridge;

  function call(method, ...args) {
    return new Promise((resolve) => {
      const answer = bridge()[method](...args, resolve);
      if (answer !== undefined) resolve(answer);
    });
  }

  // One pass over the escapes: "\\" a backslash, "\t" the next field, "\r\n" the next row.
  function readRows(text) {
    if (text === '') return [];
    const rows = [['']];
    for (let i = 0; i < text.length; ++i) {
      const row = rows[rows.length - 1];
      if (text[i] !== '\\') {
        row[row.length - 1] += text[i];
      } else if (text.startsWith('\\\\', i)) {
        row[row.length - 1] += '\\';
        i += 1;
      } else if (text.startsWith('\\t', i)) {
        row.push('');
        i += 1;
      } else if (text.startsWith('\\r\\n', i)) {
        rows.push(['']);
        i += 3;
      } else {
        row[row.length - 1] += '\\';
      }
    }
    return rows;
  }

  let sortColumn = '';
  let sortOrder = 0;

  function cell(text, className) {
    const td = document.createElement('td');
    td.className = className;
    td.textContent = text;
    return td;
  }

  async function refresh() {
    const count = Number(await call('getCount'));
    const rows = readRows(String(await call('getPageContent', 0, count)));
    const body = document.getElementById('rows');
    body.replaceChildren();
    for (const [id, appDesc, address, desc, sender, time, status] of rows) {
      const tr = document.createElement('tr');
      tr.dataset.id = id;
      if (status === '1') tr.className = 'unread';
      const pick = document.createElement('td');
      const box = document.createElement('input');
      box.type = 'checkbox';
      box.className = 'pick';
      pick.append(box);
      tr.append(pick, cell(appDesc, 'appDesc'), cell(desc, 'desc'), cell(sender, 'sender'),
                cell(time, 'time'), cell(status === '1' ? '未读' : '已读', 'status'),
                cell(address, 'address'));
      body.append(tr);
    }
    document.getElementById('count').textContent = `共 ${count} 条`;
    // How many times the list was shown, for whoever waits on the page (a test).
    document.body.dataset.shown = String(Number(document.body.dataset.shown ?? 0) + 1);
  }

  // The picked notices' ids, each followed by "\t".
  function pickedIds() {
    return [...document.querySelectorAll('#rows tr')]
      .filter((tr) => tr.querySelector('.pick').checked)
      .map((tr) => `${tr.dataset.id}\\t`).join('');
  }

  async function onPicked(method) {
    const ids = pickedIds();
    if (ids === '') return;
    await call(method, ids);
    await refresh();
  }

  window.refresh = refresh;
  document.addEventListener('DOMContentLoaded', () => {
    for (const th of document.querySelectorAll('th[data-column]')) {
      th.addEventListener('click', async () => {
        sortOrder = sortColumn === th.dataset.column ? 1 - sortOrder : 0;
        sortColumn = th.dataset.column;
        await call('Sort', sortColumn, String(sortOrder));
        await refresh();
      });
    }
    document.getElementById('all').addEventListener('change', (event) => {
      for (const box of document.querySelectorAll('.pick')) box.checked = event.target.checked;
    });
    document.getElementById('markRead').addEventListener('click', () => onPicked('updateStatus'));
    document.getElementById('delete').addEventListener('click', () => onPicked('deleteScheduler'));
    document.getElementById('close').addEventListener('click', () => call('Close'));
    refresh();
  });
})();
