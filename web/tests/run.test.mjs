// window.n64zirelcnv.run against the native tool: the same standard output,
// byte for byte, and the same exit status, on the end-to-end cases.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import * as s from './support.mjs';

const REGION_FIRST = 0x9C11C0;

let browser;
let session;
before(async () => {
  browser = await s.launch();
  session = await s.openPage(browser);
});
after(async () => {
  assert.deepEqual(session.requests, [], 'the page made no request');
  assert.deepEqual(session.errors, [], 'no error in the page');
  await browser.close();
});

function changed(image, at, value) {
  const copy = image.slice();
  copy[at] = value;
  return copy;
}

const demo = () => s.readBytes(s.data('demo.z64'));
const full = () => s.readBytes(s.data('full.z64'));
const table = () => s.readBytes(s.data('demo.tbl'));
const longTable = () => {
  const t = new Uint8Array(600).fill(0x41);
  t.set(table());
  return t;
};

// [what, image, table, name]
const CASES = [
  ['demo image', demo, table, 'demo.z64'],
  ['full-size image', full, table, 'full.z64'],
  ['full-size image, benchmark table', full, () => s.readBytes(s.data('bench.tbl')), 'full.z64'],
  ['format refused (byte 0x08)', () => changed(demo(), 0x08, 0x37), table, 'demo.z64'],
  ['title refused', () => changed(demo(), 0x21, 0x58), table, 'demo.z64'],
  ['release refused (version 1)', () => changed(demo(), 0x3F, 0x01), table, 'demo.z64'],
  ['release refused (version 0xD0: a zero byte)', () => changed(demo(), 0x3F, 0xD0), table, 'demo.z64'],
  ['image shorter than its header', () => demo().slice(0, 0x30), table, 'short.z64'],
  ['empty image', () => new Uint8Array(0), table, 'empty.z64'],
  ['image cut after its header', () => demo().slice(0, 0x40), table, 'cut.z64'],
  ['image cut inside the message region', () => full().slice(0, REGION_FIRST + 100001), table, 'cut.z64'],
  ['empty table', full, () => new Uint8Array(0), 'full.z64'],
  ['short table (odd size)', demo, () => table().slice(0, 101), 'demo.z64'],
  ['table longer than 512 bytes', demo, longTable, 'demo.z64'],
  ['no table', demo, () => null, 'demo.z64'],
  ['no argument', demo, table, null],
  ['empty name', demo, table, ''],
  ['no such image', () => null, table, 'missing.z64'],
  ['name in Japanese', () => null, table, 'ゼイレル.z64'],
];

for (const [what, image, tableBytes, name] of CASES) {
  test(`run(): ${what}`, async () => {
    const img = image();
    const tbl = tableBytes();
    const expected = s.runNative(img, tbl, name);
    const got = await s.runInPage(session.page, img, tbl, name);
    const gotBlob = await s.runInPage(session.page, img, tbl, name, true);
    assert.equal(gotBlob.status, expected.status, "exit status, image as a Blob");
    assert.ok(Buffer.from(gotBlob.stdout).equals(Buffer.from(expected.stdout)), "output bytes, image as a Blob");
    assert.equal(got.status, expected.status, 'exit status');
    assert.equal(got.stdout.length, expected.stdout.length, 'output size');
    assert.ok(Buffer.from(got.stdout).equals(Buffer.from(expected.stdout)), 'output bytes');
  });
}

test('run(): reads only the byte ranges the run asks for', async () => {
  // A 6 GiB image made of a 64-byte header that the tool refuses: only the
  // header is read, whatever the size.
  const result = await session.page.evaluate(async () => {
    const header = new Uint8Array(64);
    header[8] = 0x12;
    const huge = new Blob([header, new Blob([new Uint8Array(1 << 20)])]);
    const parts = [header];
    for (let i = 0; i < 6 * 1024; ++i) parts.push(huge.slice(64));
    const big = new Blob(parts);
    const started = performance.now();
    const r = await window.n64zirelcnv.run(big, new Uint8Array(512), 'huge.z64');
    return { size: big.size, status: r.status, ms: performance.now() - started };
  });
  assert.ok(result.size > 6 * 1024 * 1024 * 1024);
  assert.equal(result.status, 1);
  assert.ok(result.ms < 2000, `took ${result.ms} ms`);
});

test('the policy refuses connections', async () => {
  // A page of its own: the refusal is reported as an error there.
  const own = await s.openPage(browser);
  const refused = await own.page.evaluate(async () => {
    try {
      await fetch('http://127.0.0.1:9/');
      return false;
    } catch (error) {
      return true;
    }
  });
  assert.ok(refused);
  assert.deepEqual(own.requests, []);
  assert.ok(own.errors.some((e) => /Content Security Policy/.test(e)));
  await own.context.close();
  assert.match(await session.page.content(), /connect-src 'none'/);
});
