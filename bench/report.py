#!/usr/bin/python3
"""Prints the benchmark's figures as Markdown tables and checks the goals.

report.py RESULTS_DIR

RESULTS_DIR holds what bench/run.sh left there:
  tables.txt        one line per table: key|title|records|input bytes
  KEY-*.json        hyperfine exports (--export-json) for that table
  memory.txt        one line per run: key|records|peak kilobytes
  terminal.txt      runs taking turns: backend, wall, user and system seconds
  KEY.notes         remarks on a table (a peer that refused it)
The reference of each table is the command named "dbf2csv" ("dbf2csv
--batch" for the data folder, key "folder"); every ratio is a median divided
by the reference's median. CPU is the mean user and
system time of a run; the terminal's cost is the CPU time it adds.
"""
import glob
import json
import os
import statistics
import sys

REFERENCE = "dbf2csv"
FOLDER_REFERENCE = "dbf2csv --batch"
FOLDER_LOOP = "dbf2csv, shell loop"
MIB = 1024


def load_results(folder, key):
    results = []
    for path in sorted(glob.glob(os.path.join(folder, key + "-*.json"))):
        with open(path) as f:
            results.extend(json.load(f)["results"])
    return {r["command"]: r for r in results}


def table_lines(title, size, results, reference=REFERENCE):
    ref = results.get(reference)
    lines = ["### %s (%.1f MB)" % (title, size / 1e6), "",
             "| program | median s | min s | CPU s | MB/s | time / %s |" % reference,
             "|---|---:|---:|---:|---:|---:|"]
    for name, r in results.items():
        med = r["median"]
        ratio = "%.2f" % (med / ref["median"]) if ref else "-"
        failed = any(code != 0 for code in r.get("exit_codes", []) if code is not None)
        # A program that refuses a table at once can take no measurable time.
        speed = "%.0f" % (size / med / 1e6) if med > 0 else "-"
        lines.append("| %s%s | %.3f | %.3f | %.3f | %s | %s |" % (
            name, " (failed)" if failed else "", med, r["min"], r["user"] + r["system"],
            speed, ratio))
    return lines + [""]


def median_of(results, name):
    r = results.get(name)
    return r["median"] if r else None


def goal(lines, text, value, limit, unit=""):
    if value is None:
        lines.append("| %s | not measured | %s%s | - |" % (text, limit, unit))
        return
    ok = value <= limit
    lines.append("| %s | %.2f%s | %s%s | %s |" % (text, value, unit, limit, unit,
                                                 "met" if ok else "NOT met"))


def ratio(results, a, b):
    ma, mb = median_of(results, a), median_of(results, b)
    return ma / mb if ma and mb else None


def memory_lines(folder):
    path = os.path.join(folder, "memory.txt")
    peaks = {}
    lines = ["### Peak memory of dbf2csv (headless, GNU time)", "",
             "| table | records | peak MiB |", "|---|---:|---:|"]
    if os.path.exists(path):
        with open(path) as f:
            for row in f:
                key, records, kb = row.strip().split("|")
                peaks[key] = int(kb) / MIB
                lines.append("| %s | %s | %.1f |" % (key, format(int(records), ","),
                                                   peaks[key]))
    return lines + [""], peaks


def terminal_lines(folder):
    """The terminal against headless from runs that took turns: medians of
    the wall and CPU times, and the median over the pairs of the CPU time the
    terminal added, in percent (None when not measured)."""
    path = os.path.join(folder, "terminal.txt")
    runs = {"headless": [], "terminal": []}
    if not os.path.exists(path):
        return [], None
    with open(path) as f:
        for row in f:
            parts = row.split()
            if len(parts) == 4 and parts[0] in runs:
                wall, user, system = map(float, parts[1:])
                runs[parts[0]].append((wall, user + system))
    pairs = list(zip(runs["headless"], runs["terminal"]))
    if not pairs:
        return [], None
    lines = ["### Progress on a terminal (1,000,000 records, stderr on a pty)", "",
             "| backend | median s | median CPU s |", "|---|---:|---:|"]
    for name, values in runs.items():
        lines.append("| %s | %.3f | %.3f |" % (name, statistics.median(v[0] for v in values),
                                             statistics.median(v[1] for v in values)))
    cost = statistics.median((t[1] / h[1] - 1) * 100 for h, t in pairs)
    return lines + [""], cost


def paired(folder, key, a, b):
    """The median over the runs that took turns of a's wall time over b's
    (None when not measured)."""
    path = os.path.join(folder, key + "-pairs.txt")
    runs = {}
    if not os.path.exists(path):
        return None
    with open(path) as f:
        for row in f:
            parts = row.split()
            if len(parts) == 2:
                runs.setdefault(parts[0], []).append(float(parts[1]))
    pairs = [x / y for x, y in zip(runs.get(a, []), runs.get(b, [])) if y > 0]
    return statistics.median(pairs) if pairs else None


def main(argv):
    folder = argv[1]
    out, all_results = [], {}
    with open(os.path.join(folder, "tables.txt")) as f:
        for row in f:
            key, title, records, size = row.strip().split("|")
            all_results[key] = load_results(folder, key)
            if all_results[key]:
                title = "%s, %s records" % (title, format(int(records), ","))
                out += table_lines(title, int(size), all_results[key],
                                   FOLDER_REFERENCE if key == "folder" else REFERENCE)
                notes = os.path.join(folder, key + ".notes")
                if os.path.exists(notes):
                    with open(notes) as f:
                        out += ["Note: " + line.strip() for line in f] + [""]
    mem_lines, peaks = memory_lines(folder)
    out += mem_lines

    term_lines, cost = terminal_lines(folder)
    out += term_lines

    big = all_results.get("dbase3", {})
    out += ["### Goals", "", "| goal | measured | limit | |", "|---|---:|---:|---|"]
    goal(out, "1M records: dbf2csv / cp (runs taking turns)", paired(folder, "dbase3", REFERENCE, "cp"), 1.5)
    goal(out, "1M records: dbf2csv / pgdbf (runs taking turns)",
         paired(folder, "dbase3", REFERENCE, "pgdbf"), 0.3)
    goal(out, "1M records: --encoding=1252 / default",
         ratio(big, "dbf2csv --encoding=1252", REFERENCE), 1.3)
    goal(out, "1M records: --rfc4180 / default", ratio(big, "dbf2csv --rfc4180", REFERENCE), 1.1)
    for key, label in (("dbt", "DBT memo"), ("fpt", "FPT memo")):
        res = all_results.get(key, {})
        goal(out, "%s: dbf2csv / cp of table and memo (runs taking turns)" % label,
             paired(folder, key, REFERENCE, "cp"), 1.5)
        goal(out, "%s: dbf2csv / pgdbf (runs taking turns)" % label,
             paired(folder, key, REFERENCE, "pgdbf"), 0.6)
    goal(out, "peak memory, 1M records", peaks.get("dbase3"), 16, " MiB")
    growth = None
    if "dbase3" in peaks and "dbase3-4m" in peaks:
        growth = abs(peaks["dbase3-4m"] - peaks["dbase3"])
    goal(out, "peak memory growth, 1M to 4M records", growth, 1, " MiB")
    goal(out, "terminal progress cost over headless (CPU time)", cost, 3, " %")
    goal(out, "data folder: --batch / shell loop of single runs",
         ratio(all_results.get("folder", {}), FOLDER_REFERENCE, FOLDER_LOOP), 0.6)
    print("\n".join(out))


if __name__ == "__main__":
    main(sys.argv)
