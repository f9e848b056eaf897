// Benchmark: a full-size image through window.n64zirelcnv.run in Chromium
// against the native process on the same files, in one run. Prints the
// medians and their ratio; fails when the page takes more than 1.5 times
// the native process's time.
//   node tests/bench.mjs [RUNS]
import fs from 'node:fs';
import path from 'node:path';
import { spawnSync } from 'node:child_process';
import * as s from './support.mjs';

const RUNS = Number(process.argv[2] || 15);
const LIMIT = 1.5;
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
// the run asks for) and the same file's bytes in memory (a Uint8Array).
const inPage = await page.evaluate(async ([table, runs]) => {
  const file = document.getElementById('bench-input').files[0];
  const inMemory = new Uint8Array(await file.arrayBuffer());
  const bytes = Uint8Array.from(atob(table), (c) => c.charCodeAt(0));
  const result = {};
  for (const [way, image] of [['file', file], ['memory', inMemory]]) {
    const times = [];
    let size = 0;
    for (let i = 0; i <= runs; ++i) {
      const started = performance.now();
      const r = await window.n64zirelcnv.run(image, bytes, file.name);
      const ms = performance.now() - started;
      if (r.status !== 0) throw new Error('run() failed: status ' + r.status);
      if (i > 0) times.push(ms);
      size = r.stdout.length;
    }
    result[way] = { times, size };
  }
  return result;
}, [Buffer.from(table).toString('base64'), RUNS]);
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
console.log(line('page, run(Uint8Array of the image, table):', inPage.memory.times));
console.log(line('page, run(File of the image, table):', inPage.file.times));
const ratio = median(inPage.memory.times) / n;
const fileRatio = median(inPage.file.times) / n;
console.log(`  ratio page / native: ${ratio.toFixed(2)} in memory (limit ${LIMIT}), ` +
  `${fileRatio.toFixed(2)} from the File`);
if (ratio > LIMIT) {
  console.log('benchmark: FAILED, the page is slower than the limit');
  process.exit(1);
}
