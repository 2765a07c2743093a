// The OA notice page of ours (tests/browser/oa/), served on 127.0.0.1 by this test, in
// headless Chromium. The rows come from the library's notice list (page_json_tool
// --oa-rows) with every hostile vector of injection_vectors.tsv in every field the page
// shows; a stand-in for the client's script object answers the page and records its calls.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

const here = path.dirname(fileURLToPath(import.meta.url));
const pageDir = path.join(here, 'oa');
const tool = process.env.QORV_PAGE_JSON_TOOL;
if (!tool) throw new Error('QORV_PAGE_JSON_TOOL names the page builder tool (ctest sets it)');

const fromHex = (hex) => Buffer.from(hex, 'hex').toString('utf8');
const tableLines = fs.readFileSync(path.join(here, 'injection_vectors.tsv'), 'utf8')
    .split('\n').filter((line) => line.length > 0 && !line.startsWith('#'));
const vectors = execFileSync(tool, ['--oa-rows'], { input: tableLines.join('\n') + '\n' })
    .toString('utf8').split('\n').filter((line) => line.length > 0)
    .map((line) => line.split('\t'))
    .map(([name, rows, ...cells]) => ({ name, rows: fromHex(rows), cells: cells.map(fromHex) }));

const kTypes = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8',
                 '.css': 'text/css; charset=utf-8' };
let server;
let origin;
let browser;

before(async () => {
    server = http.createServer((request, response) => {
        const name = path.basename(new URL(request.url, 'http://127.0.0.1').pathname);
        const file = path.join(pageDir, name);
        if (!fs.existsSync(file)) {
            response.writeHead(404).end();
            return;
        }
        response.writeHead(200, { 'Content-Type': kTypes[path.extname(name)] ?? 'text/plain' });
        response.end(fs.readFileSync(file));
    });
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    origin = `http://127.0.0.1:${server.address().port}`;
    browser = await chromium.launch({
        executablePath: process.env.QORV_CHROMIUM ?? '/usr/bin/chromium',
        args: ['--no-sandbox'],
    });
});

after(async () => {
    await browser?.close();
    await new Promise((resolve) => server?.close(resolve));
});

// Opens the page with a stand-in object answering `rows` (directly, or through a callback
// as a web channel does) and recording every call.
async function openPage(rows, count, { callbacks = false } = {}) {
    const context = await browser.newContext();
    await context.addInitScript(([text, total, viaCallback]) => {
        window.__trapped = 0;
        window.__pwned = () => { window.__trapped += 1; };
        window.__violations = [];
        document.addEventListener('securitypolicyviolation', (event) => {
            window.__violations.push(`${event.violatedDirective} ${event.blockedURI}`);
        });
        window.__calls = [];
        const answers = { getCount: total, getPageContent: text };
        const method = (name) => (...args) => {
            // The page always passes a callback last; a web channel answers through it.
            const done = typeof args[args.length - 1] === 'function' ? args.pop() : null;
            window.__calls.push([name, ...args]);
            const answer = name in answers ? answers[name] : '';
            if (!viaCallback) return answer;
            setTimeout(() => done?.(answer), 0);
            return undefined;
        };
        window.oaBridge = Object.fromEntries(
            ['getCount', 'getPageContent', 'updateStatus', 'deleteScheduler', 'Sort', 'Close']
                .map((name) => [name, method(name)]));
    }, [rows, count, callbacks]);
    const page = await context.newPage();
    const seen = { requests: [], errors: [], dialogs: 0 };
    page.on('request', (request) => seen.requests.push(request.url()));
    page.on('pageerror', (error) => seen.errors.push(error.message));
    page.on('dialog', (dialog) => { seen.dialogs += 1; dialog.dismiss().catch(() => {}); });
    await page.goto(`${origin}/notices.html`);
    await page.waitForFunction(() => document.body.dataset.shown === '1');
    return { page, seen, context };
}

async function readTable(page) {
    return page.evaluate(() => [...document.querySelectorAll('#rows tr')].map((tr) => ({
        id: tr.dataset.id,
        cells: ['appDesc', 'address', 'desc', 'sender', 'time', 'status']
            .map((name) => tr.querySelector(`.${name}`).textContent),
        elements: [...tr.querySelectorAll('td *')].map((e) => e.nodeName),
    })));
}

describe('every hostile field shows as text', () => {
    test('the table is large enough', () => {
        assert.ok(vectors.length >= 60, `${vectors.length} vectors`);
    });

    test('all vectors in every field, on one page', async () => {
        const rows = vectors.map((vector) => vector.rows).join('\\r\\n');
        const { page, seen, context } = await openPage(rows, vectors.length);
        try {
            const table = await readTable(page);
            assert.equal(table.length, vectors.length);
            vectors.forEach((vector, i) => {
                const [appDesc, address, desc, sender, time, status] = vector.cells;
                assert.equal(status, '1', vector.name);
                assert.deepEqual(table[i].cells, [appDesc, address, desc, sender, time, '未读'],
                                 vector.name);
                assert.equal(table[i].id, '1', vector.name);
                assert.deepEqual(table[i].elements, ['INPUT'], `${vector.name}: nothing made`);
            });
            const state = await page.evaluate(() => ({
                trapped: window.__trapped, violations: window.__violations,
                calls: window.__calls, url: location.href,
            }));
            assert.equal(state.trapped, 0, 'no script of a field ran');
            assert.deepEqual(state.violations, []);
            assert.equal(seen.dialogs, 0);
            assert.deepEqual(seen.errors, []);
            assert.equal(state.url, `${origin}/notices.html`, 'the page stayed where it was');
            assert.deepEqual(state.calls,
                             [['getCount'], ['getPageContent', 0, vectors.length]]);
            for (const url of seen.requests) assert.ok(url.startsWith(`${origin}/`), url);
        } finally {
            await context.close();
        }
    });
});

describe('the page edits the list through the object', () => {
    const row = (id, title, status) =>
        `${id}\\t公文系统\\thttp://oa/doc?id=${id}\\t${title}\\t办公室\\t2009-01-02 03:04:05\\t${status}`;
    const rows = [row(4, 'a\\\\tb', '1'), row(9, '第二份', '0')].join('\\r\\n');

    for (const callbacks of [false, true]) {
        test(callbacks ? 'answers through callbacks' : 'answers at once', async () => {
            const { page, context } = await openPage(rows, 2, { callbacks });
            try {
                const table = await readTable(page);
                assert.deepEqual(table.map((r) => [r.id, r.cells[2], r.cells[5]]),
                                 [['4', 'a\\tb', '未读'], ['9', '第二份', '已读']]);
                // Each action reads the list again: wait for that before the next one.
                let reads = 1;
                const act = async (step) => {
                    await step();
                    reads += 1;
                    await page.waitForFunction(
                        (n) => document.body.dataset.shown === String(n), reads);
                };
                await page.locator('#rows tr').nth(1).locator('.pick').check();
                await act(() => page.click('#markRead'));
                await act(() => page.click('th[data-column="时间"]'));
                await act(() => page.click('th[data-column="时间"]'));
                await page.click('#all');
                await act(() => page.click('#delete'));
                await page.click('#close');
                await page.waitForFunction(() => window.__calls.some(([name]) => name === 'Close'));
                const calls = await page.evaluate(() => window.__calls
                    .filter(([name]) => name !== 'getCount' && name !== 'getPageContent'));
                assert.deepEqual(calls, [['updateStatus', '9\\t'], ['Sort', '时间', '0'],
                                         ['Sort', '时间', '1'],
                                         ['deleteScheduler', '4\\t9\\t'], ['Close']]);
            } finally {
                await context.close();
            }
        });
    }
});
