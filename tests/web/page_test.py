#!/usr/bin/env python3
"""The page (the web build's site) in headless Chromium, one browser for all:
every checked corpus table converted by the page gives the oracle's bytes,
with the options too; typed CSV and JSON Lines of every table give the
Linux program's bytes and report; a table with a missing memo file, a damaged table and a
code page that cannot be converted give the program's own messages in #error;
the code pages' tables give what the Linux program's iconv gives, and a
guessed code page what the Linux program guesses; Cancel stops a long
conversion; and no request of the page or its worker leaves 127.0.0.1.

    page_test.py SITE_FOLDER NATIVE_DBF2CSV [--screenshot PNG]
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import urllib.parse

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser, Site  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
# Chromium takes only plain absolute paths for a file input.
CORPUS = os.path.realpath(os.path.join(ROOT, "..", "shared", "corpus"))
ORACLE = os.path.realpath(os.path.join(ROOT, "..", "shared", "tools", "oracle_csv.py"))

# Page settings and the same options on the command line.
OPTION_SETS = [
    ({"names": False}, []),
    ({"rfc4180": True, "delimiter": ";"}, ["--rfc4180", "--delimiter", ";"]),
    ({"delimiter": "tab"}, ["--delimiter", "tab"]),
    ({"encoding": "auto", "rfc4180": True, "bom": True}, ["--encoding", "auto", "--rfc4180", "--bom"]),
    ({"encoding": "utf-8"}, ["--encoding", "utf-8"]),
]

CONVERT = r"""(async () => {
  const $ = (id) => document.getElementById(id);
  const s = %s;
  $('names').checked = s.names; $('encoding').value = s.encoding; $('bom').checked = s.bom;
  $('rfc4180').checked = s.rfc4180; $('delimiter').value = s.delimiter;
  $('format').value = s.format; $('format').dispatchEvent(new Event('change'));
  $('convert').click();
  // Not a time limit on the page: only a guard against waiting for ever.
  for (let wait = 0; wait < 24000; ++wait) {
    await new Promise((r) => setTimeout(r, 5));
    if ($('error').textContent) return {error: $('error').textContent, link: !!$('download')};
    const link = $('download');
    if (link && !$('convert').disabled) {
      const bytes = new Uint8Array(await (await fetch(link.href)).arrayBuffer());
      let s = '';
      for (let i = 0; i < bytes.length; i += 0x8000) s += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
      return {name: link.download, data: btoa(s), rows: $('preview').rows.length, status: $('status').textContent};
    }
  }
  return {error: '(neither a download nor an error)'};
})()"""

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL: " + what, flush=True)


def manifest():
    """(folder, name, checked, memo missing) of every corpus table."""
    tables, folder = [], None
    for line in open(os.path.join(CORPUS, "MANIFEST.md"), encoding="utf-8"):
        m = re.match(r"^### (.+)/\s*$", line)
        if m:
            folder = m.group(1)
            continue
        m = re.match(r"^\| `([^`]+)` \|", line)
        if folder and m:
            cells = line.split("|")[1:-1]
            if len(cells) >= 9:
                tables.append((folder, m.group(1), "NOT" not in cells[8],
                               "no memo file beside the table" in line))
    return tables


def companions(path):
    """The table and the files beside it of the same name in any letter case."""
    folder, stem = os.path.dirname(path), os.path.splitext(os.path.basename(path))[0].lower()
    return sorted(os.path.join(folder, f) for f in os.listdir(folder)
                  if os.path.splitext(f)[0].lower() == stem)


def settings(**given):
    s = {"names": True, "encoding": "none", "bom": False, "rfc4180": False, "delimiter": ",", "format": "csv"}
    s.update(given)
    return s


def convert(browser, files, s):
    import base64
    import json
    browser.choose_files(files)
    result = browser.evaluate(CONVERT % json.dumps(s))
    if "data" in result:
        result["data"] = base64.b64decode(result["data"])
    return result


def oracle(table, names, options):
    out = subprocess.run(["/usr/bin/python3", ORACLE] + (["--names"] if names else []) + options + [table],
                         capture_output=True)
    return out.stdout if out.returncode == 0 else None


def native(program, files, args, extension=".CSV", names=True):
    """The Linux program on copies of `files`: (exit code, what it said with
    its "dbf2csv: " prefixes gone, the output's bytes, named with
    `extension`, or None)."""
    folder = tempfile.mkdtemp(prefix="dbf2csv-native-")
    try:
        for f in files:
            shutil.copy(f, folder)
        table = next(os.path.basename(f) for f in files if f.lower().endswith(".dbf"))
        run = subprocess.run([program] + args + [table] + ([] if names else ["N"]), cwd=folder, capture_output=True,
                             env=dict(os.environ, DBF2CSV_UI="headless", LC_ALL="C"))
        told = "\n".join(re.sub(r"^dbf2csv: ", "", line) for line in run.stderr.decode().splitlines())
        output = os.path.join(folder, os.path.splitext(table)[0].upper() + extension)
        data = open(output, "rb").read() if os.path.exists(output) else None
        return run.returncode, told, data
    finally:
        shutil.rmtree(folder)


def dbf(path, rows, width=254):
    """A dBase III table of one character field TEXT holding each of `rows`."""
    header = bytearray(32)
    header[0] = 3
    header[1:4] = bytes([126, 12, 8])
    header[4:8] = len(rows).to_bytes(4, "little")
    header[8:10] = (32 + 32 + 1).to_bytes(2, "little")
    header[10:12] = (1 + width).to_bytes(2, "little")
    field = bytearray(32)
    field[0:4] = b"TEXT"
    field[11] = ord("C")
    field[16] = width
    with open(path, "wb") as f:
        f.write(header + field + b"\r")
        for r in rows:
            f.write(b" " + r.ljust(width, b" "))
        f.write(b"\x1a")


def test_corpus(browser, tables):
    for folder, name, checked, _ in tables:
        if not checked:
            continue
        table = os.path.join(CORPUS, folder, name)
        files = companions(table)
        what = folder + "/" + name
        result = convert(browser, files, settings())
        expected = oracle(table, True, [])
        check(result.get("data") == expected, what + ": the oracle's bytes (%s)" % result.get("error", ""))
        check(result.get("name") == os.path.splitext(name)[0].upper() + ".CSV", what + ": " + str(result.get("name")))
        lines = expected.count(b"\r\n") if expected else 0
        check(result.get("rows") == min(lines, 101), what + ": preview of %s rows" % result.get("rows"))
        for page, options in OPTION_SETS:
            s = settings(**page)
            result = convert(browser, files, s)
            expected = oracle(table, s["names"], options)
            label = what + " with " + " ".join(options)
            if expected is None:
                code, told, _ = native(program, files, options)
                check(code == 1 and result.get("error") == told,
                      label + ": the program's refusal, not %r (%r)" % (result.get("error"), told))
            else:
                check(result.get("data") == expected, label + ": the oracle's bytes (%s)" % result.get("error", ""))


# The table the typed outputs are also written with the other options.
TYPED_OPTIONS_TABLE = "infused-dbf/dbase_8b.dbf"


def test_typed(browser, tables):
    """Every corpus table as typed CSV and JSON Lines (the module's text
    scan is the one build without SSE2): the page gives the Linux program's
    bytes, named as it names them, reports the values it changed in the
    program's words, or refuses the table as the program does. A table
    that declares no code page is read in 437 on both sides."""
    runs = [({"format": "typed"}, ["--typed"]), ({"format": "jsonl"}, ["--format=jsonl"]),
            ({"format": "typed", "names": False, "delimiter": ";", "bom": True},
             ["--typed", "--delimiter", ";", "--bom"])]
    reported = 0
    for folder, name, _, _ in tables:
        path = folder + "/" + name
        files = companions(os.path.join(CORPUS, path))
        page = "none"
        for given, options in runs if path == TYPED_OPTIONS_TABLE else runs[:2]:
            extension = ".JSONL" if given["format"] == "jsonl" else ".CSV"
            while True:
                s = settings(encoding=page, **given)
                args = options + ([] if page == "none" else ["--encoding", page])
                code, told, expected = native(program, files, args, extension, s["names"])
                if page != "none" or " declares no code page" not in told:
                    break
                page = "437"
            result = convert(browser, files, s)
            label = path + " with " + " ".join(args)
            if expected is None:
                check(code == 1 and result.get("error") == told,
                      label + ": the program's refusal, not %r (%r)" % (result.get("error"), told))
                continue
            check(result.get("data") == expected,
                  label + ": the program's bytes (%s; %s)" % (result.get("error", ""), told))
            check(result.get("name") == os.path.splitext(name)[0].upper() + extension,
                  label + ": named " + str(result.get("name")))
            if extension == ".JSONL":
                # The keys, then a row a record: an object is one line.
                records = expected.count(b"\n")
                check(result.get("rows") == (min(records, 100) + 1 if records else 0),
                      label + ": preview of %s rows" % result.get("rows"))
            # The program's report: its lines after the one that names the output.
            lines = told.splitlines()
            created = [i for i, line in enumerate(lines) if " Created with " in line]
            changed = [line for line in lines[created[0] + 1:] if line] if created else None
            status = result.get("status", "").split("\n")
            written = re.search(r" Created with ([\d,]+) records", told)
            head = "%s: %s records, %s bytes." % (result.get("name"), written and written.group(1),
                                                   format(len(expected), ","))
            check(status[0] == head, label + ": status %r, not %r" % (status[0], head))
            shown = status[1:]
            check(shown == changed, label + ": report %r, the program's %r" % (shown, changed))
            reported += len(shown)
    check(reported >= 4, "the typed tables change values, and the page says so (%d lines)" % reported)


def test_messages(browser, tables, work):
    """What the program says, the page says."""
    for folder, name, checked, memo_missing in tables:
        if memo_missing:
            files = companions(os.path.join(CORPUS, folder, name))
            result = convert(browser, files, settings())
            _, told, _ = native(program, files, [])
            check(result.get("error") == told and not result["link"], folder + "/" + name + ": " + str(result))
    # A table cut inside its field list.
    source = os.path.join(CORPUS, "infused-dbf", "dbase_83.dbf")
    damaged = os.path.join(work, "DAMAGED.DBF")
    with open(damaged, "wb") as f:
        f.write(open(source, "rb").read()[:50])
    result = convert(browser, [damaged], settings())
    _, told, _ = native(program, [damaged], [])
    check(told.startswith("Not able to open DAMAGED.DBF.") and result.get("error") == told,
          "damaged table: %r, the program: %r" % (result.get("error"), told))
    # A code page this build cannot convert.
    plain = os.path.join(CORPUS, "infused-dbf", "cp1251.dbf")
    result = convert(browser, [plain], settings(encoding="cp9999"))
    _, told, _ = native(program, [plain], ["--encoding", "cp9999"])
    check(result.get("error") == told, "unknown code page: %r, the program: %r" % (result.get("error"), told))
    # Two tables at once.
    result = convert(browser, [plain, damaged], settings())
    check(result.get("error", "").startswith("Choose one table at a time"), "two tables: " + str(result))


def test_code_pages(browser, work):
    """Every byte under single-byte code pages, and every pair of the
    double-byte ones, as the Linux program converts them with iconv."""
    table = os.path.join(work, "BYTES.DBF")
    every = bytes(range(1, 256))
    # A refused 949 pair last in a value, which iconv takes in whole.
    rows = [every[:127], every[127:], b"A\xa2\xe8"]
    for lead in range(0x81, 0xFF):
        pairs = b"".join(bytes([lead, trail]) for trail in range(0x40, 0xFF))
        rows += [pairs[i:i + 254] for i in range(0, len(pairs), 254)]
    dbf(table, rows)
    for page in ["437", "850", "852", "866", "1251", "1255", "1258", "koi8-r", "932", "936", "949", "950"]:
        result = convert(browser, [table], settings(encoding=page))
        _, told, expected = native(program, [table], ["--encoding", page])
        check(expected is not None and result.get("data") == expected,
              "code page %s: as iconv converts it (%s; %s)" % (page, result.get("error", ""), told))


def test_guess(browser, work):
    """A table that declares no code page, Russian in 866 among plain
    records, under guess: the page reads it as the Linux program does."""
    table = os.path.join(work, "GUESS.DBF")
    russian = ["Иванов Пётр Сергеевич", "улица Ленина, дом пять", "заказ отправлен в пятницу"]
    dbf(table, [b"ACME %d" % n for n in range(30)] + [r.encode("cp866") for r in russian], 40)
    result = convert(browser, [table], settings(encoding="guess"))
    _, told, expected = native(program, [table], ["--encoding", "guess"])
    check("reads as code page 866 " in told, "the program guesses 866: " + told)
    check(expected is not None and result.get("data") == expected,
          "guess: as the program reads it (%s; %s)" % (result.get("error", ""), told))


CANCEL = r"""(async () => {
  const $ = (id) => document.getElementById(id);
  $('encoding').value = 'none';
  $('convert').click();
  while (!($('progress').value > 0) && !$('download') && !$('error').textContent) {
    await new Promise((r) => setTimeout(r, 1));
  }
  const midway = $('progress').value < 1 && !$('download');
  $('cancel').click();
  await new Promise((r) => setTimeout(r, 200));
  return {midway, status: $('status').textContent, link: !!$('download'), idle: !$('convert').disabled};
})()"""


def test_cancel(browser, work):
    """Cancel stops a long conversion: no download, and the next one runs."""
    table = os.path.join(work, "LONG.DBF")
    dbf(table, [b"%08d" % n + b"x" * 200 for n in range(200000)])
    browser.choose_files([table])
    result = browser.evaluate(CANCEL)
    check(result == {"midway": True, "status": "Cancelled.", "link": False, "idle": True},
          "cancel: %s" % result)
    small = os.path.join(CORPUS, "infused-dbf", "cp1251.dbf")
    result = convert(browser, [small], settings())
    check(result.get("data") == oracle(small, True, []), "a conversion after a cancel")


def main():
    global program
    site, program = sys.argv[1], os.path.abspath(sys.argv[2])
    screenshot = sys.argv[4] if len(sys.argv) > 4 and sys.argv[3] == "--screenshot" else None
    server = Site(site)
    browser = Browser()
    work = tempfile.mkdtemp(prefix="dbf2csv-web-tables-")
    try:
        browser.open(server.url + "index.html")
        # The module's size, a goal of the page: it is fetched before anything works.
        wasm = os.path.getsize(os.path.join(site, "dbf2csv_web.wasm"))
        check(wasm <= 1.5 * 2 ** 20, "the module's %d bytes within 1.5 MiB" % wasm)
        tables = manifest()
        check(sum(1 for t in tables if t[2]) > 0, "the manifest lists checked tables")
        if screenshot:
            convert(browser, companions(os.path.join(CORPUS, "infused-dbf", "dbase_30.dbf")),
                    settings(encoding="auto"))
            browser.screenshot(screenshot)
            return 0
        test_typed(browser, tables)
        test_corpus(browser, tables)
        test_messages(browser, tables, work)
        test_code_pages(browser, work)
        test_guess(browser, work)
        test_cancel(browser, work)
        hosts = {urllib.parse.urlparse(u).hostname for u in browser.requests
                 if not u.startswith(("blob:", "data:"))}
        check(hosts == {"127.0.0.1"}, "requests only to 127.0.0.1: %s" % sorted(map(str, hosts)))
        # The worker's own requests were seen, so none of its could be missed.
        check(any(u.endswith("/dbf2csv_web.wasm") for u in browser.requests), "the worker's requests are watched")
    finally:
        browser.close()
        server.close()
        shutil.rmtree(work)
    print("page test: %d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
