// The message manager's page. The client calls four methods on `window` (SetPath, showmsg,
// GetSel, SelectFromID); the page reports what the person does through one bridge object
// (`report(name, value)`): "selection" (the selected ids joined by ';'), "key" ("Up",
// "Down", "Ctrl+C") and "command" ("copy" with the text, "selectAll", "savePicture" with the
// picture's path).
//
// Every text of a record comes from other people. It only ever becomes text nodes
// (textContent) or attribute values set one by one; picture and face addresses are built from
// the two folders the client names and a checked name or number, nothing else.
'use strict';

(function () {
    // ---- The bridge to the host
    // A host that prepared its own object before the page ran (the browser tests do) keeps
    // it; the desktop program offers one over Qt WebChannel. Reports made before the
    // channel is up wait for it.
    const early = window.msgmgrBridge;
    let bridge = early && typeof early.report === 'function' ? early : null;
    const waiting = [];

    function report(name, value) {
        if (bridge) {
            bridge.report(String(name), String(value));
        } else {
            waiting.push([String(name), String(value)]);
        }
    }

    function connectToQt() {
        if (bridge || typeof window.QWebChannel !== 'function' || !window.qt ||
            !window.qt.webChannelTransport) {
            return;
        }
        new window.QWebChannel(window.qt.webChannelTransport, function (channel) {
            const object = channel.objects.msgmgrBridge;
            if (!object || typeof object.report !== 'function') return;
            bridge = object;
            for (const [name, value] of waiting.splice(0)) bridge.report(name, value);
        });
    }

    // ---- What the client gave
    let pictureFolder = null;  // SetPath's first argument: where pictures are
    let faceFolder = null;     // its second: where face/<n>.gif are
    let records = [];          // {id, from, time, contents, type, element}
    const selected = new Set();  // ids
    let anchor = null;           // the id a Shift+click extends from

    // A folder the client named ("/home/.../temp/") as a file: address, each part encoded.
    function folderUrl(path) {
        if (typeof path !== 'string' || !path.startsWith('/')) return null;
        const folder = path.endsWith('/') ? path : path + '/';
        const parts = folder.split('/').map(function (part) {
            return encodeURIComponent(part);
        });
        return 'file://' + parts.join('/');
    }

    // A picture's name is a name: never a path, never a way out of the folder.
    function isPictureName(name) {
        if (name.length === 0 || name.length > 255) return false;
        if (name.includes('/') || name.includes('\\') || name.includes('..')) return false;
        return !/[\u0000-\u001f\u007f]/.test(name);
    }

    const kFaceCount = 80;

    // ---- Record text
    // The client escapes a quote in the record text as \" inside the JSON string, so the
    // parsed text carries \" for each quote; this gives the quote back.
    function unescapeQuotes(text) {
        return text.replace(/\\"/g, '"');
    }

    // A name or a time is one line: a line break in it reads as a blank.
    function oneLine(text) {
        return unescapeQuotes(text).split('<br//>').join(' ');
    }

    // The font header ("FONT(face,charset,pitch,height,bold,italic,underline,strike,r,g,b)")
    // applied as a style: numbers only, each one checked; the face name is not used.
    function applyFontHeader(header, element) {
        const fields = header.slice(5, -1).split(',');
        if (fields.length !== 11) return;
        const number = function (index, low, high) {
            const text = fields[index];
            if (!/^\d{1,5}$/.test(text)) return null;
            const value = Number(text);
            return value >= low && value <= high ? value : null;
        };
        const height = number(3, 1, 2000);
        if (height !== null) element.style.fontSize = Math.min(36, Math.max(6, height / 20)) + 'pt';
        if (fields[4] !== '0' && fields[4] !== '') element.style.fontWeight = 'bold';
        if (fields[5] !== '0' && fields[5] !== '') element.style.fontStyle = 'italic';
        const lines = [];
        if (fields[6] !== '0' && fields[6] !== '') lines.push('underline');
        if (fields[7] !== '0' && fields[7] !== '') lines.push('line-through');
        if (lines.length > 0) element.style.textDecoration = lines.join(' ');
        const red = number(8, 0, 255), green = number(9, 0, 255), blue = number(10, 0, 255);
        if (red !== null && green !== null && blue !== null) {
            element.style.color = 'rgb(' + red + ', ' + green + ', ' + blue + ')';
        }
    }

    function makeImage(className, source, label) {
        const image = document.createElement('img');
        image.className = className;
        image.alt = label;
        image.title = label;
        image.draggable = false;
        image.src = source;
        return image;
    }

    // Fills `element` with the record's contents: text, line breaks, faces and pictures.
    function renderContents(contents, element) {
        let text = contents;
        const header = /FONT\([^)]*\)/.exec(text);
        if (header) {
            applyFontHeader(header[0], element);
            text = text.slice(0, header.index) + text.slice(header.index + header[0].length);
        }
        const fragment = document.createDocumentFragment();
        let pending = '';
        const flush = function () {
            if (pending.length > 0) fragment.appendChild(document.createTextNode(pending));
            pending = '';
        };
        const faces = folderUrl(faceFolder);
        const pictures = folderUrl(pictureFolder);
        let i = 0;
        while (i < text.length) {
            if (text.startsWith('<br//>', i)) {
                flush();
                fragment.appendChild(document.createElement('br'));
                i += 6;
                continue;
            }
            if (text.startsWith('#(', i)) {
                const face = /^#\((\d\d)\)#/.exec(text.slice(i, i + 6));
                if (face && faces !== null && Number(face[1]) < kFaceCount) {
                    flush();
                    const number = Number(face[1]);
                    fragment.appendChild(makeImage('face', faces + number + '.gif', '[表情]'));
                    i += 6;
                    continue;
                }
                if (text.startsWith('#(-2)#[', i)) {
                    const close = text.indexOf(']', i + 7);
                    const name = close < 0 ? '' : text.slice(i + 7, close);
                    if (close >= 0 && pictures !== null && isPictureName(name)) {
                        flush();
                        const image = makeImage('picture', pictures + encodeURIComponent(name),
                                                '[图片]');
                        image.dataset.path = pictureFolder + name;
                        fragment.appendChild(image);
                        i = close + 1;
                        continue;
                    }
                }
                if (text.startsWith('#(-1)#', i)) {  // the shake: its note follows as text
                    i += 6;
                    continue;
                }
            }
            pending += text[i];
            i += 1;
        }
        flush();
        element.appendChild(fragment);
    }

    function kindOf(type) {
        if (type === '11') return 'sms';
        if (type === '0') return 'chat';
        return 'other';
    }

    function renderRecord(record) {
        const element = document.createElement('div');
        element.className = 'record ' + kindOf(record.type);
        element.setAttribute('role', 'option');
        element.dataset.id = record.id;
        const head = document.createElement('div');
        head.className = 'head';
        const from = document.createElement('span');
        from.className = 'from';
        from.textContent = record.from;
        const time = document.createElement('span');
        time.className = 'time';
        time.textContent = record.time;
        head.append(from, time);
        if (record.type === '11') {
            const kind = document.createElement('span');
            kind.className = 'kind';
            kind.textContent = '短信';
            head.appendChild(kind);
        }
        const contents = document.createElement('div');
        contents.className = 'contents';
        renderContents(record.contents, contents);
        element.append(head, contents);
        record.element = element;
        return element;
    }

    function field(value) {
        return typeof value === 'string' ? value : value === undefined || value === null ? ''
                                                                                       : String(value);
    }

    // ---- Selection
    function selectionText() {
        return records.filter(function (record) { return selected.has(record.id); })
            .map(function (record) { return record.id; })
            .join(';');
    }

    function showSelection() {
        for (const record of records) {
            const on = selected.has(record.id);
            record.element.classList.toggle('selected', on);
            record.element.setAttribute('aria-selected', on ? 'true' : 'false');
        }
    }

    function changeSelection(ids) {
        const before = selectionText();
        selected.clear();
        for (const id of ids) selected.add(id);
        showSelection();
        const after = selectionText();
        if (after !== before) report('selection', after);
    }

    function recordOf(node) {
        const element = node instanceof Element ? node.closest('.record') : null;
        if (!element) return null;
        return records.find(function (record) { return record.element === element; }) || null;
    }

    function clicked(event) {
        const record = recordOf(event.target);
        if (!record) return;
        if (event.shiftKey && anchor !== null) {
            const from = records.findIndex(function (r) { return r.id === anchor; });
            const to = records.indexOf(record);
            if (from >= 0) {
                const low = Math.min(from, to), high = Math.max(from, to);
                changeSelection(records.slice(low, high + 1).map(function (r) { return r.id; }));
                return;
            }
        }
        if (event.ctrlKey || event.metaKey) {
            const ids = new Set(selected);
            if (ids.has(record.id)) ids.delete(record.id); else ids.add(record.id);
            anchor = record.id;
            changeSelection(ids);
            return;
        }
        anchor = record.id;
        changeSelection([record.id]);
    }

    function selectAll() {
        changeSelection(records.map(function (record) { return record.id; }));
    }

    // What "copy" puts on the clipboard: the text the person marked, else the selected
    // records as they read.
    function copyText() {
        const marked = window.getSelection ? String(window.getSelection()) : '';
        if (marked.length > 0) return marked;
        return records.filter(function (record) { return selected.has(record.id); })
            .map(function (record) {
                return record.from + '  ' + record.time + '\n' + record.element.lastChild.innerText;
            })
            .join('\n');
    }

    // ---- Keys and the menu
    function keyPressed(event) {
        const control = event.ctrlKey || event.metaKey;
        if (!control && !event.altKey && (event.key === 'ArrowUp' || event.key === 'ArrowDown')) {
            event.preventDefault();  // the client moves the selection
            report('key', event.key === 'ArrowUp' ? 'Up' : 'Down');
        } else if (control && (event.key === 'c' || event.key === 'C')) {
            event.preventDefault();
            report('key', 'Ctrl+C');
            report('command', 'copy\u001f' + copyText());
        } else if (control && (event.key === 'a' || event.key === 'A')) {
            event.preventDefault();
            selectAll();
        }
    }

    let menuPicture = null;

    function hideMenu() {
        document.getElementById('menu').hidden = true;
        menuPicture = null;
    }

    function openMenu(event) {
        event.preventDefault();
        const menu = document.getElementById('menu');
        const target = event.target;
        menuPicture = target instanceof HTMLImageElement && target.classList.contains('picture')
            ? target : null;
        const save = menu.querySelector('[data-command="savePicture"]');
        save.classList.toggle('disabled', menuPicture === null);
        const record = recordOf(target);
        if (record && !selected.has(record.id)) {
            anchor = record.id;
            changeSelection([record.id]);
        }
        menu.style.left = Math.max(0, event.clientX) + 'px';
        menu.style.top = Math.max(0, event.clientY) + 'px';
        menu.hidden = false;
    }

    function menuChosen(event) {
        const item = event.target instanceof Element ? event.target.closest('.item') : null;
        if (!item) return;
        const command = item.dataset.command;
        const picture = menuPicture;
        if (command === 'copy') {
            report('command', 'copy\u001f' + copyText());
        } else if (command === 'selectAll') {
            selectAll();
            report('command', 'selectAll');
        } else if (command === 'savePicture' && picture !== null) {
            report('command', 'savePicture\u001f' + picture.dataset.path);
        }
        hideMenu();
    }

    // ---- The methods the client calls
    window.SetPath = function (pictures, faces) {
        pictureFolder = typeof pictures === 'string' ? pictures : null;
        faceFolder = typeof faces === 'string' ? faces : null;
    };

    window.showmsg = function (json, flag) {
        const list = document.getElementById('records');
        let parsed = null;
        try {
            parsed = JSON.parse(String(json));
        } catch (error) {
            parsed = null;
        }
        const before = selectionText();
        records = [];
        selected.clear();
        anchor = null;
        list.replaceChildren();
        list.classList.toggle('sent', Number(flag) === 1);
        if (!Array.isArray(parsed)) {
            const notice = document.createElement('div');
            notice.className = 'notice';
            notice.textContent = '消息记录无法显示。';
            list.appendChild(notice);
        } else {
            const fragment = document.createDocumentFragment();
            for (const item of parsed) {
                if (item === null || typeof item !== 'object') continue;
                const record = {
                    id: field(item.ID),
                    from: oneLine(field(item.from)),
                    time: oneLine(field(item.time)),
                    contents: unescapeQuotes(field(item.contents)),
                    type: field(item.type),
                    element: null,
                };
                records.push(record);
                fragment.appendChild(renderRecord(record));
            }
            list.appendChild(fragment);
        }
        window.scrollTo(0, 0);
        if (before !== '') report('selection', '');
    };

    window.GetSel = function () {
        return selectionText();
    };

    // Selects the record with this id and brings it into view; `direction` 1 is a move up,
    // 2 a move down.
    window.SelectFromID = function (id, unused, direction) {
        const record = records.find(function (r) { return r.id === String(id); });
        if (!record) return;
        anchor = record.id;
        changeSelection([record.id]);
        record.element.scrollIntoView({block: Number(direction) === 1 ? 'start' : 'end'});
        record.element.scrollIntoView({block: 'nearest'});
    };

    document.addEventListener('DOMContentLoaded', function () {
        const list = document.getElementById('records');
        list.addEventListener('click', clicked);
        list.addEventListener('mousedown', function (event) {
            if (event.shiftKey) event.preventDefault();  // no text marked by a Shift+click
        });
        document.addEventListener('keydown', keyPressed);
        document.addEventListener('contextmenu', openMenu);
        document.getElementById('menu').addEventListener('click', menuChosen);
        document.addEventListener('mousedown', function (event) {
            const menu = document.getElementById('menu');
            if (!menu.hidden && !(event.target instanceof Element && menu.contains(event.target))) {
                hideMenu();
            }
        });
        connectToQt();
    });
})();
