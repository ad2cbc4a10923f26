#!/usr/bin/env python3
"""Writes the tables of the code page guesser (code_page_guess_tables.hpp
declares them): for each candidate single-byte code page, what its bytes
128-255 read as; for each language, how often each pair of its letters
stands side by side in its words.

The letter pairs are counted in the spelling dictionaries of Debian's
hunspell-* and myspell-* packages (/usr/share/hunspell), the code pages come
from this machine's iconv through web/make_code_pages.py. The output is
committed: the program is built without these packages.

    apt-get install hunspell-de-de hunspell-fr ...   (the LANGUAGES below)
    make_guess_tables.py platform/rt/code_page_guess_tables.cpp
"""
import math
import os
import sys
import unicodedata
from collections import Counter

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "web"))
from make_code_pages import page  # noqa: E402

HUNSPELL = "/usr/share/hunspell"

# The single-byte candidates by the names codePageName() gives them, in the
# order that breaks a tie: the pages DBF tables use most come first. A page
# this iconv does not know is left out.
PAGES = ["CP437", "CP850", "CP1252", "iso-8859-1", "iso-8859-15", "CP858", "CP860", "CP861", "CP863",
         "CP865", "macintosh",
         "CP852", "CP1250", "iso-8859-2", "mac-centraleurope", "CP620", "CP895",
         "CP866", "CP1251", "koi8-r", "koi8-u", "CP855", "iso-8859-5", "mac-cyrillic",
         "CP737", "CP1253", "CP869", "iso-8859-7",
         "CP857", "CP1254", "iso-8859-9",
         "CP775", "CP1257", "iso-8859-13", "iso-8859-4",
         "CP862", "CP1255", "iso-8859-8",
         "CP720", "CP1256", "iso-8859-6", "CP864",
         "CP874", "CP1258"]

# Language: dictionary file in HUNSPELL.
LANGUAGES = {
    "German": "de_DE", "French": "fr_FR", "Spanish": "es_ES", "Italian": "it_IT",
    "Portuguese": "pt_PT", "Dutch": "nl_NL", "Swedish": "sv_SE", "Danish": "da_DK",
    "Norwegian": "nb_NO", "Catalan": "ca", "Icelandic": "is_IS",
    "Polish": "pl_PL", "Czech": "cs_CZ", "Slovak": "sk_SK", "Hungarian": "hu_HU",
    "Croatian": "hr_HR", "Slovenian": "sl_SI", "Romanian": "ro_RO",
    "Russian": "ru_RU", "Ukrainian": "uk_UA", "Bulgarian": "bg_BG",
    "Greek": "el_GR", "Turkish": "tr_TR",
    "Lithuanian": "lt_LT", "Latvian": "lv_LV", "Estonian": "et_EE",
    "Hebrew": "he_IL", "Arabic": "ar", "Thai": "th_TH", "Vietnamese": "vi_VN",
}

# What a byte reads as (code_page_guess_tables.hpp: ByteKind).
LOWER, UPPER, CASELESS, SIGN, STRANGE, SHAPED, INNER = range(7)
# Signs that stand inside words: apostrophes (the acute accent is typed for
# one) and Catalan's middle dot (l·l).
INNER_SIGNS = {"\u2019", "\u2018", "\u00B4", "\u00B7"}
QUARTER_BITS = 4  # costs are stored in quarters of a bit
MIN_SHARE = 2e-5  # a letter rarer than this in a language is foreign to it
WRITES = 0.95     # a page writes a language that has this share of its letters beyond ASCII


# Romanian's letters with a comma below, as the code pages that lack them
# write them.
COMMA_BELOW = {"\u0218": "\u015E", "\u0219": "\u015F", "\u021A": "\u0162", "\u021B": "\u0163"}


def fold(c):
    """The letter a character counts as: lower case, presentation forms and
    compatibility letters as their plain letter."""
    c = COMMA_BELOW.get(c, c)
    n = unicodedata.normalize("NFKC", c)
    if len(n) == 1:
        c = n
    low = c.lower()
    return low if len(low) == 1 else c


def is_letter(c):
    return unicodedata.category(c)[0] in "LM"


def kind(c):
    if c == "\ufffd" or 0x2500 <= ord(c) <= 0x25FF:  # undefined, box drawing, blocks, shapes
        return STRANGE
    cat = unicodedata.category(c)
    if cat[0] in "LM":
        if 0xFB50 <= ord(c) <= 0xFEFF:
            return SHAPED
        if c.isupper() or cat == "Lt":
            return UPPER
        return LOWER if c.islower() else CASELESS
    if cat[0] == "C":
        return STRANGE
    return INNER if c in INNER_SIGNS else SIGN


def words(language, path, cp1258):
    aff = open(path + ".aff", "rb").read().decode("latin-1")
    encoding = "utf-8"
    for line in aff.splitlines():
        if line.startswith("SET"):
            encoding = line.split()[1].lower().replace("iso8859", "iso-8859").replace("microsoft-", "")
    lines = open(path + ".dic", "rb").read().decode(encoding, "replace").splitlines()[1:]
    for line in lines:
        w = line.split("/")[0].split("\t")[0].split(" ")[0].strip()
        if not w or w.startswith("#"):
            continue
        # Ligatures such as Dutch "ĳ" as their letters; Vietnamese as its code
        # page writes it.
        yield vietnamese(w, cp1258) if language == "Vietnamese" else unicodedata.normalize("NFKC", w)


def vietnamese(w, cp1258):
    """Vietnamese as code page 1258 writes it: letters with their vowel marks
    as one character where the page has it, tone marks apart."""
    out, base = [], -1
    for c in unicodedata.normalize("NFD", w):
        if base >= 0 and unicodedata.combining(c):
            joined = unicodedata.normalize("NFC", out[base] + c)
            if len(joined) == 1 and (joined in cp1258 or joined < "\x80"):
                out[base] = joined
                continue
        elif not unicodedata.combining(c):
            base = len(out)
        out.append(c)
    return "".join(out)


def model(language, path, cp1258):
    pairs, letters = Counter(), Counter()
    for w in words(language, path, cp1258):
        s = [fold(c) for c in w if is_letter(c)]
        if not s:
            continue
        letters.update(s)
        seq = [None] + s + [None]
        pairs.update(zip(seq, seq[1:]))
    total = sum(letters.values())
    alphabet = sorted(c for c, n in letters.items() if n >= total * MIN_SHARE)
    index = {c: i + 1 for i, c in enumerate(alphabet)}
    index[None] = 0
    size = len(alphabet) + 1
    n = sum(v for (a, b), v in pairs.items() if a in index and b in index)
    unseen = round(QUARTER_BITS * math.log2(n / 0.3))
    costs = [unseen] * (size * size)
    for (a, b), v in pairs.items():
        if a in index and b in index:
            costs[index[a] * size + index[b]] = min(unseen, round(QUARTER_BITS * math.log2(n / v)))
    costs[0] = 0
    return alphabet, costs, unseen, letters


def numbers(values, per_line=16, fmt="%d"):
    return ",\n".join("    " + ",".join(fmt % v for v in values[i:i + per_line])
                      for i in range(0, len(values), per_line))


def main():
    out = ["// Made by scripts/make_guess_tables.py from iconv and Debian's spelling",
           "// dictionaries; not to be edited.",
           '#include "platform/rt/code_page_guess_tables.hpp"', "", "namespace rt::guess_tables {", ""]
    pages = []
    cp1258 = None
    for name in PAGES:
        p = page(name)
        if p is None or p[0] != "single":
            continue
        chars = [chr(c) for c in p[1][128:]]
        if name == "CP1258":
            cp1258 = set(chars)
        pages.append((name, chars))
    out.append("const GuessPage kGuessPages[] = {")
    for name, chars in pages:
        entries = ["{0x%X, %d}" % (ord(fold(c)) if is_letter(c) else ord(c), kind(c)) for c in chars]
        out.append('  {"%s", {\n%s}},' % (name, numbers(entries, 8, "%s")))
    out.append("};")
    if len(pages) > 64:
        raise SystemExit("more than 64 pages: LanguageModel.pages holds one bit for each")
    out.append("const std::size_t kGuessPageCount = %d;" % len(pages))
    out.append("")
    models = []
    for language, dic in LANGUAGES.items():
        path = os.path.join(HUNSPELL, dic)
        if not os.path.exists(path + ".dic"):
            raise SystemExit("%s.dic missing: apt-get install the hunspell package of %s" % (path, language))
        alphabet, costs, unseen, letters = model(language, path, cp1258 or set())
        beyond = {c: n for c, n in letters.items() if c >= "\x80"}
        total = sum(beyond.values())
        mask = 0
        for i, (_, chars) in enumerate(pages):
            held = {fold(c) for c in chars if is_letter(c)}
            if sum(n for c, n in beyond.items() if c in held) >= WRITES * total:
                mask |= 1 << i
        key = language.lower()
        out.append("static const char32_t kAlphabet_%s[] = {\n%s};" %
                   (key, numbers([ord(c) for c in alphabet], 12, "0x%X")))
        out.append("static const std::uint8_t kCosts_%s[] = {\n%s};" % (key, numbers(costs, 32, "%d")))
        models.append((language, key, len(alphabet), unseen, mask))
    out.append("")
    out.append("const LanguageModel kLanguages[] = {")
    for language, key, size, unseen, mask in models:
        out.append('  {"%s", kAlphabet_%s, %d, kCosts_%s, %d, 0x%XULL},' % (language, key, size, key, unseen, mask))
    out.append("};")
    out.append("const std::size_t kLanguageCount = %d;" % len(models))
    out.append("")
    out.append("}  // namespace rt::guess_tables")
    with open(sys.argv[1], "w") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
