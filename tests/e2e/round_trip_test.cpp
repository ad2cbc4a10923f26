// Round trip: random tables of every family written by the test writer,
// converted by the built program with --rfc4180, parsed back as any CSV
// reader would, and compared with the values that were written. It holds
// the rules the single examples elsewhere show one at a time: trailing
// blanks go and leading ones stay, quotes are doubled, line breaks and
// every other byte are kept, deleted records are left out, numbers and
// dates are written as stored, whatever the delimiter.
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/dbf_writer.hpp"
#include "tests/support/program_run.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

using test_support::MemoLayout;
using Row = std::vector<std::string>;

struct Family {
  const char* name;
  std::uint8_t version;
  MemoLayout memo;
  int memoLength;  // the memo field's length: 10 digits, or 4 bytes in Visual FoxPro
};

const Family kFamilies[] = {
    {"dBase III", 0x03, MemoLayout::None, 0},  {"dBase III + DBT", 0x83, MemoLayout::DbtIII, 10},
    {"dBase IV + DBT", 0x8B, MemoLayout::DbtIV, 10}, {"FoxPro 2 + FPT", 0xF5, MemoLayout::Fpt, 10},
    {"Visual FoxPro", 0x30, MemoLayout::Fpt, 4},
};

std::string rtrimBlanks(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// One random table: its shape, the rows written (deleted ones included,
// with their flag) and the rows the CSV must hold.
struct RandomTable {
  test_support::TableShape shape;
  std::vector<std::pair<Row, bool>> written;
  std::vector<Row> expected;
};

class Generator {
 public:
  explicit Generator(unsigned seed) : rng_(seed) {}

  int between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

  // Any byte but NUL, with the bytes that need care (quotes, CR, LF, the
  // soft line break, blanks) more often than chance; never `avoid`.
  std::string text(int maxLength, int avoid = -1) {
    static const char kTricky[] = {'"', '\r', '\n', '\x8D', ' ', ',', ';', '\t', '|'};
    std::string s(static_cast<std::size_t>(between(0, maxLength)), ' ');
    for (char& c : s) {
      do {
        c = between(0, 3) == 0 ? kTricky[between(0, sizeof kTricky - 1)]
                               : static_cast<char>(between(1, 255));
      } while (static_cast<unsigned char>(c) == avoid);
    }
    return s;
  }

  RandomTable table(const Family& family) {
    RandomTable t;
    t.shape.version = family.version;
    t.shape.memo = family.memo;
    const int fields = between(1, 8);
    for (int i = 0; i < fields; ++i) {
      const std::string name = "F" + std::to_string(i) + std::string(between(0, 5), 'X');
      switch (between(0, family.memo == MemoLayout::None ? 3 : 4)) {
        case 0: t.shape.fields.push_back({name, 'C', between(1, 40)}); break;
        case 1: {
          const int width = between(1, 18);
          t.shape.fields.push_back({name, 'N', width, width >= 3 ? between(0, std::min(width - 2, 8)) : 0});
          break;
        }
        case 2: t.shape.fields.push_back({name, 'D', 8}); break;
        case 3: t.shape.fields.push_back({name, 'L', 1}); break;
        default: t.shape.fields.push_back({name, 'M', family.memoLength}); break;
      }
    }
    return t;
  }

  // A value for `f` as the writer takes it and as the CSV must show it;
  // `memo` stores a memo's text.
  template <typename StoreMemo>
  std::pair<std::string, std::string> value(const test_support::FieldSpec& f, StoreMemo memo,
                                            MemoLayout layout) {
    switch (f.type) {
      case 'C': {
        const std::string s = text(f.length);
        return {s, rtrimBlanks(s)};
      }
      case 'N': {
        // Digits that fit the width with their sign and decimal point.
        const int room = f.length - (f.decimals ? f.decimals + 1 : 0) - 1;
        std::string digits = std::to_string(between(0, 9));
        for (int i = 1; i < std::max(room, 1) && between(0, 2); ++i) digits += char('0' + between(0, 9));
        while (digits.size() > 1 && digits[0] == '0') digits.erase(0, 1);
        std::string n = digits;
        if (f.decimals) {
          n += '.';
          for (int i = 0; i < f.decimals; ++i) n += char('0' + between(0, 9));
        }
        if (room >= 1 && between(0, 1) && n.find_first_not_of("0.") != std::string::npos) n = "-" + n;
        if (static_cast<int>(n.size()) > f.length) n = "0";
        return {n, n};
      }
      case 'D': {
        if (between(0, 4) == 0) return {"", ""};
        char ymd[16];
        std::snprintf(ymd, sizeof ymd, "%04d%02d%02d", between(1900, 2099), between(1, 12), between(1, 28));
        return {ymd, ymd};
      }
      case 'L': {
        const std::string l(1, "TtF"[between(0, 2)]);
        return {l, l == "F" ? "F" : "T"};
      }
      default: {
        // A dBase III memo ends at its first 0x1A.
        const std::string s = text(300, layout == MemoLayout::DbtIII ? 0x1A : -1);
        return {s.empty() ? std::string() : memo(s), rtrimBlanks(s)};
      }
    }
  }

 private:
  std::mt19937 rng_;
};

// RFC 4180 with `delimiter`: fields in quotes when they need them, a quote
// doubled inside, line breaks kept; every line ends with CR LF.
std::vector<Row> parseCsv(const std::string& csv, char delimiter) {
  std::vector<Row> rows;
  Row row;
  std::string field;
  std::size_t i = 0;
  while (i < csv.size()) {
    if (csv[i] == '"') {
      for (++i; i < csv.size(); ++i) {
        if (csv[i] != '"') {
          field += csv[i];
        } else if (i + 1 < csv.size() && csv[i + 1] == '"') {
          field += '"';
          ++i;
        } else {
          ++i;
          break;
        }
      }
    }
    while (i < csv.size() && csv[i] != delimiter && csv[i] != '\r') field += csv[i++];
    row.push_back(field);
    field.clear();
    if (i < csv.size() && csv[i] == delimiter) {
      ++i;
    } else {
      i += 2;  // CR LF
      rows.push_back(row);
      row.clear();
    }
  }
  return rows;
}

TEST(RoundTrip, RandomTablesOfEveryFamilyReadBackAsWritten) {
  rt_test::TempDir dir;
  const char kDelimiters[] = {',', ';', '\t', '|'};
  std::vector<test_support::ProgramJob> jobs;
  std::vector<RandomTable> tables;
  std::vector<char> delimiters;
  for (unsigned seed = 1; seed <= 30; ++seed) {
    Generator g(seed);
    const Family& family = kFamilies[seed % std::size(kFamilies)];
    RandomTable t = g.table(family);
    const std::string name = "T" + std::to_string(seed) + ".DBF";
    test_support::DbfWriter w(dir / name, t.shape);
    Row names;
    for (const auto& f : t.shape.fields) names.push_back(f.name);
    t.expected.push_back(names);
    for (int r = g.between(0, 40); r > 0; --r) {
      Row stored, shown;
      for (const auto& f : t.shape.fields) {
        auto [bytes, text] = g.value(f, [&](const std::string& m) { return w.memo(m, f.length); }, family.memo);
        stored.push_back(bytes);
        shown.push_back(text);
      }
      const bool deleted = g.between(0, 7) == 0;
      w.append(stored, deleted);
      if (!deleted) t.expected.push_back(shown);
    }
    w.finish();
    const char d = kDelimiters[seed % std::size(kDelimiters)];
    test_support::ProgramJob job;
    job.directory = dir.path();
    job.args = {"--rfc4180", "-d", d == '\t' ? "tab" : std::string(1, d), "-o", "-", name};
    jobs.push_back(job);
    tables.push_back(std::move(t));
    delimiters.push_back(d);
  }
  const auto runs = test_support::runPrograms(jobs, {});
  for (std::size_t i = 0; i < runs.size(); ++i) {
    SCOPED_TRACE(jobs[i].args.back() + " (" + kFamilies[(i + 1) % std::size(kFamilies)].name + ")");
    ASSERT_EQ(runs[i].exitCode, 0) << runs[i].explain(dir.path());
    const auto rows = parseCsv(runs[i].out, delimiters[i]);
    ASSERT_EQ(rows.size(), tables[i].expected.size());
    for (std::size_t r = 0; r < rows.size(); ++r) EXPECT_EQ(rows[r], tables[i].expected[r]) << "line " << r + 1;
  }
}

}  // namespace
