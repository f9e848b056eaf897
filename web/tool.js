// The tool's module run on files the page holds; used in the page's worker
// (images as Blobs, read in the byte ranges a run asks for with
// FileReaderSync) and on the page itself (images already in memory).
// Self-contained: the worker gets this function's source.
function toolRunner(compiled) {
  'use strict';
  // One instance serves every run: a run starts from the same state
  // whatever ran before it, and a fresh instance would cost a fresh memory
  // each time. An instance that failed is dropped.
  let tool = null;
  let reader = null;
  const current = { files: [null, null], stderr: '' };

  function instantiate() {
    let exports = null;
    const env = {
      // Reads n bytes at offset from file 0 (the image) or 1 (the table).
      read_at(file, offset, buffer, n) {
        const source = current.files[file];
        if (!source) return 0;
        const size = source instanceof Blob ? source.size : source.length;
        if (offset >= size) return 0;
        const end = Math.min(size, offset + (n >>> 0));
        let bytes;
        try {
          if (source instanceof Blob) {
            if (reader === null) reader = new FileReaderSync();
            bytes = new Uint8Array(reader.readAsArrayBuffer(source.slice(offset, end)));
          } else {
            bytes = source.subarray(offset, end);
          }
        } catch (error) {
          return 0;  // a file that can no longer be read: a read error
        }
        new Uint8Array(exports.memory.buffer).set(bytes, buffer >>> 0);
        return bytes.length;
      },
      write_error(line) {
        const heap = new Uint8Array(exports.memory.buffer);
        let end = line >>> 0;
        while (heap[end] !== 0) ++end;
        current.stderr += new TextDecoder().decode(heap.subarray(line >>> 0, end));
      },
    };
    const imports = { env };
    // Functions the C library may name but that no run calls: each fails.
    for (const entry of WebAssembly.Module.imports(compiled)) {
      if (entry.module === 'env') continue;
      imports[entry.module] = imports[entry.module] || {};
      imports[entry.module][entry.name] = () => 52;  // "not supported"
    }
    exports = new WebAssembly.Instance(compiled, imports).exports;
    if (exports._initialize) exports._initialize();
    return exports;
  }

  function getTool() {
    if (tool === null) tool = instantiate();
    return tool;
  }

  function put(exports, bytes, terminate) {
    const at = exports.zirel_alloc(bytes.length + (terminate ? 1 : 0)) >>> 0;
    const heap = new Uint8Array(exports.memory.buffer);
    heap.set(bytes, at);
    if (terminate) heap[at + bytes.length] = 0;
    return at;
  }

  // `n64zirelcnv NAME` (no argument when name is null) with the image as
  // NAME and the table as zirel.tbl: { stdout, status, stderr }.
  function run(image, table, name) {
    const exports = getTool();
    current.files = [image, table];
    current.stderr = '';
    let at = 0;
    try {
      if (name !== null) at = put(exports, new TextEncoder().encode(name), true);
      const status = exports.zirel_run(at, image ? 1 : 0, table ? 1 : 0);
      const out = exports.zirel_output() >>> 0;
      const stdout = new Uint8Array(exports.memory.buffer)
        .slice(out, out + (exports.zirel_output_size() >>> 0));
      return { stdout, status, stderr: current.stderr };
    } catch (error) {
      tool = null;
      throw error;
    } finally {
      if (at !== 0 && tool !== null) exports.zirel_free(at);
      current.files = [null, null];
    }
  }

  // The text-table reader of the table program on a text table's bytes:
  // { table: the table file's bytes, problems: [{ line, isError, message }] }.
  function parseTable(bytes) {
    const exports = getTool();
    const at = put(exports, bytes, false);
    const result = exports.zirel_parse_table_text(at, bytes.length) >>> 0;
    exports.zirel_free(at);
    const heap = new Uint8Array(exports.memory.buffer);
    const view = new DataView(exports.memory.buffer);
    // The result: the table's 512 bytes, then where the problems' text is
    // and its size; one problem a line, "LINE\tKIND\tMESSAGE".
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
    return { table, problems };
  }

  return { run, parseTable };
}
