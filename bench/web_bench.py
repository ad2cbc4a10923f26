#!/usr/bin/env python3
"""The page beside the native program (`make bench`): a generated table of
1,000,000 records converted by dbf2csv and by the page in headless Chromium
(as CSV, typed CSV and JSON Lines), the time of each, and the page's memory (WebAssembly memory and JavaScript
heaps of the page and its worker, from the DevTools protocol, sampled while
it runs) for that table and for one of 1 GB.

    web_bench.py SITE_FOLDER NATIVE_DBF2CSV WORK_FOLDER
"""
import os
import random
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from browser import Browser, Site  # noqa: E402

FIELDS = [(b"NAME", b"C", 30, 0), (b"AMOUNT", b"N", 12, 2), (b"BORN", b"D", 8, 0),
          (b"ACTIVE", b"L", 1, 0), (b"CITY", b"C", 20, 0)]


def write_table(path, records, filler=0):
    """A dBase III table of FIELDS (and a character field of `filler` bytes)."""
    fields = FIELDS + ([(b"NOTE", b"C", filler, 0)] if filler else [])
    width = 1 + sum(f[2] for f in fields)
    header = bytearray(32)
    header[0] = 3
    header[1:4] = bytes([126, 12, 8])
    header[4:8] = records.to_bytes(4, "little")
    header[8:10] = (32 + 32 * len(fields) + 1).to_bytes(2, "little")
    header[10:12] = width.to_bytes(2, "little")
    rng = random.Random(27)
    cities = [c.ljust(20).encode() for c in ("Lisboa", "Tallinn", "Kraków", "Zürich", "Nice")]
    block = []
    for n in range(1000):
        block.append(b" " + ("Customer %06d" % n).ljust(30).encode() + ("%12.2f" % (rng.random() * 1e6)).encode() +
                     b"19%02d%02d%02d" % (rng.randrange(100), rng.randrange(1, 13), rng.randrange(1, 29)) +
                     rng.choice([b"T", b"F"]) + rng.choice(cities) + (b"n" * filler))
    with open(path, "wb") as f:
        f.write(header)
        for name, kind, length, decimals in fields:
            d = bytearray(32)
            d[0:len(name)] = name
            d[11] = kind[0]
            d[16] = length
            d[17] = decimals
            f.write(d)
        f.write(b"\r")
        chunk = b"".join(block)
        for _ in range(records // 1000):
            f.write(chunk)
        f.write(b"\x1a")


# The outputs timed on the 1,000,000-record table: the page's Output
# choice and code page, and the same on the command line (the generated
# tables declare no code page).
TYPED = [("typed CSV", "typed", ["--typed", "-e", "437"]),
         ("JSON Lines", "jsonl", ["--format=jsonl", "-e", "437"])]


def native_seconds(program, table, args=()):
    start = time.perf_counter()
    subprocess.run([program, *args, table], check=True, cwd=os.path.dirname(table),
                   env=dict(os.environ, DBF2CSV_UI="headless"), stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


def page_run(browser, table, output="csv", encoding="none"):
    """Seconds, output bytes and the peaks of memory (MiB) of the page's run."""
    browser.choose_files([table])
    browser.evaluate("(() => { const $ = (id) => document.getElementById(id);"
                     " $('format').value = '%s'; $('format').dispatchEvent(new Event('change'));"
                     " $('encoding').value = '%s'; $('convert').click(); return 0; })()" % (output, encoding))
    start = time.perf_counter()
    peak = {"page JS heap": 0, "worker JS heap": 0, "WebAssembly memory": 0, "sum": 0}
    while True:
        done = browser.evaluate("(() => { const d = document.getElementById('download');"
                                " return d ? 'done' : document.getElementById('error').textContent; })()")
        page = browser.metrics()["JSHeapUsedSize"]
        heap, wasm = browser.worker_memory()
        for key, value in (("page JS heap", page), ("worker JS heap", heap), ("WebAssembly memory", wasm),
                           ("sum", page + heap + wasm)):
            peak[key] = max(peak[key], value / 2 ** 20)
        if done:
            break
        time.sleep(0.05)
    seconds = time.perf_counter() - start
    if done != "done":
        raise SystemExit("the page failed: " + done)
    size = browser.evaluate("fetch(document.getElementById('download').href).then((r) => r.blob()).then((b) => b.size)")
    return seconds, size, peak


def main():
    site, program, work = sys.argv[1], os.path.abspath(sys.argv[2]), sys.argv[3]
    os.makedirs(work, exist_ok=True)
    tables = [("1,000,000 records", os.path.join(work, "WEB1M.DBF"), 1000000, 0),
              ("1 GB", os.path.join(work, "WEB1GB.DBF"), 3000000, 250)]
    server = Site(site)
    browser = Browser()
    try:
        browser.call("Performance.enable", session=browser.session)
        browser.open(server.url + "index.html")
        print("| table | native s | page s | page / native | output MB | peak MiB: wasm | worker JS | page JS | sum |")
        print("|---|---|---|---|---|---|---|---|---|")
        runs = [(title, path, records, filler, "csv", "none", []) for title, path, records, filler in tables]
        runs[1:1] = [(tables[0][0] + ", " + name, tables[0][1], tables[0][2], 0, output, "437", args)
                     for name, output, args in TYPED]
        for title, path, records, filler, output, encoding, args in runs:
            if not os.path.exists(path):
                write_table(path, records, filler)
            native = native_seconds(program, path, args)
            seconds, size, peak = page_run(browser, path, output, encoding)
            print("| %s (%.0f MB) | %.2f | %.2f | %.1f | %.0f | %.1f | %.1f | %.1f | %.1f |" % (
                title, os.path.getsize(path) / 1e6, native, seconds, seconds / native, size / 1e6,
                peak["WebAssembly memory"], peak["worker JS heap"], peak["page JS heap"], peak["sum"]), flush=True)
    finally:
        browser.close()
        server.close()


if __name__ == "__main__":
    main()
