// The page's worker: runs the tool's module, one run per message. Files are
// read here, synchronously, only in the byte ranges the run asks for, so a
// huge file costs nothing and the page stays responsive during a run.
'use strict';
let compiled = null;
let waiting = [];

self.onmessage = (event) => {
  const message = event.data;
  if (message.type === 'init') {
    WebAssembly.compile(message.module).then((module) => {
      compiled = module;
      for (const m of waiting) handle(m);
      waiting = null;
    }, (error) => {
      self.postMessage({ id: 0, error: 'the module did not compile: ' + error });
    });
    return;
  }
  if (compiled === null) waiting.push(message);
  else handle(message);
};

function handle(message) {
  try {
    if (message.type === 'run') runTool(message);
    else if (message.type === 'parse-table') parseTable(message);
  } catch (error) {
    self.postMessage({ id: message.id, error: String(error && error.stack || error) });
  }
}

// A fresh instance for every run: the tool's storage starts as at a
// process's start.
function instantiate(env) {
  const imports = { env };
  // Functions the C library may name but that no run calls: each fails.
  for (const entry of WebAssembly.Module.imports(compiled)) {
    if (entry.module === 'env') continue;
    imports[entry.module] = imports[entry.module] || {};
    imports[entry.module][entry.name] = () => 52;  // "not supported"
  }
  const exports = new WebAssembly.Instance(compiled, imports).exports;
  if (exports._initialize) exports._initialize();
  return exports;
}

function sizeOf(file) {
  return file instanceof Blob ? file.size : file.length;
}

function putString(exports, text) {
  const bytes = new TextEncoder().encode(text);
  const at = exports.zirel_alloc(bytes.length + 1) >>> 0;
  const heap = new Uint8Array(exports.memory.buffer);
  heap.set(bytes, at);
  heap[at + bytes.length] = 0;
  return at;
}

function concat(chunks, total) {
  const all = new Uint8Array(total);
  let at = 0;
  for (const chunk of chunks) {
    all.set(chunk, at);
    at += chunk.length;
  }
  return all;
}

function runTool(message) {
  const files = [message.image, message.table];
  const reader = new FileReaderSync();
  const chunks = [];
  let total = 0;
  let stderr = '';
  let exports = null;
  const env = {
    read_at(file, offset, buffer, n) {
      const source = files[file];
      if (!source) return 0;
      const size = sizeOf(source);
      if (offset >= size) return 0;
      const end = Math.min(size, offset + (n >>> 0));
      let bytes;
      try {
        bytes = source instanceof Blob
          ? new Uint8Array(reader.readAsArrayBuffer(source.slice(offset, end)))
          : source.subarray(offset, end);
      } catch (error) {
        return 0;  // a file that can no longer be read: a read error
      }
      new Uint8Array(exports.memory.buffer).set(bytes, buffer >>> 0);
      return bytes.length;
    },
    write(bytes, n) {
      chunks.push(new Uint8Array(exports.memory.buffer, bytes >>> 0, n >>> 0).slice());
      total += n >>> 0;
      return 1;
    },
    write_error(line) {
      const heap = new Uint8Array(exports.memory.buffer);
      let end = line >>> 0;
      while (heap[end] !== 0) ++end;
      stderr += new TextDecoder().decode(heap.subarray(line >>> 0, end));
    },
  };
  exports = instantiate(env);
  const hasName = message.name !== null && message.name !== undefined;
  const name = hasName ? putString(exports, String(message.name)) : 0;
  const status = exports.zirel_run(name, message.image ? 1 : 0, message.table ? 1 : 0);
  const stdout = concat(chunks, total);
  self.postMessage({ id: message.id, stdout, status, stderr }, [stdout.buffer]);
}

// The text-table reader of the command line's table program, on the bytes
// of a text table: the table file's bytes and every problem with its line.
function parseTable(message) {
  const exports = instantiate({
    read_at: () => 0, write: () => 1, write_error: () => {},
  });
  const bytes = message.bytes;
  const at = exports.zirel_alloc(bytes.length) >>> 0;
  new Uint8Array(exports.memory.buffer).set(bytes, at);
  const result = exports.zirel_parse_table_text(at, bytes.length) >>> 0;
  const view = new DataView(exports.memory.buffer);
  const heap = new Uint8Array(exports.memory.buffer);
  // The result: the table's 512 bytes, then the problems' text and its size.
  const table = heap.slice(result, result + 512);
  const textAt = view.getUint32(result + 512, true);
  const textSize = view.getUint32(result + 516, true);
  const text = new TextDecoder().decode(heap.subarray(textAt, textAt + textSize));
  const problems = [];
  for (const line of text.split('\n')) {
    if (line === '') continue;
    const [number, kind, ...rest] = line.split('\t');
    problems.push({ line: Number(number), isError: kind === 'error', message: rest.join('\t') });
  }
  self.postMessage({ id: message.id, table, problems });
}
