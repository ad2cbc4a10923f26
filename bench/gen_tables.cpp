// gen_tables DIR [DIVISOR]: writes the benchmark's large tables into DIR.
// gen_tables --folder DIR [DIVISOR]: writes the data folder of the batch
// benchmark into DIR instead (see writeFolder).
//
//   BENCH3.DBF    dBase III, 1,000,000 records of character, numeric (with
//                 and without decimals), date and logical fields
//   BENCH3X4.DBF  the same kind of table with 4,000,000 records, for the
//                 memory check
//   MEMODBT.DBF   dBase III + DBT, 200,000 records with a memo field
//   MEMOFPT.DBF   FoxPro 2 + FPT, 200,000 records with a memo field
//
// Every table comes from a fixed seed, so two runs give the same bytes. The
// values vary in length, include blanks, empty dates and blank numbers, and
// now and then the bytes the converter substitutes (double quote, carriage
// return, line feed, the soft break 141); about 1% of the records are
// marked deleted. DIVISOR divides every record count, for a quick trial.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

#include "tests/support/dbf_writer.hpp"

namespace {

using test_support::DbfWriter;
using test_support::FieldSpec;
using test_support::MemoLayout;
using test_support::TableShape;

// splitmix64: small, fast and the same on every machine.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // A number in [0, n).
  std::uint64_t below(std::uint64_t n) { return next() % n; }
  // True `perMille` times in a thousand.
  bool chance(int perMille) { return below(1000) < static_cast<std::uint64_t>(perMille); }
  template <std::size_t N>
  std::string_view pick(const std::string_view (&list)[N]) { return list[below(N)]; }

 private:
  std::uint64_t state_;
};

constexpr std::string_view kFirst[] = {
    "Ann", "Bob", "Carla", "Dmitri", "Eva", "Francesca", "Gus", "Hanna", "Ivo", "Jo",
    "Konstantin", "Lea", "Marie-Louise", "Ned", "Olga", "Pia", "Quentin", "Rosa", "Sam",
    "Theodora", "Ute", "Vik", "Wanda", "Xaver", "Yun", "Zoe", "J\xE9r\xF4me", "Bj\xF6rn"};
constexpr std::string_view kLast[] = {
    "Smith", "Lee", "O'Neill", "Van der Berg", "Kowalski", "Ng", "Rossi", "Dubois",
    "Fitzgerald-Montgomery", "Kim", "M\xFCller", "Garc\xED" "a", "Ivanova", "Hansen", "Li",
    "Okonkwo", "Papadopoulos", "Sato", "Brown", "Al-Masri"};
constexpr std::string_view kCity[] = {
    "Oslo", "Rome", "Bergen op Zoom", "Ljubljana", "Li\xE8ge", "Porto", "Saint-Malo",
    "Wien", "Z\xFCrich", "Thessaloniki", "Ely", "Newcastle upon Tyne", "Aix", "Cluj",
    "Reykjav\xEDk", "Bath"};
constexpr std::string_view kWord[] = {
    "the", "order", "ships", "on", "Monday", "call", "first,", "please", "invoice",
    "paid", "in", "full", "backorder", "2 boxes", "fragile", "\"rush\"", "ok", "see",
    "note", "below", "contact:", "warehouse", "12.5%", "discount", "returned", "n/a"};

// Appends `text` cut or padded with blanks to `width` bytes, to the left
// (character fields) or to the right (numbers).
void putLeft(std::string& rec, std::string_view text, std::size_t width) {
  text = text.substr(0, width);
  rec.append(text);
  rec.append(width - text.size(), ' ');
}

void putRight(std::string& rec, std::string_view text, std::size_t width) {
  text = text.substr(text.size() > width ? text.size() - width : 0);
  rec.append(width - text.size(), ' ');
  rec.append(text);
}

// A whole number scaled by 10^decimals, written with that many decimals.
std::string fixedText(std::int64_t scaled, int decimals) {
  std::uint64_t unit = 1;
  for (int i = 0; i < decimals; ++i) unit *= 10;
  const std::uint64_t magnitude =
      scaled < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(scaled) : static_cast<std::uint64_t>(scaled);
  const auto whole = static_cast<unsigned long long>(magnitude / unit);
  const auto part = static_cast<unsigned long long>(magnitude % unit);
  char buf[48];
  if (decimals > 0) {
    std::snprintf(buf, sizeof buf, "%s%llu.%0*llu", scaled < 0 ? "-" : "", whole, decimals, part);
  } else {
    std::snprintf(buf, sizeof buf, "%s%llu", scaled < 0 ? "-" : "", whole);
  }
  return buf;
}

// Words up to about `length` bytes, with now and then one of the bytes the
// converter must substitute.
std::string words(Rng& rng, std::size_t length) {
  std::string s;
  while (s.size() < length) {
    if (!s.empty()) s += ' ';
    s += rng.pick(kWord);
  }
  s.resize(length);
  if (rng.chance(5) && length > 4) s[rng.below(length)] = '"';
  if (rng.chance(2) && length > 6) s.replace(rng.below(length - 2), 2, "\r\n");
  if (rng.chance(1) && length > 6) s.replace(rng.below(length - 2), 2, "\x8D\n");
  return s;
}

std::string personName(Rng& rng) {
  if (rng.chance(30)) return "";
  std::string s(rng.pick(kFirst));
  if (rng.chance(10)) s += " \"" + std::string(rng.pick(kFirst)) + "\"";
  return s + " " + std::string(rng.pick(kLast));
}

std::string dateText(Rng& rng) {
  if (rng.chance(50)) return "";
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const int year = 1950 + static_cast<int>(rng.below(81));
  const int month = 1 + static_cast<int>(rng.below(12));
  const int day = 1 + static_cast<int>(rng.below(static_cast<std::uint64_t>(kDays[month - 1])));
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d", year, month, day);
  return buf;
}

// A number of up to `digits` whole digits, negative now and then, blank
// (stored as blanks) 2% of the time.
std::string numberText(Rng& rng, int digits, int decimals) {
  if (rng.chance(20)) return "";
  std::uint64_t limit = 1;
  for (int i = 0; i < digits + decimals; ++i) limit *= 10;
  // Small numbers are common, long ones rarer: pick a magnitude first.
  const std::uint64_t scale = limit / (std::uint64_t{1} << rng.below(16));
  auto scaled = static_cast<std::int64_t>(rng.below(scale > 0 ? scale : 1));
  if (rng.chance(50)) scaled = -scaled / 10;
  return fixedText(scaled, decimals);
}

char logicalByte(Rng& rng) {
  static constexpr char kLogical[] = {'T', 'F', 'T', 'F', 'T', 'F', 'Y', 'N', '?', ' '};
  return kLogical[rng.below(sizeof kLogical)];
}

TableShape plainSpec() {
  TableShape shape;
  shape.version = 0x03;
  shape.fields = {{"ID", 'N', 8, 0},   {"NAME", 'C', 30, 0},  {"CITY", 'C', 20, 0},
                 {"NOTE", 'C', 40, 0}, {"QTY", 'N', 6, 0},    {"PRICE", 'N', 12, 2},
                 {"RATE", 'N', 8, 4},  {"DUE", 'D', 8, 0},    {"PAID", 'L', 1, 0},
                 {"CODE", 'C', 8, 0}};
  return shape;
}

void plainRecord(Rng& rng, std::uint32_t n, std::string& rec) {
  rec.clear();
  putRight(rec, std::to_string(n), 8);
  putLeft(rec, personName(rng), 30);
  std::string city = rng.chance(50) ? "" : std::string(rng.pick(kCity));
  if (rng.chance(5)) city.insert(0, "  ");
  putLeft(rec, city, 20);
  putLeft(rec, rng.chance(600) ? "" : words(rng, 1 + rng.below(40)), 40);
  putRight(rec, numberText(rng, 5, 0), 6);
  putRight(rec, numberText(rng, 8, 2), 12);
  putRight(rec, numberText(rng, 3, 4), 8);
  putLeft(rec, dateText(rng), 8);
  rec += logicalByte(rng);
  std::string code;
  for (std::uint64_t i = 0, k = 1 + rng.below(8); i < k; ++i) {
    code += "ABCDEFGHJKLMNPQRSTUVWXYZ0123456789"[rng.below(34)];
  }
  putLeft(rec, code, 8);
}

void writePlain(const std::string& path, std::uint32_t records, std::uint64_t seed) {
  Rng rng(seed);
  DbfWriter writer(path, plainSpec());
  std::string rec;
  for (std::uint32_t n = 1; n <= records; ++n) {
    plainRecord(rng, n, rec);
    writer.appendRaw(rec, rng.chance(10));
  }
  writer.finish();
}

// Memo text from empty to 2 KB, mostly short: lines of words ended by
// carriage return and line feed, with double quotes among the words.
std::string memoText(Rng& rng) {
  const std::uint64_t r = rng.below(1000);
  const std::size_t length = static_cast<std::size_t>(r * r * 2048 / 1000000);
  std::string s;
  while (s.size() < length) {
    std::string line = words(rng, 20 + rng.below(60));
    s += line + "\r\n";
  }
  s.resize(length);
  return s;
}

void writeMemo(const std::string& path, std::uint8_t version, MemoLayout layout,
               std::uint32_t records, std::uint64_t seed) {
  TableShape shape;
  shape.version = version;
  shape.memo = layout;
  shape.fields = {{"ID", 'N', 8, 0}, {"NAME", 'C', 30, 0}, {"AMOUNT", 'N', 10, 2},
                 {"DAY", 'D', 8, 0}, {"OK", 'L', 1, 0},    {"NOTES", 'M', 10, 0}};
  Rng rng(seed);
  DbfWriter writer(path, shape);
  std::string rec;
  for (std::uint32_t n = 1; n <= records; ++n) {
    rec.clear();
    putRight(rec, std::to_string(n), 8);
    putLeft(rec, personName(rng), 30);
    putRight(rec, numberText(rng, 7, 2), 10);
    putLeft(rec, dateText(rng), 8);
    rec += logicalByte(rng);
    const std::string text = rng.chance(250) ? "" : memoText(rng);
    putLeft(rec, text.empty() ? "" : writer.memo(text, 10), 10);
    writer.appendRaw(rec, rng.chance(10));
  }
  writer.finish();
}

unsigned long divisor = 1;

// A record count divided for a quick trial (at least one record).
std::uint32_t count(std::uint32_t n) {
  return std::max<std::uint32_t>(1, static_cast<std::uint32_t>(n / (divisor > 0 ? divisor : 1)));
}

// The data folder of an application, 200 tables T000.DBF to T199.DBF of
// the four families taking turns (dBase III, dBase III + DBT, dBase IV +
// DBT, FoxPro 2 + FPT): four of 200,000 records, one of each family,
// sixteen of 5,000 to 30,000, and the rest of 1 to 2,000, as such folders
// mostly hold.
void writeFolder(const std::string& dir) {
  Rng rng(5);
  for (int i = 0; i < 200; ++i) {
    const std::uint32_t records = i < 4    ? 200000
                                  : i < 20 ? 5000 + static_cast<std::uint32_t>(rng.below(25001))
                                           : 1 + static_cast<std::uint32_t>(rng.below(2000));
    char name[16];
    std::snprintf(name, sizeof name, "T%03d.DBF", i);
    const std::uint64_t seed = 100 + static_cast<std::uint64_t>(i);
    switch (i % 4) {
      case 0: writePlain(dir + name, count(records), seed); break;
      case 1: writeMemo(dir + name, 0x83, MemoLayout::DbtIII, count(records), seed); break;
      case 2: writeMemo(dir + name, 0x8B, MemoLayout::DbtIV, count(records), seed); break;
      default: writeMemo(dir + name, 0xF5, MemoLayout::Fpt, count(records), seed); break;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const bool folder = argc > 1 && std::string_view(argv[1]) == "--folder";
  const int first = folder ? 2 : 1;
  if (argc < first + 1 || argc > first + 2) {
    std::fprintf(stderr, "usage: gen_tables [--folder] DIR [DIVISOR]\n");
    return 2;
  }
  const std::string dir = std::string(argv[first]) + "/";
  if (argc == first + 2) divisor = std::stoul(argv[first + 1]);
  try {
    if (folder) {
      writeFolder(dir);
      return 0;
    }
    writePlain(dir + "BENCH3.DBF", count(1000000), 1);
    writeMemo(dir + "MEMODBT.DBF", 0x83, MemoLayout::DbtIII, count(200000), 2);
    writeMemo(dir + "MEMOFPT.DBF", 0xF5, MemoLayout::Fpt, count(200000), 3);
    writePlain(dir + "BENCH3X4.DBF", count(4000000), 4);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "gen_tables: %s\n", e.what());
    return 1;
  }
  return 0;
}
