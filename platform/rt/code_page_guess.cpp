#include "platform/rt/code_page_guess.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

#include "platform/rt/code_page.hpp"
#include "platform/rt/code_page_guess_tables.hpp"

namespace rt {
namespace {

using guess_tables::ByteKind;
using guess_tables::GuessPage;
using guess_tables::LanguageModel;

using Cost = std::uint64_t;  // quarters of a bit

// What a letter pair nobody wrote costs, whatever the size of the
// dictionary behind a language: a small dictionary must not make every
// wrong reading cheap.
constexpr Cost kUnseen = 4 * 24;
// A pair counted at least three times in a language's words reads as that
// language; the threshold is that many quarter-bits below `unseen`.
constexpr Cost kKnownMargin = 13;
// A sign where the text could hold a letter, and a character no text holds.
constexpr Cost kSignCost = 4 * 6;
// A sign with a letter beside it, on each side: inside a word it is most
// likely a letter of another page.
constexpr Cost kSignBesideLetter = 4 * 14;
constexpr Cost kStrangeCost = 4 * 24;
// A letter in a joined form: text keeps letters plain and leaves joining
// to the display, a page of such forms reads as its plain letters.
constexpr Cost kShapedCost = 4 * 4;
// A capital right after a small letter, as a page of the wrong case order
// reads a word.
constexpr Cost kCaseCost = 4 * 8;
// A pair that is not among a language's known ones: of two readings near in
// cost, the one that reads more of the text as words comes first, so that
// the ranking and how sure it is agree.
constexpr Cost kUnread = 4 * 2;

bool isAsciiLetter(unsigned char b) { return (b | 0x20) >= 'a' && (b | 0x20) <= 'z'; }

// The text as pairs of neighbouring bytes of which at least one is above
// 127: ASCII bytes other than letters all stand as a space, so that the
// pairs count only what a code page can change.
struct PairCounts {
  std::vector<std::pair<std::uint16_t, std::uint32_t>> pairs;  // (first << 8 | second, count)
  std::array<std::uint32_t, 128> high{};                        // occurrences of bytes 128-255
  std::array<std::uint32_t, 128> halfInside{};  // of those, with a letter on one side only
  std::uint64_t total = 0;                                      // pairs counted
};

PairCounts countPairs(std::string_view text) {
  std::vector<std::uint32_t> counts(65536, 0);
  PairCounts result;
  unsigned prev = ' ';
  auto note = [&](unsigned b) {
    if (!isAsciiLetter(static_cast<unsigned char>(b)) && b < 0x80) b = ' ';
    if (b >= 0x80 || prev >= 0x80) ++counts[prev << 8 | b];
    prev = b;
  };
  const auto wordish = [&](std::size_t i) {
    const auto b = i < text.size() ? static_cast<unsigned char>(text[i]) : ' ';
    return b >= 0x80 || isAsciiLetter(b);
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b >= 0x80) {
      ++result.high[b - 0x80];
      if ((i > 0 && wordish(i - 1)) != wordish(i + 1)) ++result.halfInside[b - 0x80];
    }
    note(b);
  }
  note(' ');
  for (std::size_t key = 0; key < counts.size(); ++key) {
    if (counts[key] == 0) continue;
    result.pairs.emplace_back(static_cast<std::uint16_t>(key), counts[key]);
    result.total += counts[key];
  }
  return result;
}

// How a byte reads under one page, for the pairs: its place in a
// language's table (0 a word's edge, -1 a letter the language lacks) and
// whether it is a capital.
struct Reading {
  std::array<int, 256> index;
  std::array<bool, 256> upper;
  std::array<bool, 256> letter;
  std::array<bool, 256> sign;  // a byte above 127 that reads as no letter and ends a word
};

int alphabetIndex(const LanguageModel& lang, char32_t letter) {
  const char32_t* end = lang.alphabet + lang.size;
  const char32_t* at = std::lower_bound(lang.alphabet, end, letter);
  return at != end && *at == letter ? static_cast<int>(at - lang.alphabet) + 1 : -1;
}

void readAs(const GuessPage& page, const LanguageModel& lang, Reading& r) {
  for (unsigned b = 0; b < 256; ++b) {
    char32_t letter = 0;
    bool upper = false;
    if (b < 0x80) {
      if (isAsciiLetter(static_cast<unsigned char>(b))) letter = b | 0x20;
      upper = b >= 'A' && b <= 'Z';
    } else {
      const guess_tables::PageByte& pb = page.high[b - 0x80];
      if (pb.kind <= ByteKind::Caseless || pb.kind == ByteKind::Shaped) letter = pb.letter;
      upper = pb.kind == ByteKind::Upper;
    }
    r.letter[b] = letter != 0;
    // An apostrophe between letters is no sign of a wrong page: it ends the
    // word as ASCII's own does, at no extra cost.
    const bool inner = b >= 0x80 && page.high[b - 0x80].kind == ByteKind::Inner;
    r.sign[b] = b >= 0x80 && letter == 0 && !inner;
    r.upper[b] = upper;
    r.index[b] = letter ? alphabetIndex(lang, letter) : 0;
  }
}

struct PageResult {
  Cost cost = 0;
  double sure = 0;
};

// The cost of reading the pairs as `lang` under `page`, and the share of
// them that read as the language.
PageResult readLanguage(const PairCounts& pc, const GuessPage& page, const LanguageModel& lang,
                        Reading& r) {
  readAs(page, lang, r);
  const auto size = static_cast<std::size_t>(lang.size) + 1;
  const Cost known = lang.unseen > kKnownMargin ? lang.unseen - kKnownMargin : 0;
  Cost cost = 0;
  std::uint64_t knownPairs = 0;
  for (const auto& [key, count] : pc.pairs) {
    const unsigned x = key >> 8, y = key & 0xFF;
    const int ix = r.index[x], iy = r.index[y];
    Cost c = kUnseen;
    if (ix >= 0 && iy >= 0) c = std::min<Cost>(kUnseen, lang.costs[static_cast<std::size_t>(ix) * size + iy]);
    if (ix == 0 && iy == 0) c = 0;
    if (r.letter[x] && r.letter[y] && !r.upper[x] && r.upper[y]) c += kCaseCost;
    if ((r.sign[x] && r.letter[y]) || (r.letter[x] && r.sign[y])) c += kSignBesideLetter;
    const bool reads = c <= known && (ix > 0 || iy > 0);
    if (!reads) c += kUnread;
    cost += c * count;
    if (reads) knownPairs += count;
  }
  return {cost, pc.total ? static_cast<double>(knownPairs) / static_cast<double>(pc.total) : 0};
}

// What the bytes that read as no letter or a joined one cost under `page`,
// and the share of those no text holds.
Cost signCost(const PairCounts& pc, const GuessPage& page, double& strangeShare) {
  Cost cost = 0;
  std::uint64_t strange = 0, all = 0;
  for (unsigned i = 0; i < 128; ++i) {
    all += pc.high[i];
    if (page.high[i].kind == ByteKind::Sign || page.high[i].kind == ByteKind::Inner) cost += kSignCost * pc.high[i];
    // An apostrophe stands between letters; beside one letter alone it is
    // most likely a letter of another page.
    if (page.high[i].kind == ByteKind::Inner) cost += kSignBesideLetter * pc.halfInside[i];
    if (page.high[i].kind == ByteKind::Shaped) cost += kShapedCost * pc.high[i];
    if (page.high[i].kind == ByteKind::Strange) {
      cost += kStrangeCost * pc.high[i];
      strange += pc.high[i];
    }
  }
  strangeShare = all ? static_cast<double>(strange) / static_cast<double>(all) : 0;
  return cost;
}

struct SingleByteResult {
  const GuessPage* page;
  Cost cost;
  double sure;
};

bool sameReading(const GuessPage& a, const GuessPage& b, const PairCounts& pc) {
  for (unsigned i = 0; i < 128; ++i) {
    if (pc.high[i] == 0) continue;
    if (a.high[i].letter != b.high[i].letter || a.high[i].kind != b.high[i].kind) return false;
  }
  return true;
}

std::vector<CodePageScore> rankSingleByte(std::string_view text) {
  const PairCounts pc = countPairs(text);
  auto reading = std::make_unique<Reading>();
  std::vector<SingleByteResult> results;
  for (std::size_t p = 0; p < guess_tables::kGuessPageCount; ++p) {
    const GuessPage& page = guess_tables::kGuessPages[p];
    double strangeShare = 0;
    const Cost base = signCost(pc, page, strangeShare);
    PageResult best{~Cost{0}, 0};
    for (std::size_t l = 0; l < guess_tables::kLanguageCount; ++l) {
      if ((guess_tables::kLanguages[l].pages >> p & 1) == 0) continue;
      const PageResult r = readLanguage(pc, page, guess_tables::kLanguages[l], *reading);
      if (r.cost < best.cost) best = r;
    }
    // A page that writes none of the languages is ranked last.
    const Cost cost = best.cost == ~Cost{0} ? best.cost : base + best.cost;
    results.push_back({&page, cost, best.sure * (1 - strangeShare)});
  }
  std::stable_sort(results.begin(), results.end(),
                   [](const SingleByteResult& a, const SingleByteResult& b) { return a.cost < b.cost; });
  // Of pages that read the text alike, the one DBF tables use most (listed
  // first) is named, where the reading's place comes from the best of them.
  std::vector<CodePageScore> ranking;
  std::vector<const GuessPage*> kept;
  for (const SingleByteResult& r : results) {
    const auto same = std::find_if(kept.begin(), kept.end(),
                                   [&](const GuessPage* k) { return sameReading(*k, *r.page, pc); });
    if (same == kept.end()) {
      kept.push_back(r.page);
      ranking.push_back({r.page->name, r.sure});
    } else if (r.page < *same) {
      *same = r.page;
      ranking[static_cast<std::size_t>(same - kept.begin())].name = r.page->name;
    }
  }
  return ranking;
}

// A double-byte page by the ranges of its bytes: which bytes begin a pair,
// which may follow them, and which pairs are the characters text uses most
// (the level of common characters the page's standard defines, kana,
// punctuation).
struct DoubleBytePage {
  const char* name;
  bool (*lead)(unsigned b);
  bool (*trail)(unsigned b);
  bool (*common)(unsigned lead, unsigned trail);
  bool (*single)(unsigned b);  // a byte above 127 that stands alone
  bool spaced;                 // its language puts spaces between words
};

bool in(unsigned b, unsigned low, unsigned high) { return b >= low && b <= high; }

const DoubleBytePage kDoubleBytePages[] = {
    {"CP932", [](unsigned b) { return in(b, 0x81, 0x9F) || in(b, 0xE0, 0xFC); },
     [](unsigned b) { return in(b, 0x40, 0x7E) || in(b, 0x80, 0xFC); },
     [](unsigned l, unsigned t) {
       return (l == 0x81 && t <= 0x9E) || (l == 0x82 && t >= 0x9F) || (l == 0x83 && t <= 0x96) ||
              (l == 0x88 && t >= 0x9F) || in(l, 0x89, 0x97) || (l == 0x98 && t <= 0x72);
     },
     [](unsigned b) { return in(b, 0xA1, 0xDF); }, false},
    {"CP936", [](unsigned b) { return in(b, 0x81, 0xFE); },
     [](unsigned b) { return in(b, 0x40, 0x7E) || in(b, 0x80, 0xFE); },
     [](unsigned l, unsigned t) { return (in(l, 0xB0, 0xD7) || l == 0xA1 || l == 0xA3) && in(t, 0xA1, 0xFE); },
     [](unsigned) { return false; }, false},
    {"CP949", [](unsigned b) { return in(b, 0x81, 0xFE); },
     [](unsigned b) { return in(b, 0x41, 0x5A) || in(b, 0x61, 0x7A) || in(b, 0x81, 0xFE); },
     [](unsigned l, unsigned t) { return (in(l, 0xB0, 0xC8) || l == 0xA1) && in(t, 0xA1, 0xFE); },
     [](unsigned) { return false; }, true},
    {"CP950", [](unsigned b) { return in(b, 0x81, 0xFE); },
     [](unsigned b) { return in(b, 0x40, 0x7E) || in(b, 0xA1, 0xFE); },
     [](unsigned l, unsigned t) {
       return (in(l, 0xA4, 0xC5) || (l == 0xC6 && t <= 0x7E) || l == 0xA1) && t >= 0x40;
     },
     [](unsigned) { return false; }, false},
};

// The share of characters above 127 that are common ones, a lone byte of
// the page (half-width kana) counting half; four times the invalid
// sequences are taken off, as no real text of the page holds one. Text of
// these pages runs in whole words of two-byte characters: a character with
// plain ASCII letters on both sides is a single-byte page's letter, and
// Chinese and Japanese put no space between words where Korean does.
double doubleByteSure(const DoubleBytePage& page, std::string_view text) {
  double score = 0;
  std::size_t chars = 0, invalid = 0, alone = 0, spaced = 0;
  bool prevWide = false, prevSpace = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      const bool letterBefore = i >= 3 && isAsciiLetter(static_cast<unsigned char>(text[i - 3]));
      if (prevWide && isAsciiLetter(b) && letterBefore) ++alone;
      prevSpace = b == ' ' && prevWide;
      prevWide = false;
      continue;
    }
    ++chars;
    if (prevSpace) ++spaced;
    prevSpace = false;
    prevWide = true;
    if (page.single(b)) {
      score += 0.5;
    } else if (page.lead(b) && i + 1 < text.size() && page.trail(static_cast<unsigned char>(text[i + 1]))) {
      score += page.common(b, static_cast<unsigned char>(text[i + 1])) ? 1.0 : 0.25;
      ++i;
    } else {
      ++invalid;
    }
  }
  if (chars == 0) return 0;
  const double n = static_cast<double>(chars);
  double sure = (score - 4.0 * static_cast<double>(invalid) - 2.0 * static_cast<double>(alone)) / n;
  if (!page.spaced) sure -= 2.0 * static_cast<double>(spaced) / n;
  return std::max(0.0, sure);
}

// UTF-8: the share of sequences that are well formed. A sequence cut off
// at the end of a value counts for nothing: a field too short for its
// text cuts it anywhere.
double utf8Sure(std::string_view text) {
  std::size_t good = 0, bad = 0;
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      ++i;
      continue;
    }
    const std::size_t n = in(b, 0xC2, 0xDF) ? 1 : in(b, 0xE0, 0xEF) ? 2 : in(b, 0xF0, 0xF4) ? 3 : 0;
    std::size_t k = 1;
    while (k <= n && i + k < text.size() && (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80) ++k;
    const bool cut = i + k == text.size() || text[i + k] == '\n';
    if (n > 0 && k == n + 1) {
      ++good;
    } else if (!(n > 0 && cut)) {
      ++bad;
    }
    i += k;
  }
  return good + bad ? static_cast<double>(good) / static_cast<double>(good + bad) : 0;
}

// Signatures of the files that programs keep in text memos: JPEG, PNG,
// GIF, TIFF (both byte orders), ZIP (and the office documents in it), OLE
// compound files (Word, Excel), PDF, RIFF (WAV, AVI). A file whose header
// holds NUL bytes (BMP, most others) needs none.
using std::string_view_literals::operator""sv;
constexpr std::string_view kFileSignatures[] = {
    "\xFF\xD8\xFF"sv, "\x89PNG"sv, "GIF8"sv, "II*\x00"sv, "MM\x00*"sv, "PK\x03\x04"sv,
    "\xD0\xCF\x11\xE0"sv, "%PDF"sv, "RIFF"sv};

}  // namespace

bool looksBinary(std::string_view value) {
  for (const std::string_view sig : kFileSignatures) {
    if (value.starts_with(sig)) return true;
  }
  std::size_t controls = 0;
  for (const char c : value) {
    const auto b = static_cast<unsigned char>(c);
    if (b == 0) return true;
    controls += b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != 0x1A;
  }
  // Text holds a control character now and then (a printer's code, a page
  // break); a file holds one in every few dozen bytes.
  return controls * 64 > value.size();
}

void CodePageSample::add(std::string_view value) {
  if (full()) return;
  // Most values are plain ASCII, and a guess of a table that holds nothing
  // else reads its widest sample: eight bytes at a time tell them apart.
  std::uint64_t any = 0;
  std::size_t at = 0;
  for (; at + 8 <= value.size(); at += 8) {
    std::uint64_t word;
    std::memcpy(&word, value.data() + at, 8);
    any |= word;
  }
  for (; at < value.size(); ++at) any |= static_cast<unsigned char>(value[at]);
  if ((any & 0x8080808080808080ULL) == 0) return;
  std::size_t high = 0;
  for (const char c : value) high += static_cast<unsigned char>(c) >= 0x80;
  if (high == 0) return;
  high_ += high;
  text_.append(value);
  text_ += '\n';
}

std::vector<CodePageScore> guessCodePage(std::string_view text) {
  const bool ascii = std::none_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  if (ascii) return {};
  std::vector<CodePageScore> single = rankSingleByte(text);
  std::vector<CodePageScore> multi;
  for (const DoubleBytePage& page : kDoubleBytePages) multi.push_back({page.name, doubleByteSure(page, text)});
  std::stable_sort(multi.begin(), multi.end(),
                   [](const CodePageScore& a, const CodePageScore& b) { return a.sure > b.sure; });
  // The two lists merged by how sure each is, each keeping its own order:
  // single-byte pages are ranked by their cost, which tells near pages apart
  // better than the share of pairs that read well.
  std::vector<CodePageScore> ranking;
  // Text of a single-byte page is next to never well-formed UTF-8.
  const double utf8 = utf8Sure(text);
  if (utf8 >= 0.9) ranking.push_back({std::string(kUtf8CodePage), utf8});
  std::size_t s = 0, m = 0;
  while (s < single.size() || m < multi.size()) {
    const bool takeSingle = m == multi.size() || (s < single.size() && single[s].sure >= multi[m].sure);
    ranking.push_back(takeSingle ? single[s++] : multi[m++]);
  }
  if (utf8 < 0.9) ranking.push_back({std::string(kUtf8CodePage), utf8});
  // Single-byte pages are ranked by cost: one that costs more is shown no
  // surer than the one before it, whatever share of its pairs a language
  // knows, and so is every page after the choice.
  for (std::size_t i = 1; i < ranking.size(); ++i) ranking[i].sure = std::min(ranking[i].sure, ranking[i - 1].sure);
  return ranking;
}

bool guessUnsettled(const std::vector<CodePageScore>& ranking, std::size_t highBytes) {
  if (ranking.empty() || highBytes < 64) return true;
  const double next = ranking.size() > 1 ? ranking[1].sure : 0;
  return ranking[0].sure < 0.8 || ranking[0].sure - next < 0.1;
}

std::string shownCodePage(const std::string& name) {
  if (name.size() > 2 && name.starts_with("CP")) return name.substr(2);
  return name;
}

}  // namespace rt
