// The differential test over the corpus of real tables: for every table the
// manifest marks checked, dbf2csv writes exactly the bytes the reference
// oracle prints, with and without the field-name line, and with the options
// of the output's format; a choice of fields and records is the oracle's
// output cut the same way; a table whose memo file is missing cannot be
// opened.
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <regex>

#include <gtest/gtest.h>

#include "platform/rt/strings.hpp"
#include "tests/support/program_run.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

namespace fs = std::filesystem;

struct CorpusTable {
  std::string folder;
  std::string name;
  bool checked = false;
  bool memoMissing = false;
};

// Test listings name a table by its path, not by a dump of its bytes.
void PrintTo(const CorpusTable& t, std::ostream* os) { *os << t.folder << '/' << t.name; }

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The tables of MANIFEST.md: "### folder/" headings, then one table row per
// table: | `name` | path | ver | recs | del | types | cp | memo | oracle | notes |
std::vector<CorpusTable> manifestTables() {
  std::ifstream in(fs::path(DBF2CSV_CORPUS_DIR) / "MANIFEST.md");
  const std::regex heading(R"(^### (.+)/\s*$)");
  const std::regex row(R"(^\| `([^`]+)` \|)");
  std::vector<CorpusTable> tables;
  std::string folder, line;
  std::smatch m;
  while (std::getline(in, line)) {
    if (std::regex_match(line, m, heading)) {
      folder = m[1];
    } else if (!folder.empty() && std::regex_search(line, m, row)) {
      std::vector<std::string> cells;
      std::size_t start = 1;
      for (auto bar = line.find('|', start); bar != std::string::npos; bar = line.find('|', start)) {
        cells.push_back(line.substr(start, bar - start));
        start = bar + 1;
      }
      if (cells.size() < 9) continue;
      CorpusTable t{folder, m[1], cells[8].find("NOT") == std::string::npos,
                    line.find("no memo file beside the table") != std::string::npos};
      tables.push_back(t);
    }
  }
  return tables;
}

// A word for the shell, whatever it holds.
std::string quoted(const std::string& s) {
  std::string out = "'";
  for (const char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}
std::string inQuotes(const std::string& s) { return quoted(s); }

// Copies the table and its companions (same base name, any letter case) so
// that the program can write beside it; the corpus itself stays untouched.
void copyTable(const CorpusTable& t, const fs::path& to) {
  const fs::path folder = fs::path(DBF2CSV_CORPUS_DIR) / t.folder;
  const std::string stem = lower(fs::path(t.name).stem().string());
  for (const auto& e : fs::directory_iterator(folder)) {
    if (lower(e.path().stem().string()) == stem) fs::copy_file(e.path(), to / e.path().filename());
  }
}

// The oracle's output for `t` with `options` (the same spelling as
// dbf2csv's); "(the oracle failed)" when it refuses the table.
std::string oracle(const CorpusTable& t, bool names, const std::string& out,
                   const std::vector<std::string>& options = {}) {
  const fs::path table = fs::path(DBF2CSV_CORPUS_DIR) / t.folder / t.name;
  std::string command = "/usr/bin/python3 " + quoted(DBF2CSV_ORACLE) + (names ? " --names" : "");
  for (const std::string& o : options) command += " " + quoted(o);
  command += " -o " + quoted(out) + " " + quoted(table.string()) + " 2>/dev/null";
  if (std::system(command.c_str()) != 0) return "(the oracle failed)";
  return rt_test::readFile(out);
}

// The lines of a default output as their values: every value stands in
// double quotes and none holds one (a quote is substituted), so a line
// splits at each "," exactly.
using Rows = std::vector<std::vector<std::string>>;
Rows rowsOf(const std::string& csv) {
  Rows rows;
  for (std::size_t at = 0, end; (end = csv.find("\r\n", at)) != std::string::npos; at = end + 2) {
    rows.emplace_back();
    const std::string line = csv.substr(at + 1, end - at - 2);
    for (std::size_t v = 0, next = 0; next != std::string::npos; v = next + 3) {
      next = line.find("\",\"", v);
      rows.back().push_back(line.substr(v, next - v));
    }
  }
  return rows;
}

std::string csvOf(const Rows& rows) {
  std::string csv;
  for (const auto& values : rows) {
    for (std::size_t i = 0; i < values.size(); ++i) csv += (i ? ",\"" : "\"") + values[i] + "\"";
    csv += "\r\n";
  }
  return csv;
}

// The deletion mark of each record of a table file, taken off in the file.
std::vector<bool> clearDeletionMarks(const std::string& path) {
  std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
  unsigned char h[12] = {};
  f.read(reinterpret_cast<char*>(h), sizeof h);
  const unsigned count = h[4] | h[5] << 8 | h[6] << 16 | h[7] << 24, start = h[8] | h[9] << 8, length = h[10] | h[11] << 8;
  std::vector<bool> marks;
  for (char mark = ' '; marks.size() < count && f.seekg(start + marks.size() * length).get(mark);) {
    marks.push_back(mark == '*');
    if (mark == '*') f.seekp(start + (marks.size() - 1) * length).put(' ');
  }
  return marks;
}

std::string withSeparators(std::size_t n) {
  std::string count = std::to_string(n);
  for (auto at = count.size(); at > 3; at -= 3) count.insert(at - 3, ",");
  return count;
}

enum class Kind { Checked, MemoMissing, Unchecked };

Kind kindOf(const CorpusTable& t) {
  if (t.checked) return Kind::Checked;
  return t.memoMissing ? Kind::MemoMissing : Kind::Unchecked;
}

std::vector<CorpusTable> tablesOf(Kind kind) {
  std::vector<CorpusTable> tables;
  for (const auto& t : manifestTables()) {
    if (kindOf(t) == kind) tables.push_back(t);
  }
  return tables;
}

class CheckedTable : public testing::TestWithParam<CorpusTable> {};
class MemoMissingTable : public testing::TestWithParam<CorpusTable> {};
class UncheckedTable : public testing::TestWithParam<CorpusTable> {};

TEST_P(CheckedTable, OutputIsTheOraclesByteForByte) {
  const CorpusTable& t = GetParam();
  for (const bool names : {true, false}) {
    rt_test::TempDir dir;
    copyTable(t, dir.path());
    const std::vector<std::string> args =
        names ? std::vector<std::string>{t.name} : std::vector<std::string>{t.name, "N"};
    const test_support::ProgramRun run = test_support::runProgram(dir.path(), args);
    EXPECT_EQ(run.exitCode, 0) << run.explain(dir.path());
    const std::string csv = dir / (rt::upper(fs::path(t.name).stem().string()) + ".CSV");
    EXPECT_EQ(rt_test::readFile(csv), oracle(t, names, dir / "oracle.out"))
        << t.folder << "/" << t.name << (names ? " with" : " without") << " field names: "
        << run.explain(dir.path());
  }
}

// Every option set the oracle knows. With --encoding=auto a table that
// declares no code page (or one that cannot be converted) is refused by both.
// UTF-8 is read by the program's own decoder, so that the systems agree;
// binary values are Latin-1 under it as under every code page.
TEST_P(CheckedTable, WithTheFormatOptionsTheOutputIsTheOraclesToo) {
  const CorpusTable& t = GetParam();
  const std::vector<std::vector<std::string>> optionSets = {
      {"--rfc4180"},
      {"--rfc4180", "-d", ";"},
      {"--rfc4180", "-d", "tab"},
      {"-d", "|"},
      {"--encoding", "auto"},
      {"--encoding", "auto", "--rfc4180", "--bom"},
      {"--encoding", "utf-8"},
  };
  for (const auto& options : optionSets) {
    rt_test::TempDir dir;
    copyTable(t, dir.path());
    std::vector<std::string> args = options;
    args.push_back(t.name);
    const test_support::ProgramRun run = test_support::runProgram(dir.path(), args);
    const std::string csv = dir / (rt::upper(fs::path(t.name).stem().string()) + ".CSV");
    const std::string expected = oracle(t, true, dir / "oracle.out", options);
    const std::string what = t.folder + "/" + t.name + " with " + options[0] + " " + options.back();
    if (expected == "(the oracle failed)") {
      EXPECT_EQ(run.exitCode, 1) << what;
      EXPECT_FALSE(fs::exists(csv)) << what;
      continue;
    }
    EXPECT_EQ(run.exitCode, 0) << what << ": " << run.explain(dir.path());
    EXPECT_EQ(rt_test::readFile(csv), expected) << what << ": " << run.explain(dir.path());
    // The report counts the characters the code page leaves undefined.
    std::size_t undefined = 0;
    for (auto at = expected.find("\xEF\xBF\xBD"); at != std::string::npos; at = expected.find("\xEF\xBF\xBD", at + 3)) {
      ++undefined;
    }
    const std::string counted = "\n\n" + withSeparators(undefined) + " characters undefined in the code page";
    EXPECT_EQ(run.err.find(counted) != std::string::npos, undefined > 0) << what << ": " << run.err;
  }
}

// A table that declares its code page, copied with the declaration gone
// (byte 29 zero, no .CPG file), reads under -e guess as it does under the
// page it declared: the output is the same bytes. Two kinds of table are
// told apart, each checked for what the guess can know:
// - a picture kept in a text memo: its bytes come out as the characters of
//   whichever page is named, so no page but the declared one gives its
//   output; the guess leaves the picture out and finds the text plain;
// - socios.dbf declares 1252, but its names are UTF-8 ("CÃ³RDOBA" as
//   declared): the guess reads it as UTF-8, rightly.
TEST_P(CheckedTable, WithItsDeclarationRemovedTheGuessReadsItAsDeclared) {
  const CorpusTable& t = GetParam();
  const std::string what = t.folder + "/" + t.name;
  const bool picture = what == "luads-php-xbase/vfp.dbf" || what == "luads-php-xbase/dBaseIII.dbf" ||
                       what == "luads-php-xbase/dBaseIV.dbf" || what == "luads-php-xbase/Foxpro2.dbf";
  const bool utf8 = what == "luads-php-xbase/socios.dbf";
  rt_test::TempDir dir;
  copyTable(t, dir.path());
  const test_support::ProgramRun declared =
      test_support::runProgram(dir.path(), {"-e", utf8 ? "utf-8" : "auto", "-o", "declared.csv", t.name});
  if (declared.exitCode != 0) return;  // it declares none, or none this system converts
  std::string table = rt_test::readFile(dir / t.name);
  ASSERT_GT(table.size(), 29u);
  table[29] = '\0';
  {
    std::ofstream out(dir / t.name, std::ios::binary | std::ios::trunc);
    out << table;
  }
  for (const auto& e : fs::directory_iterator(dir.path())) {
    if (rt::upper(e.path().extension().string()) == ".CPG") fs::remove(e.path());
  }
  const test_support::ProgramRun guessed = test_support::runProgram(dir.path(), {"-e", "guess", "-o", "guessed.csv", t.name});
  ASSERT_EQ(guessed.exitCode, 0) << what << ": " << guessed.explain(dir.path());
  if (picture) {
    EXPECT_NE(guessed.err.find(" holds no text beyond ASCII: "), std::string::npos) << what << ": " << guessed.err;
    return;
  }
  EXPECT_EQ(rt_test::readFile(dir / "guessed.csv"), rt_test::readFile(dir / "declared.csv"))
      << what << ": " << guessed.err;
}

// A choice of fields and records is the oracle's output for the table with
// its deletion marks cleared, cut the same way: --fields (another letter
// case, another order), --exclude (in a batch too, whose runs are given the
// names), --limit, --recno (deleted records counted), and each --deleted
// mode; the report tells the records read when some were passed over.
TEST_P(CheckedTable, AChoiceOfFieldsAndRecordsIsTheOraclesOutputCut) {
  const CorpusTable& t = GetParam();
  rt_test::TempDir dir;
  copyTable(t, dir.path());
  fs::create_directory(dir / "cleared");
  copyTable(t, dir / "cleared");
  const std::vector<bool> marks = clearDeletionMarks(dir / ("cleared/" + t.name));
  const std::string command = "/usr/bin/python3 " + quoted(DBF2CSV_ORACLE) + " --names -o " + quoted(dir / "o.csv") +
                              " " + quoted(dir / ("cleared/" + t.name)) + " 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const Rows all = rowsOf(rt_test::readFile(dir / "o.csv"));
  ASSERT_EQ(all.size(), marks.size() + 1);
  const std::vector<std::string>& names = all[0];
  const std::string first = names[0], last = names.back();
  struct Case {
    std::vector<std::string> args;
    std::function<bool(const std::string& name)> field;  // by name; in the order of `order`
    std::vector<std::string> order;                      // names in output order; empty: the table's
    std::string lead;                                    // _RECNO or _DELETED
    std::string deleted;
    std::size_t limit;
  };
  auto is = [](const std::string& a) { return [a](const std::string& b) { return rt::upper(a) == rt::upper(b); }; };
  const Case cases[] = {
      {{"--fields=" + rt::lower(last) + ", " + first}, nullptr, {last, first}, "", "skip", SIZE_MAX},
      {{"--exclude", rt::lower(first), "--batch"}, [&](const std::string& b) { return !is(first)(b); }, {}, "", "skip",
       SIZE_MAX},
      {{"--limit=2", "--recno"}, nullptr, {}, "_RECNO", "skip", 2},
      {{"--recno", "--deleted=include"}, nullptr, {}, "_RECNO", "include", SIZE_MAX},
      {{"--deleted=mark"}, nullptr, {}, "_DELETED", "mark", SIZE_MAX},
      {{"--deleted=only"}, nullptr, {}, "", "only", SIZE_MAX},
  };
  for (const Case& c : cases) {
    std::vector<std::size_t> fields;
    for (const std::string& name : c.order) {
      for (std::size_t i = 0; i < names.size(); ++i) {
        if (is(name)(names[i])) fields.push_back(i);
      }
    }
    for (std::size_t i = 0; c.order.empty() && i < names.size(); ++i) {
      if (!c.field || c.field(names[i])) fields.push_back(i);
    }
    if (fields.empty()) continue;  // a table of one field has none left to write
    Rows expected;
    for (std::size_t r = 0; r < all.size() && expected.size() <= c.limit; ++r) {
      const bool deleted = r > 0 && marks[r - 1];
      if (r > 0 && ((c.deleted == "skip" && deleted) || (c.deleted == "only" && !deleted))) continue;
      expected.emplace_back();
      if (!c.lead.empty()) {
        expected.back().push_back(r == 0 ? c.lead : c.lead == "_RECNO" ? std::to_string(r) : deleted ? "T" : "F");
      }
      for (const std::size_t i : fields) expected.back().push_back(all[r][i]);
    }
    std::vector<std::string> args = c.args;
    args.push_back(t.name);
    const test_support::ProgramRun run = test_support::runProgram(dir.path(), args);
    const std::string what = t.folder + "/" + t.name + " with " + c.args[0];
    EXPECT_EQ(run.exitCode, 0) << what << ": " << run.explain(dir.path());
    EXPECT_EQ(rt_test::readFile(dir / (rt::upper(fs::path(t.name).stem().string()) + ".CSV")), csvOf(expected)) << what;
    const std::string read = c.deleted == "only" ? " of " + withSeparators(marks.size()) : "";
    EXPECT_NE(run.err.find(" " + withSeparators(expected.size() - 1) + read + " records"), std::string::npos)
        << what << ": " << run.err;
  }
}

// A PostgreSQL 15 cluster of the test run's own, made on first use in a
// temporary folder (as the postgres user when the tests run as root, which
// PostgreSQL refuses to be), listening only on a Unix socket there, and
// stopped when the run ends. A server that cannot start fails the tests
// that need it.
class PostgresCluster {
 public:
  static PostgresCluster& get() {
    static PostgresCluster cluster;
    return cluster;
  }
  const std::string& socket() const { return folder_; }
  const std::string& failure() const { return failure_; }
  // A name for a database no other test of this run uses.
  std::string newDatabase() { return "t" + std::to_string(::getpid()) + "_" + std::to_string(++databases_); }

 private:
  PostgresCluster() {
    char folder[] = "/tmp/dbf2csv-pg-XXXXXX";
    folder_ = ::mkdtemp(folder) ? folder : "";
    const std::string bin = "/usr/lib/postgresql/15/bin/";
    if (::geteuid() == 0) asUser_ = "runuser -u postgres -- ";
    if (!asUser_.empty()) std::system(("chown postgres " + inQuotes(folder_)).c_str());
    const std::string data = folder_ + "/data";
    const std::string start = asUser_ + bin + "initdb --locale=C -E UTF8 -A trust -U postgres -D " + inQuotes(data) +
                              " >" + inQuotes(folder_ + "/initdb.log") + " 2>&1 && " + asUser_ + bin + "pg_ctl -D " +
                              inQuotes(data) + " -o \"-k " + folder_ + " -c listen_addresses=''\" -l " +
                              inQuotes(folder_ + "/server.log") + " -w start >/dev/null 2>&1";
    if (folder_.empty() || std::system(start.c_str()) != 0) {
      failure_ = "the PostgreSQL test server did not start: " + rt_test::readFile(folder_ + "/initdb.log") +
                 rt_test::readFile(folder_ + "/server.log");
    }
  }
  ~PostgresCluster() {
    if (folder_.empty()) return;
    std::system((asUser_ + "/usr/lib/postgresql/15/bin/pg_ctl -D " + inQuotes(folder_ + "/data") +
                 " -m fast -w stop >/dev/null 2>&1").c_str());
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }

  std::string folder_, asUser_, failure_;
  int databases_ = 0;
};

// The typed outputs of every checked table: the PostgreSQL script loads
// into a real server, the SQLite script into the sqlite3 shell, and they,
// the JSON Lines and the SQLite database hold the values an independent
// reader gives (typed_check.py says how they are compared). One test over
// the tables, so that one server serves them all.
TEST(TypedCorpus, OutputsLoadAndHoldTheIndependentReadersValues) {
  PostgresCluster& server = PostgresCluster::get();
  ASSERT_EQ(server.failure(), "");
  const char* program = std::getenv("DBF2CSV_TEST_PROGRAM");
  for (const CorpusTable& t : tablesOf(Kind::Checked)) {
    rt_test::TempDir dir;
    copyTable(t, dir.path());
    const std::string command =
        "/usr/bin/python3 " + inQuotes(DBF2CSV_SOURCE_DIR "/tests/e2e/typed_check.py") + " --program " +
        inQuotes(program && *program ? program : DBF2CSV_BIN) + " --table " + inQuotes(dir / t.name) + " --socket " +
        inQuotes(server.socket()) + " --database " + server.newDatabase() + " >" + inQuotes(dir / "check.log") + " 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << t.folder << "/" << t.name << ":\n" << rt_test::readFile(dir / "check.log");
  }
}

// The typed outputs of another build's program (dbf2csv.exe under Wine,
// with Windows' own code page tables and SQLite compiled in) are this
// build's for every checked table: the same typed CSV and JSON Lines byte
// for byte, and SQLite databases the sqlite3 shell dumps alike. The code
// page the table declares, else 437, on both sides.
TEST(TypedCorpus, AnotherBuildsTypedOutputsAreThisBuilds) {
  const char* program = std::getenv("DBF2CSV_TEST_PROGRAM");
  if (!program || !*program) GTEST_SKIP() << "compares the program of another build (DBF2CSV_TEST_PROGRAM)";
  const auto contents = [](const std::string& output) {
    if (!output.ends_with(".db")) return rt_test::readFile(output);
    const std::string out = output + ".dump";
    const bool ok = std::system(("sqlite3 " + inQuotes(output) + " .dump >" + inQuotes(out) + " 2>&1").c_str()) == 0;
    return (ok ? "" : "(sqlite3 failed) ") + rt_test::readFile(out);
  };
  const std::vector<std::pair<std::string, std::string>> outputs = {
      {"--typed", ".csv"}, {"--format=jsonl", ".jsonl"}, {"--format=sqlite", ".db"}};
  for (const CorpusTable& t : tablesOf(Kind::Checked)) {
    rt_test::TempDir dir;
    copyTable(t, dir.path());
    std::string codePage = "auto";
    for (const auto& [option, extension] : outputs) {
      const auto ours = [&] {
        return std::system(("cd " + inQuotes(dir.path()) + " && " + inQuotes(DBF2CSV_BIN) + " -e " + codePage + " " +
                            option + " -o ours" + extension + " " + inQuotes(t.name) + " >/dev/null 2>&1")
                               .c_str());
      };
      int exitCode = ours();
      if (exitCode != 0 && codePage == "auto") {
        codePage = "437";
        exitCode = ours();
      }
      ASSERT_EQ(exitCode, 0) << t.folder << "/" << t.name << " " << option;
      const test_support::ProgramRun run =
          test_support::runProgram(dir.path(), {"-e", codePage, option, "-o", "theirs" + extension, t.name});
      const std::string what = t.folder + "/" + t.name + " -e " + codePage + " " + option;
      EXPECT_EQ(run.exitCode, 0) << what << ": " << run.explain(dir.path());
      EXPECT_EQ(contents(dir / ("theirs" + extension)), contents(dir / ("ours" + extension))) << what;
    }
  }
}

// --where against PostgreSQL's WHERE on the same typed values: for each
// condition, the records dbf2csv keeps are exactly the rows the server
// selects from the whole table (where_check.py says how). The conditions
// read as the same SQL on both sides, over NULLs, dates and timestamps,
// Visual FoxPro types and null flags, memo text, code pages and UTF-8
// patterns.
TEST(WhereCorpus, TheRecordsKeptAreThoseAServerSelects) {
  const std::vector<std::pair<CorpusTable, std::vector<std::string>>> cases = {
      {{"infused-dbf", "dbase_30.dbf"},
       {"flagdate IS NULL", "updated >= TIMESTAMP '2004-03-08 21:14:35.999'",
        "updated < TIMESTAMP '2004-03-08 21:14:36' OR updated > DATE '2004-03-09'", "descrip LIKE '%the%'", "webinclude",
        "NOT webinclude OR webinclude IS NULL", "catdate BETWEEN DATE '1995-01-01' AND DATE '2005-12-31'",
        "acqvalue > 100 OR curvalue IS NULL", "objname ILIKE 'p%' AND objname NOT LIKE '%s'", "updated > catdate AND catdate > DATE '2000-06-28'",
        "classes IS NOT NULL AND classes <> ''"}},
      {{"infused-dbf", "dbase_31.dbf"},
       {"unitprice > 20", "supplierid IN (1, 2, 3)", "categoryid IS NULL OR quantitype LIKE '%boxes%'",
        "discontinu", "unitprice NOT BETWEEN 10.5 AND 30", "productid NOT IN (1, 2, NULL)",
        "unitsinsto < reorderlev", "productnam >= 'M' AND productnam < 'T'"}},
      {{"luads-php-xbase", "vfp.dbf"},
       {"money > 0", "rate < 10", "birthday < DATE '2000-01-01'", "\"datetime\" IS NOT NULL", "is_man",
        "name_bin IS NULL", "\"varchar\" LIKE '%a%'", "currency >= 1.5", "bio ILIKE '%A%'"}},
      {{"yellowfeather-DbfDataReader", "tl_2019_01_place.dbf"},
       {"name LIKE 'B%'", "aland > 10000000 AND awater = 0", "lsad IN ('25', '43')", "namelsad ILIKE '%CITY'",
        "NOT (classfp = 'C1' OR aland < 5000000)", "name >= 'M'", "intptlat > '+32.5'", "name LIKE '_a%n'"}},
      {{"mbostock-shapefile", "boolean-property.dbf"},
       {"foo", "NOT foo", "foo IS NULL", "foo = FALSE", "foo <> TRUE", "foo IN (TRUE, NULL)"}},
      {{"mbostock-shapefile", "number-null-property.dbf"}, {"avg_temp IS NULL", "avg_temp > 0 OR name = 'x'"}},
      {{"yellowfeather-DbfDataReader", "INNAKLKVT20180904.dbf"},
       {"vo LIKE '\xD0\x92.%'", "vo LIKE '_._. %'", "vo >= '\xD0\x93'", "sumpdv > 1000.5",
        "date_reg = DATE '2018-07-02'", "reason IS NULL OR reason LIKE '%1%'", "inn NOT LIKE '%0'"}},
      {{"incubus-DBD-XBase", "types.dbf"}, {"payment > 0", "t < TIMESTAMP '2000-01-01 00:00:00'", "id <= 2"}},
      {{"albfernandez-javadbf", "testfile.dbf"},
       {"info IS NULL", "d_start IS NOT NULL AND dt_start < DATE '2010-01-01'", "reqname LIKE 'DVD%'",
        "info ILIKE '%BC1CHILD%'"}},
      {{"OSGeo-shapelib", "pline.dbf"}, {"length > 500", "length BETWEEN 0.5 AND 100", "type LIKE 'Under%'",
        "type IN ('Overhead Feeder', 'X')"}},
      {{"albfernandez-javadbf", "bug115.dbf"}, {"lote LIKE ' %'", "fecent_ped > DATE '2015-01-01'", "trans = 2"}},
      {{"yellowfeather-DbfDataReader", "dbase_03.dbf"},
       {"point_id_2 IS NOT NULL AND point_id LIKE '%1_'", "date_visit > DATE '2003-05-01'", "max_pdop < 5.1"}},
      {{"yortus-DBFFile", "PYACFL.DBF"},
       {"_deleted", "NOT _DELETED AND afhrpw > 10", "_deleted OR afcrda IS NULL", "afacgr IN (1, 2) AND NOT _deleted"}},
      {{"Valentin-Kaiser-go-dbase", "TEST.DBF"}, {"\"var\" LIKE '%a%'", "price > 12.345", "var_nil LIKE 'Test%'",
        "\"datetime\" > TIMESTAMP '2022-04-10 00:00:00'", "varbin_nil IS NULL"}},
  };
  PostgresCluster& server = PostgresCluster::get();
  ASSERT_EQ(server.failure(), "");
  const char* program = std::getenv("DBF2CSV_TEST_PROGRAM");
  for (const auto& [t, expressions] : cases) {
    // The records marked deleted of this table: a column of the server's
    // table too, which the condition's _DELETED must agree with.
    const std::string option = t.name == "PYACFL.DBF" ? "--deleted=mark" : "";
    rt_test::TempDir dir;
    copyTable(t, dir.path());
    std::string command = "/usr/bin/python3 " + inQuotes(DBF2CSV_SOURCE_DIR "/tests/e2e/where_check.py") +
                          " --program " + inQuotes(program && *program ? program : DBF2CSV_BIN) + " --table " +
                          inQuotes(dir / t.name) + " --socket " + inQuotes(server.socket()) + " --database " +
                          server.newDatabase() + (option.empty() ? "" : " --option=" + option);
    for (const std::string& e : expressions) command += " " + inQuotes(e);
    command += " >" + inQuotes(dir / "check.log") + " 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << t.folder << "/" << t.name << ":\n" << rt_test::readFile(dir / "check.log");
  }
}

TEST_P(MemoMissingTable, IsNotOpened) {
  const CorpusTable& t = GetParam();
  rt_test::TempDir dir;
  copyTable(t, dir.path());
  const test_support::ProgramRun run = test_support::runProgram(dir.path(), {t.name});
  EXPECT_EQ(run.exitCode, 1);
  // The reason follows, naming the memo file the table's family reads.
  const std::string stem = fs::path(t.name).stem().string();
  const std::string told = "Not able to open " + rt::upper(t.name) + ".\ndbf2csv: Memo file " + stem;
  EXPECT_TRUE(run.err == told + ".DBT of the table not found\n" ||
              run.err == told + ".FPT of the table not found\n")
      << run.err;
  EXPECT_FALSE(fs::exists(dir / (rt::upper(fs::path(t.name).stem().string()) + ".CSV")));
}

TEST_P(UncheckedTable, IsConvertedOrRefusedCleanly) {
  const CorpusTable& t = GetParam();
  rt_test::TempDir dir;
  copyTable(t, dir.path());
  const test_support::ProgramRun run = test_support::runProgram(dir.path(), {t.name});
  ASSERT_TRUE(run.exitCode == 0 || run.exitCode == 1) << run.exitCode << run.err;
  const std::string csv = dir / (rt::upper(fs::path(t.name).stem().string()) + ".CSV");
  EXPECT_EQ(fs::exists(csv), run.exitCode == 0) << run.err;
  EXPECT_EQ(dir.listing().find(".tmp"), std::string::npos) << dir.listing();
}

std::string testName(const testing::TestParamInfo<CorpusTable>& info) {
  std::string name = info.param.folder + "_" + info.param.name;
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(Corpus, CheckedTable, testing::ValuesIn(tablesOf(Kind::Checked)),
                         testName);
INSTANTIATE_TEST_SUITE_P(Corpus, MemoMissingTable,
                         testing::ValuesIn(tablesOf(Kind::MemoMissing)), testName);
INSTANTIATE_TEST_SUITE_P(Corpus, UncheckedTable, testing::ValuesIn(tablesOf(Kind::Unchecked)),
                         testName);

// The parse of the manifest must find what it counts, or the tests above
// would pass over tables silently.
TEST(CorpusManifest, EveryTableIsFound) {
  EXPECT_EQ(manifestTables().size(), 60u);
  EXPECT_EQ(tablesOf(Kind::MemoMissing).size(), 2u);
  EXPECT_EQ(tablesOf(Kind::Unchecked).size(), 6u);
}

}  // namespace
