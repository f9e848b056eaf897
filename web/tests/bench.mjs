// Benchmark: a full-size image through window.n64zirelcnv.run in Chromium
// against the native process on the same files, in one run. Prints the
// medians and their ratios; fails when the page, on the image in memory,
// takes more than 1.5 times the native process's time.
//
// From a chosen File the run also waits for the browser to read the two
// ranges it asks for (the header and the message region) out of the File.
// That read is measured here alone too, in a worker as the page's worker
// does it: it is the browser's own cost of handing a file's bytes to a page,
// the same for a file on disk and a Blob in memory, and comparable to the
// whole native process, so the File's figure is about the in-memory figure
// plus that read, and is reported without a limit.
//   node tests/bench.mjs [RUNS]
import fs from 'node:fs';
import path from 'node:path';
import { spawnSync } from 'node:child_process';
import * as s from './support.mjs';

const RUNS = Number(process.argv[2] || 15);
const LIMIT = 1.5;
// The ranges a run reads from the image: its header, and the message region
// with the byte after it.
const HEADER_BYTES = 0x40;
const REGION_FIRST = 0x9C11C0;
const REGION_READ_BYTES = 0xB0A67D - REGION_FIRST + 2;
const image = s.data('full.z64');
const table = s.readBytes(s.data('demo.tbl'));

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
}

// The native process as a user runs it: the image named, zirel.tbl in the
// current directory, standard output to a file.
const dir = s.tempDir('zirel-bench-');
fs.copyFileSync(image, path.join(dir, 'full.z64'));
fs.writeFileSync(path.join(dir, 'zirel.tbl'), table);
const native = [];
let nativeSize = 0;
for (let i = 0; i <= RUNS; ++i) {
  const out = fs.openSync(path.join(dir, 'out.txt'), 'w');
  const started = process.hrtime.bigint();
  const r = spawnSync(s.TOOL, ['full.z64'], { cwd: dir, stdio: ['ignore', out, 'inherit'] });
  const ms = Number(process.hrtime.bigint() - started) / 1e6;
  fs.closeSync(out);
  if (r.status !== 0) throw new Error('native run failed: status ' + r.status);
  if (i > 0) native.push(ms);  // the first run warms the caches
  nativeSize = fs.statSync(path.join(dir, 'out.txt')).size;
}
// What of that is only starting a process: the tool with no argument, which
// prints its usage and stops.
const startOnly = [];
for (let i = 0; i <= RUNS; ++i) {
  const out = fs.openSync(path.join(dir, 'out.txt'), 'w');
  const at = process.hrtime.bigint();
  spawnSync(s.TOOL, [], { cwd: dir, stdio: ['ignore', out, 'ignore'] });
  if (i > 0) startOnly.push(Number(process.hrtime.bigint() - at) / 1e6);
  fs.closeSync(out);
}
fs.rmSync(dir, { recursive: true, force: true });

// The page: the same image chosen as a file, the same table.
const browser = await s.launch();
const { page } = await s.openPage(browser);
await page.evaluate(() => {
  const input = document.createElement('input');
  input.type = 'file';
  input.id = 'bench-input';
  document.body.append(input);
});
await page.setInputFiles('#bench-input', image);
// Two ways in: the chosen file (a Blob, read in the worker in the ranges
// the run asks for) and the same file's bytes in memory (a Uint8Array); and
// those ranges read alone from the File, with FileReaderSync in a worker as
// the page's worker reads them. The three take turns, so that each sees the
// browser in the same state (one after the other, the first would also pay
// for what the freshly opened page still does).
const inPage = await page.evaluate(async ([table, runs, reads]) => {
  const file = document.getElementById('bench-input').files[0];
  const inMemory = new Uint8Array(await file.arrayBuffer());
  const bytes = Uint8Array.from(atob(table), (c) => c.charCodeAt(0));
  const source = `self.onmessage = (event) => {
    const [file, ranges] = event.data;
    const reader = new FileReaderSync();
    const started = performance.now();
    for (const [from, to] of ranges) reader.readAsArrayBuffer(file.slice(from, to));
    self.postMessage(performance.now() - started);
  };`;
  const worker = new Worker(URL.createObjectURL(new Blob([source], { type: 'text/javascript' })));
  const readAlone = () => new Promise((resolve) => {
    worker.onmessage = (event) => resolve(event.data);
    worker.postMessage([file, reads]);
  });
  const result = { file: { times: [], size: 0 }, memory: { times: [], size: 0 }, read: [] };
  for (let i = 0; i <= runs; ++i) {
    for (const [way, image] of [['file', file], ['memory', inMemory]]) {
      const started = performance.now();
      const r = await window.n64zirelcnv.run(image, bytes, file.name);
      const ms = performance.now() - started;
      if (r.status !== 0) throw new Error('run() failed: status ' + r.status);
      if (i > 0) result[way].times.push(ms);  // the first run warms the caches
      result[way].size = r.stdout.length;
    }
    const ms = await readAlone();
    if (i > 0) result.read.push(ms);
  }
  worker.terminate();
  return result;
}, [Buffer.from(table).toString('base64'), RUNS,
  [[0, HEADER_BYTES], [REGION_FIRST, REGION_FIRST + REGION_READ_BYTES]]]);
await browser.close();

for (const way of ['file', 'memory']) {
  if (inPage[way].size !== nativeSize) {
    throw new Error(`output sizes differ: page (${way}) ${inPage[way].size}, native ${nativeSize}`);
  }
}
const n = median(native);
const line = (label, times) => `  ${label.padEnd(44)} ${median(times).toFixed(1).padStart(6)} ms` +
  ` (min ${Math.min(...times).toFixed(1)})`;
console.log(`benchmark: full-size image (${fs.statSync(image).size} bytes, ` +
  `${nativeSize} bytes of output), median of ${RUNS} runs each`);
console.log(line('native process (image file, table file):', native));
console.log(line('  of which starting it (no argument):', startOnly));
console.log(line('page, run(Uint8Array of the image, table):', inPage.memory.times));
console.log(line('page, run(File of the image, table):', inPage.file.times));
console.log(line('the File\'s two ranges read alone (worker):', inPage.read));
const ratio = median(inPage.memory.times) / n;
const fileRatio = median(inPage.file.times) / n;
console.log(`  ratio page / native: ${ratio.toFixed(2)} in memory (limit ${LIMIT}), ` +
  `${fileRatio.toFixed(2)} from the File (the File's read alone: ` +
  `${(median(inPage.read) / n).toFixed(2)})`);
if (ratio > LIMIT) {
  console.log('benchmark: FAILED, the page is slower than the limit');
  process.exit(1);
}
