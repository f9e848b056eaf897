// The page as a user drives it: files chosen in its inputs, what it says,
// the text it shows, the saves, byte order, tables kept across visits, text
// tables, find. Opened from file://, with no request to any address.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, test } from 'node:test';
import * as s from './support.mjs';

const REGION_FIRST = 0x9C11C0;
let browser;
const sessions = [];
before(async () => { browser = await s.launch(); });
after(async () => {
  for (const session of sessions) {
    assert.deepEqual(session.requests, [], 'the page made no request');
    assert.deepEqual(session.errors, [], 'no error in the page');
  }
  await browser.close();
});

async function open(context) {
  const session = await s.openPage(browser, context ? { context } : {});
  sessions.push(session);
  assert.ok(session.page.url().startsWith('file://'));
  return session;
}

function writeData(name, bytes) {
  const file = path.join(path.dirname(s.data('demo.z64')), name);
  fs.writeFileSync(file, bytes);
  return file;
}

// Chooses files in the page's inputs and waits for the run they start.
async function choose(page, inputs) {
  const before = Number(await page.evaluate(() => document.body.dataset.runsShown || 0));
  for (const [id, file] of inputs) await page.setInputFiles('#' + id, file);
  await page.waitForFunction((n) => Number(document.body.dataset.runsShown || 0) > n, before);
}

async function save(page, id) {
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#' + id)]);
  const bytes = fs.readFileSync(await download.path());
  return { name: download.suggestedFilename(), bytes };
}

const statusText = (page) => page.textContent('#status');
const sjis = (bytes) => new TextDecoder('shift_jis').decode(bytes);

test('image and table chosen: status, text, both saves, screenshot', async () => {
  const { page } = await open();
  await choose(page, [['rom-file', s.data('demo.z64')], ['table-file', s.data('demo.tbl')]]);
  const native = s.runNative(s.readBytes(s.data('demo.z64')), s.readBytes(s.data('demo.tbl')), 'demo.z64');
  assert.equal(native.status, 0);
  const status = await statusText(page);
  assert.match(status, /extracted in full/);
  assert.match(status, /Exit status 0/);
  const lines = sjis(native.stdout).split('\r\n');
  const shown = await page.textContent('#text');
  assert.ok(shown.startsWith(lines[0] + '\n' + lines[1]), 'the text starts with the banner');
  assert.ok(shown.includes(lines[8]), 'a line of the messages is shown');
  const plain = await save(page, 'save-sjis');
  assert.equal(plain.name, 'demo.txt');
  assert.ok(plain.bytes.equals(Buffer.from(native.stdout)), 'the Shift_JIS save is the tool\'s output');
  const utf8 = await save(page, 'save-utf8');
  assert.match(utf8.name, /^demo.*\.txt$/);
  assert.equal(utf8.bytes.toString('utf8'), sjis(native.stdout));
  await page.screenshot({ path: path.join(path.dirname(s.PAGE), 'screenshot.png'), fullPage: true });
});

test('refused and cut images: the tool\'s message and what it means', async () => {
  const { page } = await open();
  await page.setInputFiles('#table-file', s.data('demo.tbl'));
  const demo = s.readBytes(s.data('demo.z64'));
  const title = demo.slice(); title[0x22] = 0x41;
  const release = demo.slice(); release[0x3F] = 3;
  const cut = demo.slice(0, REGION_FIRST + 5000);
  for (const [name, image, said, meaning] of [
    ['title.z64', title, 'ZirelのROMデータではありません。', /not a ROM image of Zirel/],
    ['release.z64', release, 'V1.3のROMには対応していません。', /only the first release/],
    ['cut.z64', cut, 'ROMデータが途中で終わっています。', /cut short/],
  ]) {
    await choose(page, [['rom-file', writeData(name, image)]]);
    const status = await statusText(page);
    assert.ok(status.includes(said), status);
    assert.match(status, meaning);
    assert.match(status, /Exit status 1/);
    const native = s.runNative(image, s.readBytes(s.data('demo.tbl')), name);
    const plain = await save(page, 'save-sjis');
    assert.ok(plain.bytes.equals(Buffer.from(native.stdout)), name);
  }
});

test('byte-swapped and little-endian images: recognised, converted, extracted, saved', async () => {
  const { page } = await open();
  const z64 = s.readBytes(s.data('demo.z64'));
  z64.set([0x80, 0x37, 0x12, 0x40], 0);
  const table = s.readBytes(s.data('demo.tbl'));
  const native = s.runNative(z64, table, 'demo.z64');
  assert.equal(native.status, 0);
  const v64 = z64.slice();
  for (let i = 0; i < v64.length; i += 2) { v64[i] = z64[i + 1]; v64[i + 1] = z64[i]; }
  const n64 = z64.slice();
  for (let i = 0; i < n64.length; i += 4) {
    n64[i] = z64[i + 3]; n64[i + 1] = z64[i + 2]; n64[i + 2] = z64[i + 1]; n64[i + 3] = z64[i];
  }
  await page.setInputFiles('#table-file', s.data('demo.tbl'));
  for (const [name, image, order] of [['game.v64', v64, /byte-swapped/], ['game.n64', n64, /little-endian/]]) {
    await choose(page, [['rom-file', writeData(name, image)]]);
    assert.match(await page.textContent('#byte-order'), order);
    assert.ok(await page.isVisible('#convert'));
    // Unconverted, the run is the command line's refusal.
    assert.ok((await statusText(page)).includes('このROMフォーマットには対応していません。'));
    const before = Number(await page.evaluate(() => document.body.dataset.runsShown));
    await page.click('#convert');
    await page.waitForFunction((n) => Number(document.body.dataset.runsShown) > n, before);
    assert.match(await statusText(page), /extracted in full/);
    const plain = await save(page, 'save-sjis');
    assert.equal(plain.name, 'game.txt');
    assert.ok(plain.bytes.equals(Buffer.from(native.stdout)), name + ': text of the converted image');
    const converted = await save(page, 'save-z64');
    assert.equal(converted.name, 'game.z64');
    assert.ok(converted.bytes.equals(Buffer.from(z64)), name + ': the converted image');
  }
});

test('the table is remembered for the next visit, until forgotten', async () => {
  const context = await browser.newContext({ acceptDownloads: true });
  let { page } = await open(context);
  await page.setInputFiles('#table-file', s.data('demo.tbl'));
  await page.waitForSelector('#forget-table:not([hidden])');
  await page.close();
  ({ page } = await open(context));
  assert.match(await page.textContent('#table-info'), /remembered/);
  await choose(page, [['rom-file', s.data('demo.z64')]]);
  assert.match(await statusText(page), /extracted in full/);
  await page.focus('#forget-table');
  await page.keyboard.press('Enter');
  await page.waitForSelector('#forget-table[hidden]', { state: 'attached' });
  assert.match(await statusText(page), /Choose a character table/);
  await page.close();
  ({ page } = await open(context));
  assert.equal(await page.textContent('#table-info'), '');
  await context.close();
});

// The demo table as a text table: each cell as its character where it is
// one, the rest in the escaped form.
function textTable(binary) {
  const lines = [];
  for (let code = 0; code < 256; ++code) {
    const cell = binary.slice(2 * code, 2 * code + 2);
    const end = cell.indexOf(0);
    const bytes = end < 0 ? cell : cell.slice(0, end);
    if (bytes.length === 0) continue;
    const hex = (n) => n.toString(16).toUpperCase().padStart(2, '0');
    const text = sjis(bytes);
    const plain = !text.includes('\uFFFD') && [...text].length === 1 && !/[\s=]/.test(text) &&
      (bytes.length === 2 || (bytes[0] >= 0x21 && bytes[0] < 0x7F));
    lines.push(plain ? `${hex(code)}=${text}` : `${hex(code)}:${[...bytes].map(hex).join('')}`);
  }
  return lines.reverse().join('\r\n') + '\r\n';
}

test('a text table: read as the table program reads it; problems shown with their lines', async (t) => {
  const { page } = await open();
  if (!(await page.evaluate(() => window.n64zirelcnv.textTables))) {
    t.skip('this page was built without text tables');
    return;
  }
  const binary = s.readBytes(s.data('demo.tbl'));
  const textFile = writeData('demo-table.txt', '\uFEFF' + textTable(binary));
  await choose(page, [['rom-file', s.data('demo.z64')], ['table-file', textFile]]);
  assert.match(await statusText(page), /extracted in full/);
  const native = s.runNative(s.readBytes(s.data('demo.z64')), binary, 'demo.z64');
  const plain = await save(page, 'save-sjis');
  assert.ok(plain.bytes.equals(Buffer.from(native.stdout)));

  const bad = writeData('bad-table.txt', '41=A\n42=ABC\nthis is no entry\n41=B\n');
  await page.setInputFiles('#table-file', bad);
  await page.waitForSelector('#table-problems:not([hidden])');
  const problems = await page.$$eval('#table-problems li', (items) => items.map((i) => i.textContent));
  assert.ok(problems.some((p) => p.startsWith('bad-table.txt:2: error:')), problems.join('\n'));
  assert.ok(problems.some((p) => p.startsWith('bad-table.txt:3: error:')), problems.join('\n'));
  assert.ok(problems.some((p) => p.startsWith('bad-table.txt:4: error:')), problems.join('\n'));
  assert.match(await statusText(page), /has errors/);
  assert.ok(await page.isDisabled('#save-sjis'));
});

test('a full-size image: shown in parts, searchable, page responsive', async () => {
  const { page } = await open();
  await choose(page, [['rom-file', s.data('full.z64')], ['table-file', s.data('demo.tbl')]]);
  const native = s.runNative(s.readBytes(s.data('full.z64')), s.readBytes(s.data('demo.tbl')), 'full.z64');
  const lines = sjis(native.stdout).split('\r\n');
  assert.ok(lines.length > 20000);
  const shownLines = (await page.textContent('#text')).split('\n').length;
  assert.ok(shownLines < 500, `${shownLines} lines in the document`);
  // A line from far down, found with the find box and brought into sight.
  const target = lines.slice(Math.floor(lines.length * 0.8)).find((l) => [...l].length >= 10);
  const needle = [...target].slice(0, 10).join('');
  const expected = lines.reduce((n, l) => n + l.split(needle).length - 1, 0);
  await page.fill('#find', needle);
  await page.press('#find', 'Enter');
  await page.waitForFunction(() => document.querySelector('#text mark.current') !== null);
  assert.equal(await page.textContent('#text mark.current'), needle);
  const count = await page.textContent('#find-count');
  assert.match(count, new RegExp(`of ${expected.toLocaleString('en')} match`));
  // The page answers at once.
  const started = Date.now();
  await page.evaluate(() => 1);
  assert.ok(Date.now() - started < 1000);
});

test('image and table dropped on the page together', async () => {
  const { page } = await open();
  await page.evaluate(() => {
    const input = document.createElement('input');
    input.type = 'file';
    input.multiple = true;
    input.id = 'drop-source';
    input.hidden = true;
    document.body.append(input);
  });
  await page.setInputFiles('#drop-source', [s.data('demo.tbl'), s.data('demo.z64')]);
  await page.evaluate(() => {
    const transfer = new DataTransfer();
    for (const file of document.getElementById('drop-source').files) transfer.items.add(file);
    document.dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
  });
  await page.waitForFunction(() => Number(document.body.dataset.runsShown || 0) > 0);
  assert.match(await statusText(page), /extracted in full/);
  assert.match(await page.textContent('#rom-info'), /demo\.z64/);
  assert.match(await page.textContent('#table-info'), /demo\.tbl/);
});

test('light and dark follow the system', async () => {
  const colours = {};
  for (const scheme of ['light', 'dark']) {
    const context = await browser.newContext({ colorScheme: scheme });
    const { page } = await open(context);
    colours[scheme] = await page.evaluate(() => getComputedStyle(document.documentElement).backgroundColor);
    await context.close();
  }
  assert.notEqual(colours.light, colours.dark);
  assert.equal(colours.dark, 'rgb(24, 25, 27)');
});
