// The conversion, off the page's thread. The module reads the files the user
// chose through WORKERFS, which reads a File slice by slice when asked, so
// a table is never held whole; the output goes back in chunks, as Blobs.
'use strict';

const INPUT = '/input';
const CHUNK = 1 << 20;           // bytes of output per message
const PREVIEW_BYTES = 1 << 20;   // how much output the page may look at for its preview

let ready = false;
let waiting = null;

var Module = {
  onRuntimeInitialized() {
    ready = true;
    if (waiting) convert(waiting);
  },
};
importScripts('dbf2csv_web.js');

// Calls `f` with `text` as a NUL-terminated UTF-8 string in the module's memory.
function withString(text, f) {
  const size = lengthBytesUTF8(text) + 1;
  const p = _malloc(size);
  try {
    stringToUTF8(text, p, size);
    return f(p);
  } finally {
    _free(p);
  }
}

function mount(files) {
  FS.chdir('/');
  if (FS.analyzePath(INPUT).exists) FS.unmount(INPUT);
  else FS.mkdir(INPUT);
  FS.mount(WORKERFS, {files}, INPUT);
  // The program names its table as given: a bare name reads as on the desktop.
  FS.chdir(INPUT);
}

function convert({files, table, args, names}) {
  mount(files);
  const all = args.concat([table, names ? 'Y' : 'N']).join('\n');
  if (!withString(all, _dbf2csv_open)) {
    postMessage({type: 'error', message: UTF8ToString(_dbf2csv_message())});
    _dbf2csv_close();
    return;
  }
  const name = UTF8ToString(_dbf2csv_output_name());
  postMessage({type: 'start', name, count: _dbf2csv_record_count()});
  let previewed = 0;
  for (;;) {
    const n = _dbf2csv_next(CHUNK);
    if (n < 0) {
      postMessage({type: 'error', message: UTF8ToString(_dbf2csv_message())});
      break;
    }
    const bytes = HEAPU8.subarray(_dbf2csv_output(), _dbf2csv_output() + n);
    const message = {type: 'chunk', blob: new Blob([bytes]), records: _dbf2csv_records()};
    if (previewed < PREVIEW_BYTES) {
      message.preview = bytes.slice(0, PREVIEW_BYTES - previewed);
      previewed += message.preview.length;
    }
    postMessage(message);
    if (_dbf2csv_finished()) {
      postMessage({type: 'done', records: _dbf2csv_records(), replacements: _dbf2csv_replacements(),
                   report: UTF8ToString(_dbf2csv_message())});
      break;
    }
  }
  _dbf2csv_close();
}

onmessage = (event) => {
  if (ready) convert(event.data);
  else waiting = event.data;
};
