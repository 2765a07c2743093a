// The message manager's page (apps/qorvdesk/resources/template/msgmgr.html) in headless
// Chromium. Records come from the library's page builder (page_json_tool), so what is tested is
// what the client hands the page. A stand-in bridge records what the page reports.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';

const here = path.dirname(fileURLToPath(import.meta.url));
const pageDir = process.env.QORV_PAGE_DIR ??
    path.resolve(here, '../../apps/qorvdesk/resources/template');
const tool = process.env.QORV_PAGE_JSON_TOOL;
if (!tool) throw new Error('QORV_PAGE_JSON_TOOL names the page builder tool (ctest sets it)');

// A 1x1 GIF: the faces and pictures of the fixture folders.
const kGif = Buffer.from('R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7', 'base64');

const fixture = fs.mkdtempSync(path.join(os.tmpdir(), 'qorv-page-'));
const pictureFolder = path.join(fixture, 'temp') + '/';
const faceFolder = path.join(fixture, 'face') + '/';
fs.mkdirSync(pictureFolder);
fs.mkdirSync(faceFolder);
for (let face = 0; face < 80; ++face) fs.writeFileSync(path.join(faceFolder, `${face}.gif`), kGif);
fs.writeFileSync(path.join(pictureFolder, 'a1b2c3.jpg'), kGif);

const pageUrl = pathToFileURL(path.join(pageDir, 'msgmgr.html')).href;
const allowedPrefixes = [pathToFileURL(pageDir).href + '/', pathToFileURL(pictureFolder).href,
                         pathToFileURL(faceFolder).href];

const fromHex = (hex) => Buffer.from(hex, 'hex').toString('utf8');

function runTool(lines, args = []) {
    const output = execFileSync(tool, args, { input: lines.join('\n') + '\n',
                                              maxBuffer: 256 * 1024 * 1024 });
    return output.toString('utf8').split('\n').filter((line) => line.length > 0)
        .map((line) => line.split('\t'));
}

const tableLines = fs.readFileSync(path.join(here, 'injection_vectors.tsv'), 'utf8')
    .split('\n').filter((line) => line.length > 0 && !line.startsWith('#'));
// A huge record: markup, quotes and faces, some 600 KB of it.
const hugeUnit = '<svg onload=__pwned()>"中文\'';
tableLines.push(['huge_record', 'contents', (hugeUnit + '#(05)#').repeat(20000),
                 hugeUnit.repeat(20000)].join('\t'));

const vectors = runTool(tableLines).map(([name, json, from, time, contents]) => ({
    name, json: fromHex(json), from: fromHex(from), time: fromHex(time),
    contents: fromHex(contents),
}));

// Watches one page: requests, errors, dialogs; the trap and the stand-in bridge inside it.
async function openPage(context) {
    const page = await context.newPage();
    const seen = { requests: [], errors: [], dialogs: 0 };
    page.on('request', (request) => seen.requests.push(request.url()));
    page.on('pageerror', (error) => seen.errors.push(error.message));
    page.on('dialog', (dialog) => { seen.dialogs += 1; dialog.dismiss().catch(() => {}); });
    await page.goto(pageUrl);
    await page.evaluate(([pictures, faces]) => window.SetPath(pictures, faces),
                        [pictureFolder, faceFolder]);
    return { page, seen };
}

async function instrument(context) {
    await context.addInitScript(() => {
        window.__trapped = 0;
        window.__pwned = () => { window.__trapped += 1; };
        window.__violations = [];
        document.addEventListener('securitypolicyviolation', (event) => {
            window.__violations.push(`${event.violatedDirective} ${event.blockedURI}`);
        });
        window.__bridgeCalls = [];
        window.msgmgrBridge = {
            report: (name, value) => window.__bridgeCalls.push([name, value]),
        };
    });
}

// Shows `json` and reads back what the page made of it, once every picture has settled.
async function show(page, json, flag = 1) {
    return page.evaluate(async ([text, showFlag]) => {
        window.showmsg(text, showFlag);
        const images = [...document.querySelectorAll('#records img')];
        await Promise.all(images.map((image) => image.decode().catch(() => {})));
        // The text as a person reads it: text nodes, a line break per <br>, pictures aside.
        const readable = (node) => {
            let text = '';
            for (const child of node.childNodes) {
                if (child.nodeType === Node.TEXT_NODE) text += child.data;
                else if (child.nodeName === 'BR') text += '\n';
                else if (child.nodeName !== 'IMG') text += `<<${child.nodeName}>>`;
            }
            return text;
        };
        return [...document.querySelectorAll('#records .record')].map((record) => ({
            id: record.dataset.id,
            from: record.querySelector('.from').textContent,
            time: record.querySelector('.time').textContent,
            contents: readable(record.querySelector('.contents')),
            elements: [...record.querySelectorAll('.contents *')].map((e) => e.nodeName),
            images: [...record.querySelectorAll('img')].map((image) => ({
                src: image.src, loaded: image.naturalWidth > 0, className: image.className,
            })),
        }));
    }, [json, flag]);
}

async function trapState(page) {
    return page.evaluate(() => ({
        trapped: window.__trapped, violations: window.__violations,
        bridgeCalls: window.__bridgeCalls, url: location.href,
        scripts: [...document.scripts].map((script) => script.src),
    }));
}

let browser;
let context;

before(async () => {
    browser = await chromium.launch({
        executablePath: process.env.QORV_CHROMIUM ?? '/usr/bin/chromium',
        args: ['--no-sandbox'],
    });
    context = await browser.newContext();
    await instrument(context);
});

after(async () => {
    await browser?.close();
    fs.rmSync(fixture, { recursive: true, force: true });
});

describe('every hostile record shows as text', () => {
    // One page for the whole table: each vector replaces the records of the one before, and
    // what the page saw is taken afresh for each.
    let page;
    let seen;
    before(async () => {
        ({ page, seen } = await openPage(context));
    });
    after(async () => {
        await page.close();
    });

    test('the table is large enough', () => {
        assert.ok(vectors.length >= 60, `${vectors.length} vectors`);
    });
    for (const vector of vectors) {
        test(vector.name, async () => {
            const parsed = JSON.parse(vector.json);  // the builder's text is JSON
            assert.equal(parsed.length, 1);
            seen.requests.length = 0;
            const shown = await show(page, vector.json);
            assert.equal(shown.length, 1, 'one record on the page');
            assert.equal(shown[0].from, vector.from);
            assert.equal(shown[0].time, vector.time);
            assert.equal(shown[0].contents, vector.contents);
            for (const element of shown[0].elements) {
                assert.ok(element === 'BR' || element === 'IMG', `no ${element} made`);
            }
            for (const image of shown[0].images) {
                assert.ok(image.src.startsWith(pathToFileURL(faceFolder).href) ||
                          image.src.startsWith(pathToFileURL(pictureFolder).href), image.src);
            }
            const state = await trapState(page);
            assert.equal(state.trapped, 0, 'no script of the record ran');
            assert.equal(seen.dialogs, 0);
            assert.deepEqual(seen.errors, []);
            assert.deepEqual(state.violations, []);
            assert.deepEqual(state.bridgeCalls, [], 'the record called nothing');
            assert.equal(state.url, pageUrl, 'the page stayed where it was');
            assert.deepEqual(state.scripts, [pathToFileURL(path.join(pageDir, 'msgmgr.js')).href]);
            for (const url of seen.requests) {
                assert.ok(allowedPrefixes.some((prefix) => url.startsWith(prefix)), url);
            }
        });
    }
});

describe('pictures, faces and the font header', () => {
    test('faces and a named picture load from their folders only', async () => {
        const [line] = runTool(['p\tcontents\t#(05)#看#(-2)#[a1b2c3.jpg]#(-2)#[../face/5.gif]']);
        const { page } = await openPage(context);
        try {
            const [record] = await show(page, fromHex(line[1]));
            assert.deepEqual(record.images.map((image) => [image.className, image.loaded]),
                             [['face', true], ['picture', true]]);
            assert.equal(record.images[0].src, pathToFileURL(faceFolder).href + '5.gif');
            assert.equal(record.images[1].src, pathToFileURL(pictureFolder).href + 'a1b2c3.jpg');
            assert.equal(record.contents, '看#(-2)#[../face/5.gif]');
        } finally {
            await page.close();
        }
    });

    test('without SetPath faces and pictures stay text', async () => {
        const [line] = runTool(['p\tcontents\t#(05)##(-2)#[a1b2c3.jpg]']);
        const page = await context.newPage();
        try {
            await page.goto(pageUrl);
            const [record] = await show(page, fromHex(line[1]));
            assert.deepEqual(record.images, []);
            assert.equal(record.contents, '#(05)##(-2)#[a1b2c3.jpg]');
        } finally {
            await page.close();
        }
    });

    test('the font header becomes a style of numbers only', async () => {
        const [good, odd] = runTool([
            'g\tcontents\tFONT(宋体,134,2,240,1,2,4,0,255,0,128)红',
            'o\tcontents\tFONT(宋体;color:red,134,2,180,0,0,0,0,999,1,1)x',
        ]);
        const { page } = await openPage(context);
        try {
            await show(page, fromHex(good[1]));
            const style = await page.evaluate(() => {
                const s = getComputedStyle(document.querySelector('.contents'));
                return [s.color, s.fontWeight, s.fontStyle, s.textDecorationLine, s.fontSize];
            });
            assert.deepEqual(style, ['rgb(255, 0, 128)', '700', 'italic', 'underline', '16px']);
            await show(page, fromHex(odd[1]));
            const color = await page.evaluate(
                () => getComputedStyle(document.querySelector('.contents')).color);
            assert.equal(color, 'rgb(0, 0, 0)', 'a colour out of range is not applied');
        } finally {
            await page.close();
        }
    });
});

describe('the page keeps its own defences', () => {
    test('HTML from a string is refused and inline script does not run', async () => {
        const { page } = await openPage(context);
        try {
            const result = await page.evaluate(() => {
                let refused = false;
                try {
                    document.getElementById('records').innerHTML = '<b>x</b>';
                } catch (error) {
                    refused = error instanceof TypeError;
                }
                const script = document.createElement('script');
                script.appendChild(document.createTextNode('window.__pwned()'));
                document.body.appendChild(script);
                return { refused, trapped: window.__trapped };
            });
            assert.deepEqual(result, { refused: true, trapped: 0 });
        } finally {
            await page.close();
        }
    });

    test('text that is not JSON shows a notice and no record', async () => {
        const { page, seen } = await openPage(context);
        try {
            const shown = await show(page, '[{"ID":"0","from":"x"');
            assert.deepEqual(shown, []);
            const notice = await page.evaluate(
                () => document.querySelector('#records .notice')?.textContent);
            assert.equal(notice, '消息记录无法显示。');
            assert.deepEqual(seen.errors, []);
        } finally {
            await page.close();
        }
    });
});

describe('selection, keys and the client calls', () => {
    // Five records: IDs 0..4, shown newest first (4, 3, 2, 1, 0).
    const pageLines = ['a', 'b', 'c', 'd', 'e'].map((text) => `${text}\tcontents\t${text}`);
    let pageJson;
    before(() => {
        pageJson = fromHex(runTool(pageLines, ['--one-page'])[0][1]);
    });

    async function fivePage() {
        const opened = await openPage(context);
        const shown = await show(opened.page, pageJson);
        assert.deepEqual(shown.map((record) => record.id), ['4', '3', '2', '1', '0']);
        return opened;
    }
    const calls = (page) => page.evaluate(() => window.__bridgeCalls.splice(0));
    const record = (page, id) => page.locator(`.record[data-id="${id}"]`);

    test('click, Ctrl+click and Shift+click select and report the ids', async () => {
        const { page } = await fivePage();
        try {
            await record(page, '3').click();
            await record(page, '1').click({ modifiers: ['Control'] });
            assert.equal(await page.evaluate(() => window.GetSel()), '3;1');
            await record(page, '3').click({ modifiers: ['Control'] });
            await record(page, '0').click({ modifiers: ['Shift'] });
            assert.deepEqual(await calls(page), [
                ['selection', '3'], ['selection', '3;1'], ['selection', '1'],
                ['selection', '3;2;1;0'],
            ]);
            assert.equal(await page.evaluate(() => window.GetSel()), '3;2;1;0');
            const marked = await page.locator('.record.selected').count();
            assert.equal(marked, 4);
        } finally {
            await page.close();
        }
    });

    test('the arrows are the client\'s to answer; SelectFromID selects and scrolls', async () => {
        const { page } = await fivePage();
        try {
            await page.setViewportSize({ width: 400, height: 60 });
            await record(page, '4').click();
            await page.keyboard.press('ArrowDown');
            await page.keyboard.press('ArrowUp');
            assert.deepEqual(await calls(page),
                             [['selection', '4'], ['key', 'Down'], ['key', 'Up']]);
            assert.equal(await page.evaluate(() => window.GetSel()), '4', 'the page moved nothing');
            await page.evaluate(() => window.SelectFromID(0, -1, 2));
            assert.deepEqual(await calls(page), [['selection', '0']]);
            const visible = await page.evaluate(() => {
                const box = document.querySelector('.record[data-id="0"]').getBoundingClientRect();
                return box.top >= 0 && box.bottom <= window.innerHeight + 1;
            });
            assert.ok(visible, 'the selected record is in view');
            await page.evaluate(() => window.SelectFromID(77, -1, 1));  // no such record
            assert.deepEqual(await calls(page), []);
            assert.equal(await page.evaluate(() => window.GetSel()), '0');
        } finally {
            await page.close();
        }
    });

    test('Ctrl+A selects all, Ctrl+C reports the key and the copied text', async () => {
        const { page } = await fivePage();
        try {
            await record(page, '2').click();
            await page.keyboard.press('Control+a');
            await page.keyboard.press('Control+c');
            const reported = await calls(page);
            assert.deepEqual(reported.slice(0, 3), [
                ['selection', '2'], ['selection', '4;3;2;1;0'], ['key', 'Ctrl+C'],
            ]);
            const [name, value] = reported[3];
            assert.equal(name, 'command');
            const [command, text] = value.split('\x1f');
            assert.equal(command, 'copy');
            assert.match(text, /^张三  2026-12-11 10:00:00\ne\n张三/);
            assert.equal(text.split('\n').length, 10);
        } finally {
            await page.close();
        }
    });

    test('the menu copies, selects all and names the picture to save', async () => {
        const [line] = runTool(['p\tcontents\t看#(-2)#[a1b2c3.jpg]']);
        const { page } = await openPage(context);
        try {
            await show(page, fromHex(line[1]));
            await page.locator('img.picture').click({ button: 'right' });
            await page.getByText('图片另存为...').click();
            await page.locator('.record').click({ button: 'right' });
            await page.getByText('全部选择').click();
            assert.deepEqual(await calls(page), [
                ['selection', '0'], ['command', `savePicture\x1f${pictureFolder}a1b2c3.jpg`],
                ['command', 'selectAll'],
            ]);
            assert.equal(await page.locator('#menu').isHidden(), true);
        } finally {
            await page.close();
        }
    });

    test('a new page of records clears the selection and says so', async () => {
        const { page } = await fivePage();
        try {
            await record(page, '1').click();
            await show(page, pageJson, 0);
            assert.deepEqual(await calls(page), [['selection', '1'], ['selection', '']]);
            assert.equal(await page.evaluate(() => window.GetSel()), '');
        } finally {
            await page.close();
        }
    });
});
