// Shared by the browser tests and the benchmark: the built page, the native
// tool and test-data generator, and Debian's Chromium driven headless.
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';

const here = path.dirname(fileURLToPath(import.meta.url));
export const ROOT = path.resolve(here, '..', '..');
export const PAGE = path.resolve(process.env.ZIREL_WEB_BUILD || path.join(ROOT, 'build-web'),
  'n64zirelcnv.html');
export const PAGE_URL = pathToFileURL(PAGE).href;
const NATIVE = path.resolve(process.env.ZIREL_NATIVE_BUILD || path.join(ROOT, 'build-web-native'));
export const TOOL = path.join(NATIVE, 'n64zirelcnv');
export const MKIMAGE = path.join(NATIVE, 'tools', 'zirel_mkimage');
const BROWSER = process.env.ZIREL_CHROMIUM || '/usr/bin/chromium';

export function tempDir(prefix = 'zirel-web-') {
  return fs.mkdtempSync(path.join(os.tmpdir(), prefix));
}

// Test data, made once per process by the project's generator.
let dataDir = null;
export function data(name) {
  if (dataDir === null) {
    dataDir = tempDir('zirel-web-data-');
    const make = (what, file, ...args) =>
      execFileSync(MKIMAGE, [what, path.join(dataDir, file), ...args]);
    make('demo-table', 'demo.tbl');
    make('demo-image', 'demo.z64');
    make('text-image', 'full.z64', '7');
    make('bench-table', 'bench.tbl');
    process.on('exit', () => fs.rmSync(dataDir, { recursive: true, force: true }));
  }
  return path.join(dataDir, name);
}

export function readBytes(file) {
  return new Uint8Array(fs.readFileSync(file));
}

// The native tool run as `n64zirelcnv NAME` in a directory that holds the
// image as NAME and, unless table is null, the table as zirel.tbl.
export function runNative(image, table, name) {
  const dir = tempDir();
  try {
    // Without an argument, or with the empty one, no file can be named.
    if (image !== null && name) fs.writeFileSync(path.join(dir, name), image);
    if (table !== null) fs.writeFileSync(path.join(dir, 'zirel.tbl'), table);
    const r = spawnSync(TOOL, name === null ? [] : [name], { cwd: dir, maxBuffer: 1 << 28 });
    return { stdout: new Uint8Array(r.stdout), status: r.status };
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

// Chromium as Debian installs it, with a fresh profile, nothing in the
// background that would reach the network.
export async function launch() {
  return chromium.launch({
    executablePath: BROWSER,
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
}

// A page opened from the built file, with every request it makes recorded
// (blob: and data: URLs are the page's own memory, not requests).
export async function openPage(browser, options = {}) {
  const context = options.context || await browser.newContext({ acceptDownloads: true });
  const page = await context.newPage();
  const requests = [];
  const errors = [];
  page.on('request', (r) => {
    if (!/^(blob|data):/.test(r.url()) && r.url() !== PAGE_URL) requests.push(r.url());
  });
  page.on('pageerror', (e) => errors.push(String(e)));
  page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
  await page.goto(PAGE_URL);
  await page.waitForFunction(() => window.n64zirelcnv !== undefined);
  return { context, page, requests, errors };
}

// window.n64zirelcnv.run in the page on bytes from here; resolves to
// { stdout: Uint8Array, status }. The image reaches the page as a chosen
// file (a Blob), by its path, which is fast for the large ones; asBlob false
// hands run() its bytes in memory instead.
let chosen = 0;
export async function runInPage(page, image, table, name, asBlob = false) {
  let file = null;
  if (image !== null) {
    // The file stays until the process ends: the page's File reads it.
    file = path.join(data('.'), 'chosen-' + (++chosen));
    fs.writeFileSync(file, image);
    await page.evaluate(() => {
      if (!document.getElementById('test-input')) {
        const input = document.createElement('input');
        input.type = 'file';
        input.id = 'test-input';
        input.hidden = true;
        document.body.append(input);
      }
    });
    await page.setInputFiles('#test-input', file);
  }
  const r = await page.evaluate(async ([hasImage, table, name, asBlob]) => {
    let image = null;
    if (hasImage) {
      image = document.getElementById('test-input').files[0];
      if (!asBlob) image = new Uint8Array(await image.arrayBuffer());
    }
    const tableBytes = table === null ? null : Uint8Array.from(atob(table), (c) => c.charCodeAt(0));
    const result = await window.n64zirelcnv.run(image, tableBytes, name);
    let raw = '';
    for (let i = 0; i < result.stdout.length; i += 8192) {
      raw += String.fromCharCode.apply(null, result.stdout.subarray(i, i + 8192));
    }
    return { stdout: btoa(raw), status: result.status };
  }, [image !== null, b64(table), name, asBlob]);
  return { stdout: new Uint8Array(Buffer.from(r.stdout, 'base64')), status: r.status };
}

function b64(bytes) {
  return bytes === null ? null : Buffer.from(bytes).toString('base64');
}
