// The page: picks the files, runs the tool in a worker, shows what it said
// and the text, and saves the text. window.n64zirelcnv.run is the same run
// for other scripts.
(() => {
'use strict';
@TOOL@
const VERSION = '@VERSION@';
const TEXT_TABLES = @TEXT_TABLES@;
const TABLE_FILE_BYTES = 512;
const STORE_KEY = 'n64zirelcnv.table';

// ---- The worker that runs the module ----------------------------------

let worker = null;
let nextId = 1;
const pending = new Map();

function base64Bytes(text) {
  const raw = atob(text.trim());
  const bytes = new Uint8Array(raw.length);
  for (let i = 0; i < raw.length; ++i) bytes[i] = raw.charCodeAt(i);
  return bytes;
}

// The module, compiled once on the page; the worker gets its own copy.
const moduleBytes = base64Bytes(document.getElementById('module-base64').textContent);
const compiledHere = WebAssembly.compile(moduleBytes);
let runnerHere = null;

function startWorker() {
  const source = 'const toolRunner = ' + toolRunner.toString() + ';\n' +
    document.getElementById('worker-source').textContent;
  const url = URL.createObjectURL(new Blob([source], { type: 'text/javascript' }));
  worker = new Worker(url);
  URL.revokeObjectURL(url);
  worker.onmessage = (event) => {
    const reply = event.data;
    if (reply.id === 0) {  // the worker itself failed
      for (const p of pending.values()) p.reject(new Error(reply.error));
      pending.clear();
      return;
    }
    const p = pending.get(reply.id);
    if (!p) return;
    pending.delete(reply.id);
    if (reply.error) p.reject(new Error(reply.error));
    else p.resolve(reply);
  };
  worker.onerror = (event) => {
    for (const p of pending.values()) p.reject(new Error(event.message || 'worker failed'));
    pending.clear();
  };
  worker.postMessage({ type: 'init', module: moduleBytes.slice() });
}

function ask(message) {
  if (worker === null) startWorker();
  return new Promise((resolve, reject) => {
    const id = nextId++;
    pending.set(id, { resolve, reject });
    worker.postMessage(Object.assign({ id }, message));
  });
}

// An image in memory runs on the page: copying it to the worker would cost
// more than the run. A Blob (a chosen file) runs in the worker, which reads
// only the byte ranges the run asks for.
async function runAnywhere(image, table, name) {
  if (image instanceof Uint8Array) {
    if (runnerHere === null) runnerHere = toolRunner(await compiledHere);
    return runnerHere.run(image, table, name);
  }
  return ask({ type: 'run', image, table, name });
}

// The command line's run: `n64zirelcnv NAME` with the image as NAME and the
// table as zirel.tbl (none when table is null). Resolves to the standard
// output's bytes and the exit status.
async function run(image, table, name) {
  if (image !== null && image !== undefined &&
      !(image instanceof Blob) && !(image instanceof Uint8Array)) {
    throw new TypeError('image must be a Blob, a Uint8Array or null');
  }
  if (table !== null && table !== undefined && !(table instanceof Uint8Array)) {
    throw new TypeError('table must be a Uint8Array or null');
  }
  const reply = await runAnywhere(image || null, table || null,
    name === undefined || name === null ? null : String(name));
  return { stdout: reply.stdout, status: reply.status };
}

// A text table read as the table program reads it: the table file's bytes
// and the problems, each with its line (0: the whole text).
async function parseTextTable(bytes) {
  if (!TEXT_TABLES) throw new Error('this page was built without text tables');
  const reply = await ask({ type: 'parse-table', bytes });
  return { table: reply.table, problems: reply.problems };
}

window.n64zirelcnv = Object.freeze({ version: VERSION, run, parseTextTable, textTables: TEXT_TABLES });

// ---- Byte order -------------------------------------------------------

const ORDERS = {
  z64: { bytes: [0x80, 0x37, 0x12, 0x40], name: 'big-endian (.z64)' },
  v64: { bytes: [0x37, 0x80, 0x40, 0x12], name: 'byte-swapped (.v64)' },
  n64: { bytes: [0x40, 0x12, 0x37, 0x80], name: 'little-endian (.n64)' },
};

function byteOrder(first) {
  for (const [key, order] of Object.entries(ORDERS)) {
    if (first.length >= 4 && order.bytes.every((b, i) => first[i] === b)) return key;
  }
  return null;
}

// The image in big-endian order: pairs swapped (.v64) or each 4-byte word
// reversed (.n64). A last incomplete group keeps its bytes.
function toBigEndian(bytes, order) {
  const out = new Uint8Array(bytes.length);
  out.set(bytes);
  const step = order === 'v64' ? 2 : 4;
  const whole = bytes.length - (bytes.length % step);
  if (step === 2) {
    for (let i = 0; i < whole; i += 2) { out[i] = bytes[i + 1]; out[i + 1] = bytes[i]; }
  } else {
    for (let i = 0; i < whole; i += 4) {
      out[i] = bytes[i + 3]; out[i + 1] = bytes[i + 2];
      out[i + 2] = bytes[i + 1]; out[i + 3] = bytes[i];
    }
  }
  return out;
}

// ---- What the run said ------------------------------------------------

const sjis = new TextDecoder('shift_jis');

const MESSAGES = [
  { pattern: /^table data not found\.$/,
    meaning: 'There is no character table. Choose zirel.tbl or a text table.' },
  { pattern: /^file .* not found\.$/s,
    meaning: 'The ROM image could not be opened. Choose the image again.' },
  { pattern: /^このROMフォーマットには対応していません。$/,
    meaning: 'This ROM format is not supported: the file is not an N64 image in big-endian (.z64) order.' },
  { pattern: /^ZirelのROMデータではありません。$/,
    meaning: 'This is not a ROM image of Zirel (the title in its header is not ZIRE).' },
  { pattern: /^V1\.(.)のROMには対応していません。$/s,
    meaning: 'This release of the game is not supported: only the first release (version byte 0) is.' },
  { pattern: /^ROMデータが途中で終わっています。$/,
    meaning: 'The image ends inside the message region: it is cut short. The text up to where it ends is shown.' },
];

function explain(stdout, status, stderr) {
  const text = sjis.decode(stdout);
  const at = text.lastIndexOf('\r\n');
  const last = at < 0 ? text : text.slice(at + 2);
  if (status === 0) {
    return { good: true, headline: 'Done: the message text was extracted in full.',
      said: null, meaning: 'Exit status 0: the run completed.' };
  }
  if (stderr) {
    return { good: false, headline: 'The run failed.', said: stderr.trim(),
      meaning: 'Exit status 1: the output could not be written.' };
  }
  for (const m of MESSAGES) {
    if (m.pattern.test(last)) {
      return { good: false, headline: m.meaning, said: last,
        meaning: 'Exit status 1: the run stopped at this message.' };
    }
  }
  return { good: false, headline: 'The run stopped.', said: last,
    meaning: 'Exit status ' + status + '.' };
}

// ---- The page ---------------------------------------------------------

const $ = (id) => document.getElementById(id);
const state = {
  image: null,        // Blob or Uint8Array
  imageName: '',
  converted: null,    // the converted image's bytes, when converted
  table: null,        // Uint8Array: the table file's bytes
  tableName: '',
  result: null,       // { stdout, status, text }
  runNumber: 0,
};

function setStatus(headline, details, kind) {
  const box = $('status');
  box.className = 'status' + (kind ? ' ' + kind : '');
  box.replaceChildren();
  const h = document.createElement('p');
  h.className = 'headline';
  h.textContent = headline;
  box.append(h);
  for (const d of details || []) {
    const p = document.createElement('p');
    if (d.cls) p.className = d.cls;
    if (d.lang) p.lang = d.lang;
    p.textContent = d.text;
    box.append(p);
  }
}

function baseName(name) {
  const dot = name.lastIndexOf('.');
  return dot > 0 ? name.slice(0, dot) : (name || 'zirel');
}

function formatSize(n) {
  if (n < 1024) return n + ' bytes';
  if (n < 1024 * 1024) return (n / 1024).toFixed(1) + ' KiB';
  return (n / 1024 / 1024).toFixed(1) + ' MiB';
}

function download(bytes, name, type) {
  const url = URL.createObjectURL(new Blob([bytes], { type }));
  const a = document.createElement('a');
  a.href = url;
  a.download = name;
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}

async function runNow() {
  clearResult();
  if (!state.image) {
    setStatus('Choose a ROM image' + (state.table ? '.' : ' and a character table.'));
    return;
  }
  if (!state.table) {
    setStatus('Choose a character table (zirel.tbl or a text table).');
    return;
  }
  const number = ++state.runNumber;
  setStatus('Extracting…');
  const started = performance.now();
  let result;
  try {
    const image = state.converted || state.image;
    const reply = await runAnywhere(image, state.table,
      state.converted ? baseName(state.imageName) + '.z64' : state.imageName);
    result = reply;
  } catch (error) {
    if (number === state.runNumber) setStatus('The page could not run the tool: ' + error.message, [], 'bad');
    return;
  }
  if (number !== state.runNumber) return;  // a newer run replaced this one
  const seconds = (performance.now() - started) / 1000;
  const text = sjis.decode(result.stdout);
  state.result = { stdout: result.stdout, status: result.status, text };
  const e = explain(result.stdout, result.status, result.stderr);
  const details = [];
  if (e.said !== null) details.push({ text: 'The tool said: ' + e.said, cls: 'said', lang: 'ja' });
  details.push({ text: e.meaning });
  details.push({ text: formatSize(result.stdout.length) + ' of Shift_JIS text, ' +
    viewer.setText(text).toLocaleString('en') + ' lines, in ' + seconds.toFixed(2) + ' s.' });
  setStatus(e.headline, details, e.good ? 'good' : 'bad');
  $('save-sjis').disabled = false;
  $('save-utf8').disabled = false;
  // How many runs the page has shown, for scripts that wait for one.
  document.body.dataset.runsShown = String(number);
}

function clearResult() {
  state.result = null;
  viewer.setText('');
  $('save-sjis').disabled = true;
  $('save-utf8').disabled = true;
}

async function chooseImage(file) {
  state.image = file;
  state.imageName = file.name;
  state.converted = null;
  $('save-z64').hidden = true;
  const first = new Uint8Array(await file.slice(0, 4).arrayBuffer());
  const order = byteOrder(first);
  $('rom-info').textContent = file.name + ', ' + formatSize(file.size) +
    (order ? ', ' + ORDERS[order].name : '');
  const notice = $('byte-order');
  if (order === 'v64' || order === 'n64') {
    $('byte-order-text').textContent = 'This image is in ' + ORDERS[order].name +
      ' byte order. The tool reads only big-endian (.z64) images, so it refuses this one as it is. ' +
      'The page can convert it in memory and extract from the converted image.';
    notice.dataset.order = order;
    notice.hidden = false;
    $('convert').disabled = false;
  } else {
    notice.hidden = true;
  }
  runNow();
}

async function convertImage() {
  const order = $('byte-order').dataset.order;
  const file = state.image;
  if (!file || !order) return;
  // The whole image is held in memory twice while it is converted.
  const LARGEST = 1024 * 1024 * 1024;
  if (file.size > LARGEST) {
    setStatus('This file is too large to convert in the browser (' + formatSize(file.size) +
      '); no N64 image is that large.', [], 'bad');
    return;
  }
  $('convert').disabled = true;
  setStatus('Converting the image to big-endian order…');
  let bytes;
  try {
    bytes = new Uint8Array(await file.arrayBuffer());
  } catch (error) {
    setStatus('The image could not be read: ' + error.message + ' Choose it again.', [], 'bad');
    $('convert').disabled = false;
    return;
  }
  state.converted = toBigEndian(bytes, order);
  $('byte-order-text').textContent = 'Converted from ' + ORDERS[order].name +
    ' to big-endian (.z64) order in memory; the text below is from the converted image.';
  $('save-z64').hidden = false;
  runNow();
}

// ---- Tables -----------------------------------------------------------

// A text table holds no zero byte; a table file nearly always does (an
// empty or one-byte cell). A zero-free file of the table file's size named
// .tbl is taken as a table file too.
function isTextTable(bytes, name) {
  if (bytes.includes(0)) return false;
  if (/\.tbl$/i.test(name) && bytes.length === TABLE_FILE_BYTES) return false;
  return bytes.length > 0;
}

function showTable(note) {
  $('table-info').textContent = state.table ? state.tableName + note : '';
  $('forget-table').hidden = !state.table || !localStorage.getItem(STORE_KEY);
}

function showProblems(problems, name) {
  const list = $('table-problems');
  list.replaceChildren();
  for (const p of problems) {
    const li = document.createElement('li');
    li.className = p.isError ? 'error' : 'warning';
    li.textContent = name + ':' + (p.line ? p.line + ':' : '') + ' ' +
      (p.isError ? 'error' : 'warning') + ': ' + p.message;
    list.append(li);
  }
  list.hidden = problems.length === 0;
}

function remember(bytes, name) {
  try {
    let raw = '';
    for (const b of bytes) raw += String.fromCharCode(b);
    localStorage.setItem(STORE_KEY, JSON.stringify({ name, table: btoa(raw) }));
  } catch (error) {
    // Storage may be off in this browser: the table is then not kept.
  }
}

function recall() {
  try {
    const saved = JSON.parse(localStorage.getItem(STORE_KEY) || 'null');
    if (!saved) return;
    state.table = base64Bytes(saved.table);
    state.tableName = saved.name;
    showTable(' (remembered from an earlier visit)');
  } catch (error) {
    // A damaged or unreadable entry: no remembered table.
  }
}

async function chooseTable(file) {
  // Only the first 512 bytes of a table file count; a text table is small.
  const limit = 1024 * 1024;
  const bytes = new Uint8Array(await file.slice(0, limit).arrayBuffer());
  showProblems([], file.name);
  if (isTextTable(bytes, file.name)) {
    if (!TEXT_TABLES) {
      state.table = null;
      setStatus(file.name + ' looks like a text table, which this page cannot read. Choose a zirel.tbl.', [], 'bad');
      showTable('');
      return;
    }
    if (file.size > limit) {
      setStatus(file.name + ' is too large for a text table (' + formatSize(file.size) + ').', [], 'bad');
      return;
    }
    const parsed = await parseTextTable(bytes);
    showProblems(parsed.problems, file.name);
    if (parsed.problems.some((p) => p.isError)) {
      state.table = null;
      showTable('');
      clearResult();
      setStatus('The text table ' + file.name + ' has errors; fix them and choose it again.',
        [{ text: 'Each problem is listed with its line number under the table.' }], 'bad');
      return;
    }
    state.table = parsed.table;
    state.tableName = file.name;
    remember(state.table, file.name);
    showTable(' (text table, ' + formatSize(file.size) + ')');
  } else {
    state.table = bytes.slice(0, TABLE_FILE_BYTES);
    state.tableName = file.name;
    remember(state.table, file.name);
    showTable(' (' + formatSize(file.size) + ')');
  }
  runNow();
}

function forgetTable() {
  localStorage.removeItem(STORE_KEY);
  state.table = null;
  state.tableName = '';
  $('table-file').value = '';
  showTable('');
  showProblems([], '');
  runNow();
}

// ---- The text, shown in parts -----------------------------------------

// Only the lines in sight are in the document; the spacer gives the scroll
// range of all of them. Find searches all lines.
const viewer = (() => {
  const view = $('text-view');
  const spacer = $('text-spacer');
  const pre = $('text');
  const LINE = 22;  // px, as in the style
  const MARGIN = 40;  // lines drawn above and below the visible ones
  let lines = [];
  let query = '';
  let matches = [];  // [line, column] of every match
  let current = -1;
  let scheduled = false;

  function setText(text) {
    lines = text === '' ? [] : text.split('\r\n');
    if (lines.length && lines[lines.length - 1] === '') lines.pop();
    spacer.style.height = (lines.length * LINE) + 'px';
    view.scrollTop = 0;
    const enabled = lines.length > 0;
    for (const id of ['find', 'find-prev', 'find-next']) $(id).disabled = !enabled;
    search($('find').value, false);
    draw();
    return lines.length;
  }

  function schedule() {
    if (scheduled) return;
    scheduled = true;
    requestAnimationFrame(() => { scheduled = false; draw(); });
  }

  function draw() {
    const first = Math.max(0, Math.floor(view.scrollTop / LINE) - MARGIN);
    const count = Math.ceil(view.clientHeight / LINE) + 2 * MARGIN;
    const last = Math.min(lines.length, first + count);
    pre.style.top = (first * LINE) + 'px';
    const fragment = document.createDocumentFragment();
    const currentMatch = current >= 0 ? matches[current] : null;
    for (let i = first; i < last; ++i) {
      const line = lines[i];
      if (query && line.includes(query)) {
        let at = 0;
        for (;;) {
          const found = line.indexOf(query, at);
          if (found < 0) break;
          fragment.append(line.slice(at, found));
          const mark = document.createElement('mark');
          mark.textContent = query;
          if (currentMatch && currentMatch[0] === i && currentMatch[1] === found) mark.className = 'current';
          fragment.append(mark);
          at = found + query.length;
        }
        fragment.append(line.slice(at));
      } else {
        fragment.append(line);
      }
      if (i + 1 < last) fragment.append('\n');
    }
    pre.replaceChildren(fragment);
  }

  function search(text, jump) {
    query = text;
    matches = [];
    current = -1;
    if (query) {
      for (let i = 0; i < lines.length; ++i) {
        let at = lines[i].indexOf(query);
        while (at >= 0) {
          matches.push([i, at]);
          at = lines[i].indexOf(query, at + query.length);
        }
      }
    }
    if (jump && matches.length) {
      const top = Math.floor(view.scrollTop / LINE);
      current = matches.findIndex((m) => m[0] >= top);
      if (current < 0) current = 0;
      reveal();
    }
    showCount();
    draw();
  }

  function step(by) {
    if (!matches.length) return;
    current = current < 0 ? (by > 0 ? 0 : matches.length - 1)
      : (current + by + matches.length) % matches.length;
    reveal();
    showCount();
    draw();
  }

  function reveal() {
    const line = matches[current][0];
    const top = line * LINE;
    if (top < view.scrollTop || top + LINE > view.scrollTop + view.clientHeight) {
      view.scrollTop = Math.max(0, top - view.clientHeight / 3);
    }
  }

  function showCount() {
    $('find-count').textContent = !query ? ''
      : matches.length === 0 ? 'no match'
      : (current >= 0 ? (current + 1).toLocaleString('en') + ' of ' : '') +
        matches.length.toLocaleString('en') + (matches.length === 1 ? ' match' : ' matches');
  }

  view.addEventListener('scroll', schedule);
  window.addEventListener('resize', schedule);
  return { setText, search, step, query: () => query };
})();

// ---- Wiring -----------------------------------------------------------

$('rom-file').addEventListener('change', (e) => { if (e.target.files[0]) chooseImage(e.target.files[0]); });
$('table-file').addEventListener('change', (e) => { if (e.target.files[0]) chooseTable(e.target.files[0]); });
$('convert').addEventListener('click', convertImage);
$('save-z64').addEventListener('click', () => {
  if (state.converted) download(state.converted, baseName(state.imageName) + '.z64', 'application/octet-stream');
});
$('forget-table').addEventListener('click', forgetTable);
$('save-sjis').addEventListener('click', () => {
  if (state.result) download(state.result.stdout, baseName(state.imageName) + '.txt', 'text/plain;charset=shift_jis');
});
$('save-utf8').addEventListener('click', () => {
  if (state.result) {
    download(new TextEncoder().encode(state.result.text),
      baseName(state.imageName) + '.utf8.txt', 'text/plain;charset=utf-8');
  }
});

let findTimer = 0;
$('find').addEventListener('input', (e) => {
  clearTimeout(findTimer);
  findTimer = setTimeout(() => viewer.search(e.target.value, true), 150);
});
$('find').addEventListener('keydown', (e) => {
  if (e.key === 'Enter') {
    e.preventDefault();
    clearTimeout(findTimer);
    if ($('find').value !== viewer.query()) viewer.search($('find').value, true);
    else viewer.step(e.shiftKey ? -1 : 1);
  } else if (e.key === 'Escape') {
    $('text-view').focus();
  }
});
$('find-next').addEventListener('click', () => viewer.step(1));
$('find-prev').addEventListener('click', () => viewer.step(-1));
// The browser's own find sees only the lines in sight: Ctrl+F goes to the
// page's find box while there is text.
document.addEventListener('keydown', (e) => {
  if ((e.ctrlKey || e.metaKey) && e.key.toLowerCase() === 'f' && !$('find').disabled) {
    e.preventDefault();
    $('find').focus();
    $('find').select();
  }
});

// Dropped files: a small file that is not an N64 image is the table.
document.addEventListener('dragover', (e) => {
  e.preventDefault();
  document.body.classList.add('dragging');
});
document.addEventListener('dragleave', (e) => {
  if (e.relatedTarget === null) document.body.classList.remove('dragging');
});
document.addEventListener('drop', async (e) => {
  e.preventDefault();
  document.body.classList.remove('dragging');
  let image = null;
  let table = null;
  for (const file of e.dataTransfer.files) {
    const first = new Uint8Array(await file.slice(0, 4).arrayBuffer());
    if (byteOrder(first) !== null || file.size > 1024 * 1024) image = file;
    else table = file;
  }
  if (table) {
    if (image) { state.image = null; }  // one run, after both are in
    await chooseTable(table);
  }
  if (image) await chooseImage(image);
});

recall();
startWorker();
})();
