// The page's worker: runs the tool's module (toolRunner, put before this
// text by the page) on images given as Blobs. Files are read here,
// synchronously, only in the byte ranges the run asks for, so a huge file
// costs nothing and the page stays responsive during a run.
'use strict';
let runner = null;
let waiting = [];

self.onmessage = (event) => {
  const message = event.data;
  if (message.type === 'init') {
    WebAssembly.compile(message.module).then((module) => {
      runner = toolRunner(module);
      for (const m of waiting) handle(m);
      waiting = null;
    }, (error) => {
      self.postMessage({ id: 0, error: 'the module did not compile: ' + error });
    });
    return;
  }
  if (runner === null) waiting.push(message);
  else handle(message);
};

function handle(message) {
  try {
    if (message.type === 'run') {
      const r = runner.run(message.image, message.table, message.name);
      self.postMessage(Object.assign({ id: message.id }, r), [r.stdout.buffer]);
    } else if (message.type === 'parse-table') {
      self.postMessage(Object.assign({ id: message.id }, runner.parseTable(message.bytes)));
    }
  } catch (error) {
    self.postMessage({ id: message.id, error: String(error && error.stack || error) });
  }
}
