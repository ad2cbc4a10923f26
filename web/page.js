// The page: the chosen files and options to the worker (worker.js), which
// converts; here the progress, the preview, the download and the messages.
'use strict';

const PREVIEW_RECORDS = 100;

const $ = (id) => document.getElementById(id);
let worker = null;
let job = null;  // the conversion under way: its parts, preview text, name

// The worker is made anew for every conversion: Cancel ends one by ending it.
function startWorker() {
  if (worker) worker.terminate();
  worker = new Worker('worker.js');
  worker.onmessage = (event) => handle(event.data);
  worker.onerror = (event) => finish('The converter failed: ' + event.message);
}

function setBusy(busy) {
  $('convert').disabled = busy;
  $('cancel').hidden = !busy;
}

function clearResult() {
  const link = $('download');
  if (link) {
    URL.revokeObjectURL(link.href);
    link.remove();
  }
  $('error').textContent = '';
  $('status').textContent = '';
  $('preview').replaceChildren();
  $('progress').value = 0;
}

// The table among the chosen files: the one .DBF (or the only file); an
// error text when there is none or more than one.
function chooseTable(files) {
  if (files.length === 0) return {error: 'Choose a table (.DBF) first.'};
  const tables = files.filter((f) => /\.dbf$/i.test(f.name));
  if (tables.length > 1) {
    return {error: 'Choose one table at a time: ' + tables.map((f) => f.name).join(', ') + '.'};
  }
  if (tables.length === 1) return {table: tables[0]};
  if (files.length === 1) return {table: files[0]};
  return {error: 'None of the files is a table (.DBF).'};
}

// The program's arguments for the options on the page.
function argumentsOf() {
  const format = $('format').value;
  const args = format === 'typed' ? ['--typed'] : format === 'jsonl' ? ['--format=jsonl'] : [];
  // JSON Lines have no delimiter and no byte order mark.
  if (format !== 'jsonl') args.push('--delimiter=' + $('delimiter').value);
  const encoding = $('encoding').value.trim();
  if (encoding !== '' && encoding.toLowerCase() !== 'none') args.push('--encoding=' + encoding);
  if (format !== 'jsonl' && $('bom').checked) args.push('--bom');
  if (format === 'csv' && $('rfc4180').checked) args.push('--rfc4180');
  args.push('--');
  // The field-name flag comes after the table: the worker adds the table first.
  return args;
}

function convert() {
  clearResult();
  const files = Array.from($('file').files);
  const chosen = chooseTable(files);
  if (chosen.error) {
    $('error').textContent = chosen.error;
    return;
  }
  const encoding = $('encoding').value.trim().toLowerCase();
  const format = $('format').value;
  job = {
    parts: [],
    previewBytes: [],
    previewDone: false,
    json: format === 'jsonl',
    names: $('names').checked,
    utf8: format !== 'csv' || (encoding !== '' && encoding !== 'none'),
    delimiter: $('delimiter').value === 'tab' ? '\t' : $('delimiter').value,
    name: '',
    count: 0,
  };
  setBusy(true);
  $('status').textContent = 'Converting ' + chosen.table.name + '…';
  startWorker();
  worker.postMessage({files, table: chosen.table.name, args: argumentsOf(), names: job.names});
}

function handle(message) {
  if (!job) return;
  switch (message.type) {
    case 'start':
      job.name = message.name;
      job.count = message.count;
      break;
    case 'chunk':
      job.parts.push(message.blob);
      if (message.preview && !job.previewDone) {
        job.previewBytes.push(message.preview);
        showPreview();
      }
      $('progress').value = job.count > 0 ? Math.min(1, message.records / job.count) : 0;
      break;
    case 'done':
      offerDownload(message.records, message.replacements, message.report);
      break;
    case 'error':
      finish(message.message);
      break;
  }
}

// `report`: the typed output's lines on the values it changed, as the
// program words them.
function offerDownload(records, replacements, report) {
  const blob = new Blob(job.parts, {type: job.name.endsWith('.JSONL') ? 'application/jsonl' : 'text/csv'});
  const link = document.createElement('a');
  link.id = 'download';
  link.href = URL.createObjectURL(blob);
  link.download = job.name;
  link.textContent = 'Download ' + job.name;
  $('result').replaceChildren(link);
  $('progress').value = 1;
  let text = job.name + ': ' + records.toLocaleString('en') + ' records, ' + blob.size.toLocaleString('en') + ' bytes.';
  if (replacements > 0) {
    text += ' ' + replacements.toLocaleString('en') + ' characters undefined in the code page were written as U+FFFD.';
  }
  if (report) text += '\n' + report;
  finish('', text);
}

function finish(error, status = '') {
  $('error').textContent = error;
  $('status').textContent = status;
  if (error) $('progress').value = 0;
  setBusy(false);
  job = null;
  if (worker) worker.terminate();
  worker = null;
}

function cancel() {
  finish('', 'Cancelled.');
}

// ---- The preview: the first records of the output as a table -------------

// The rows of CSV `text` in the page's delimiter: fields in quotes, a quote
// inside doubled.
function parseRows(text, delimiter, limit) {
  const rows = [];
  let row = [], field = '', quoted = false, i = 0;
  while (i < text.length && rows.length < limit) {
    const c = text[i++];
    if (quoted) {
      if (c !== '"') field += c;
      else if (text[i] === '"') { field += '"'; i++; }
      else quoted = false;
    } else if (c === '"') {
      quoted = true;
    } else if (c === delimiter) {
      row.push(field); field = '';
    } else if (c === '\n') {
      row.push(field); rows.push(row); row = []; field = '';
    } else if (c !== '\r') {
      field += c;
    }
  }
  return rows;
}

function showPreview() {
  const size = job.previewBytes.reduce((n, part) => n + part.length, 0);
  const bytes = new Uint8Array(size);
  let at = 0;
  for (const part of job.previewBytes) {
    bytes.set(part, at);
    at += part.length;
  }
  const decoder = new TextDecoder(job.utf8 ? 'utf-8' : 'windows-1252');
  const text = decoder.decode(bytes).replace(/^\uFEFF/, '');
  const names = job.names || job.json;
  const wanted = PREVIEW_RECORDS + (names ? 1 : 0);
  const rows = job.json ? parseObjects(text, wanted) : parseRows(text, job.delimiter, wanted);
  if (rows.length >= wanted) job.previewDone = true;
  render(rows, names);
}

// The rows of JSON Lines `text`: the keys of the first object, then each
// object's values (null as nothing). Numbers are shown as written, never
// read into a double that would round them; a line cut off is left out.
function parseObjects(text, limit) {
  const rows = [];
  const member = /("(?:[^"\\]|\\.)*"):("(?:[^"\\]|\\.)*"|[^,}]*)/g;
  for (const line of text.split('\n')) {
    if (rows.length >= limit || !line.endsWith('}')) break;
    const keys = [], values = [];
    for (const [, key, value] of line.matchAll(member)) {
      keys.push(JSON.parse(key));
      values.push(value.startsWith('"') ? JSON.parse(value) : value === 'null' ? '' : value);
    }
    if (rows.length === 0) rows.push(keys);
    rows.push(values);
  }
  return rows.slice(0, limit);
}

function render(rows, names) {
  const table = $('preview');
  const head = document.createElement('thead');
  const body = document.createElement('tbody');
  rows.forEach((cells, n) => {
    const tr = document.createElement('tr');
    for (const text of cells) {
      const cell = document.createElement(names && n === 0 ? 'th' : 'td');
      if (names && n === 0) cell.scope = 'col';
      cell.textContent = text;
      tr.append(cell);
    }
    (names && n === 0 ? head : body).append(tr);
  });
  table.replaceChildren(head, body);
}

// ---- Wiring ---------------------------------------------------------------

$('form').addEventListener('submit', (event) => {
  event.preventDefault();
  convert();
});
$('cancel').addEventListener('click', cancel);
// The options an output has no use for are set aside: typed CSV is always
// RFC 4180's, and JSON Lines have no delimiter, byte order mark or
// field-name line.
function showFormat() {
  const format = $('format').value;
  $('rfc4180').disabled = format !== 'csv';
  for (const id of ['delimiter', 'bom', 'names']) $(id).disabled = format === 'jsonl';
}
$('format').addEventListener('change', showFormat);
showFormat();
const drop = $('drop');
drop.addEventListener('dragover', (event) => {
  event.preventDefault();
  drop.classList.add('over');
});
drop.addEventListener('dragleave', () => drop.classList.remove('over'));
drop.addEventListener('drop', (event) => {
  event.preventDefault();
  drop.classList.remove('over');
  $('file').files = event.dataTransfer.files;
});
