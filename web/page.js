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
  const args = ['--delimiter=' + $('delimiter').value];
  const encoding = $('encoding').value.trim();
  if (encoding !== '' && encoding.toLowerCase() !== 'none') args.push('--encoding=' + encoding);
  if ($('bom').checked) args.push('--bom');
  if ($('rfc4180').checked) args.push('--rfc4180');
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
  job = {
    parts: [],
    previewBytes: [],
    previewDone: false,
    names: $('names').checked,
    utf8: encoding !== '' && encoding !== 'none',
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
      offerDownload(message.records, message.replacements);
      break;
    case 'error':
      finish(message.message);
      break;
  }
}

function offerDownload(records, replacements) {
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
  const wanted = PREVIEW_RECORDS + (job.names ? 1 : 0);
  const rows = parseRows(text, job.delimiter, wanted);
  if (rows.length >= wanted) job.previewDone = true;
  render(rows, job.names);
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
