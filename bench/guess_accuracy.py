#!/usr/bin/env python3
"""How often `dbf2csv -e guess` names the right code page, and which pages it
takes for which.

Writes tables that declare no code page from the translations installed on
this machine (the gettext catalogues under /usr/share/locale, a source apart
from the spelling dictionaries the guesser's statistics come from), each in
a code page its language is written in, and converts each twice: with
-e guess and with -e and the right page. A guess is right when the two
outputs are the same bytes. Two kinds of table: a few hundred letters of
text, and many records of which only three hold letters beyond ASCII.

    guess_accuracy.py DBF2CSV [TRIALS] [SEED]

Prints the share right for each kind, the goals (95% and 85%) and the
confusions (language, right page, page guessed, count).
"""
import collections
import gettext
import glob
import os
import random
import re
import struct
import subprocess
import sys
import tempfile

LOCALE = "/usr/share/locale"

# Language catalogue: the code pages its text is written in.
CASES = {
    "de": ["CP850", "CP1252", "CP437", "macintosh"], "fr": ["CP850", "CP1252", "CP863"],
    "es": ["CP850", "CP1252"], "it": ["CP850", "CP1252"], "pt": ["CP850", "CP1252", "CP860"],
    "nl": ["CP850", "CP1252"], "sv": ["CP850", "CP1252", "CP437"], "da": ["CP865", "CP1252"],
    "nb": ["CP865", "CP1252"], "ca": ["CP850", "CP1252"], "is": ["CP861", "CP1252"],
    "pl": ["CP852", "CP1250", "iso-8859-2"], "cs": ["CP852", "CP1250", "iso-8859-2"],
    "sk": ["CP852", "CP1250"], "hu": ["CP852", "CP1250"], "hr": ["CP852", "CP1250"],
    "sl": ["CP852", "CP1250"], "ro": ["CP1250", "iso-8859-2"],
    "ru": ["CP866", "CP1251", "koi8-r", "iso-8859-5", "mac-cyrillic", "CP855", "UTF-8"],
    "uk": ["CP1251", "koi8-u", "CP866"], "bg": ["CP1251", "CP866"],
    "el": ["CP737", "CP1253", "iso-8859-7", "CP869"], "tr": ["CP857", "CP1254", "iso-8859-9"],
    "lt": ["CP775", "CP1257"], "lv": ["CP775", "CP1257"], "et": ["CP775", "CP1257"],
    "he": ["CP862", "CP1255", "iso-8859-8"], "ar": ["CP864", "CP1256", "iso-8859-6"],
    "th": ["CP874"], "vi": ["CP1258"], "ja": ["CP932"], "zh_CN": ["CP936"], "zh_TW": ["CP950"],
    "ko": ["CP949"],
}


def messages(lang, limit=4000):
    out = []
    for mo in sorted(glob.glob(os.path.join(LOCALE, lang, "LC_MESSAGES", "*.mo"))):
        try:
            catalogue = gettext.GNUTranslations(open(mo, "rb"))._catalog
        except Exception:
            continue
        for key, text in catalogue.items():
            if not isinstance(text, str) or key == "":
                continue
            text = re.sub(r"%[-0-9.]*[a-zA-Z]|\{[^}]*\}|<[^>]*>|[\x00-\x1f]", " ", text)
            text = re.sub(r"\s+", " ", text).strip()
            if len(text) >= 8:
                out.append(text)
        if len(out) > limit:
            break
    return out


def encode(text, page):
    """`text` in `page` by iconv, the converter the program uses; None when
    the page cannot hold it."""
    p = subprocess.run(["iconv", "-f", "UTF-8", "-t", page], input=text.encode(), capture_output=True)
    return p.stdout if p.returncode == 0 else None


def write_table(path, values, width):
    """A dBase III table of one character field, byte 29 (code page) 0."""
    records = len(values)
    header_len = 32 + 32 + 1
    record_len = 1 + width
    head = struct.pack("<BBBBIHH20x", 3, 126, 1, 1, records, header_len, record_len)
    field = struct.pack("<11sc4xBB14x", b"TEXT", b"C", width, 0)
    body = b"".join(b" " + v[:width].ljust(width, b" ") for v in values)
    with open(path, "wb") as f:
        f.write(head + field + b"\r" + body + b"\x1a")


def convert(program, table, page, out):
    p = subprocess.run([program, "-e", page, "-o", out, table], capture_output=True,
                       env=dict(os.environ, DBF2CSV_UI="headless"))
    return p.returncode, p.stderr.decode("utf-8", "replace")


def trial(rng, kind, texts, page):
    """The values of one table: None when the page holds too little of the text."""
    if kind == "letters":
        values, letters = [], 0
        while letters < 300:
            v = encode(rng.choice(texts)[:60], page)
            if v is not None:
                values.append(v)
                letters += sum(1 for c in v.decode("latin-1") if c.isalpha())
        return values
    wide = [t for t in texts if any(ord(c) > 127 for c in t[:40])]
    values = [encode(rng.choice(wide)[:40], page) for _ in range(3)]
    if any(v is None for v in values):
        return None
    plain = [b"Record %d: ACME Corp, invoice %05d" % (i, rng.randrange(99999)) for i in range(60)]
    for v in values:
        plain.insert(rng.randrange(len(plain)), v)
    return plain


def main():
    program = os.path.abspath(sys.argv[1])
    trials = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 1)
    work = tempfile.mkdtemp(prefix="guess-bench-")
    table, guessed, named = (os.path.join(work, n) for n in ("T.DBF", "GUESS.CSV", "NAMED.CSV"))
    figures = {}
    confusions = collections.Counter()
    for kind in ("letters", "three"):
        right = total = 0
        for lang, pages in CASES.items():
            texts = messages(lang)
            if not texts:
                continue
            for page in pages:
                for _ in range(trials):
                    values = trial(rng, kind, texts, page)
                    if not values:
                        continue
                    write_table(table, values, 60 if kind == "letters" else 40)
                    _, line = convert(program, table, "guess", guessed)
                    rc, _ = convert(program, table, page, named)
                    if rc != 0:
                        continue
                    total += 1
                    if open(guessed, "rb").read() == open(named, "rb").read():
                        right += 1
                    else:
                        m = re.search(r"code page (\S+)", line)
                        confusions[(lang, page.replace("CP", ""), m.group(1) if m else "?")] += 1
        figures[kind] = (right, total)
    for kind, goal in (("letters", 0.95), ("three", 0.85)):
        right, total = figures[kind]
        print("%-8s %4d of %4d right: %5.1f%% (goal %d%%)" % (kind, right, total, 100.0 * right / max(total, 1),
                                                            round(goal * 100)))
    print("confusions (language, right page, guessed, tables):")
    for (lang, page, guess), n in confusions.most_common():
        print("  %-6s %-18s %-18s %d" % (lang, page, guess, n))


if __name__ == "__main__":
    main()
