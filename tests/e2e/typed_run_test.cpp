// The typed outputs end to end: every kind of value of a Visual FoxPro
// table as typed CSV and as JSON Lines, the final report's counts, the
// script beside the CSV, and the option rules.
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <regex>

#include <gtest/gtest.h>

#include "tests/support/dbf_writer.hpp"
#include "tests/support/program_run.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

using test_support::DbfWriter;
using test_support::le32;
using test_support::le64;
using test_support::leDouble;

class TypedRun : public testing::Test {
 protected:
  // Two records: one of plain values, one of the values that become NULL
  // (blank, null flag, overflow stars, an impossible date, "?", NaN, zero
  // moment) or stay empty text; then one marked deleted.
  void SetUp() override {
    test_support::TableShape shape;
    shape.version = 0x30;
    shape.memo = test_support::MemoLayout::Fpt;
    shape.fields = {{"NAME", 'C', 10},  {"NOTE", 'C', 6, 0, 0x02}, {"QTY", 'N', 5},
                    {"PRICE", 'N', 8, 2}, {"DUE", 'D', 8},          {"PAID", 'L', 1},
                    {"CNT", 'I', 4},    {"AMT", 'Y', 8},           {"RATE", 'B', 8},
                    {"AT", 'T', 8},     {"MEMO", 'M', 4},          {"BIN", 'C', 4, 0, 0x04},
                    {"_NullFlags", '0', 1, 0, 0x05}};
    DbfWriter w(dir_ / "typed.dbf", shape);
    const std::string at = le32(2460341) + le32(49530250);  // 2024-01-31 13:45:30.250
    w.append({"Smith, J", "a\"b", "12", "3.5", "20240131", "T", le32(7), le64(15000), leDouble(0.1), at,
              w.memo("line1\r\nline2  ", 4), std::string("\x00\x01\xff ", 4), std::string(1, '\0')});
    w.append({std::string("x\0y", 3), "", "", "*****", "20230231", "?", le32(-1), le64(-5),
              leDouble(std::numeric_limits<double>::quiet_NaN()), std::string(8, '\0'), std::string(4, '\0'),
              "", std::string(1, '\1')});
    w.append({"Gone", "", "7", "1", "20240201", "F", le32(0), le64(0), leDouble(0), at, w.memo("", 4), "", std::string(1, '\0')},
             true);
    w.finish();
  }

  test_support::ProgramRun run(std::vector<std::string> args) {
    args.insert(args.begin(), {"-e", "1252"});
    args.push_back("typed");
    return test_support::runProgram(dir_.path(), args);
  }
  std::string file(const std::string& name) const { return rt_test::readFile(dir_ / name); }

  rt_test::TempDir dir_;
};

const std::string kReport =
    "Program Ended Normally\n\nFile TYPED.CSV Created with 2 records.\n\n"
    "1 NUL byte was removed from text.\n\n"
    "1 value that is not a number was written as NULL.\n\n"
    "1 value that is not a finite number was written as NULL.\n\n"
    "1 value that is not a date was written as NULL.\n";

TEST_F(TypedRun, TypedCsvQuotesOnlyWhereNeededAndWritesNullsEmpty) {
  const test_support::ProgramRun r = run({"--typed"});
  ASSERT_EQ(r.exitCode, 0) << r.explain(dir_.path());
  EXPECT_EQ(file("TYPED.CSV"),
            "NAME,NOTE,QTY,PRICE,DUE,PAID,CNT,AMT,RATE,AT,MEMO,BIN\r\n"
            "\"Smith, J\",\"a\"\"b\",12,3.50,2024-01-31,true,7,1.5000,0.1,2024-01-31 13:45:30.250,"
            "\"line1\r\nline2\",\\x0001ff\r\n"
            "xy,,,,,,-1,-0.0005,,,\"\",\\x\r\n");
  EXPECT_EQ(r.err, kReport);

  // The delimiter and the byte order mark as asked; a value holding the
  // delimiter is quoted, whatever its type.
  ASSERT_EQ(run({"--typed", "-d", ".", "--bom", "-o", "dot.csv"}).exitCode, 0);
  const std::string dot = file("dot.csv");
  EXPECT_EQ(dot.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_NE(dot.find("\nSmith, J.\"a\"\"b\".12.\"3.50\".2024-01-31.true.7.\"1.5000\""), std::string::npos) << dot;
  // Binary too, whose hex can hold a letter.
  ASSERT_EQ(run({"--typed", "-d", "x", "-o", "x.csv"}).exitCode, 0);
  EXPECT_NE(file("x.csv").find("x\"\\x0001ff\"\r\n"), std::string::npos) << file("x.csv");
}

TEST_F(TypedRun, JsonLinesTypeEveryValue) {
  const test_support::ProgramRun r = run({"--format=jsonl"});
  ASSERT_EQ(r.exitCode, 0) << r.explain(dir_.path());
  EXPECT_EQ(file("TYPED.JSONL"),
            "{\"NAME\":\"Smith, J\",\"NOTE\":\"a\\\"b\",\"QTY\":12,\"PRICE\":3.50,\"DUE\":\"2024-01-31\","
            "\"PAID\":true,\"CNT\":7,\"AMT\":1.5000,\"RATE\":0.1,\"AT\":\"2024-01-31 13:45:30.250\","
            "\"MEMO\":\"line1\\r\\nline2\",\"BIN\":\"\\\\x0001ff\"}\n"
            "{\"NAME\":\"xy\",\"NOTE\":null,\"QTY\":null,\"PRICE\":null,\"DUE\":null,\"PAID\":null,"
            "\"CNT\":-1,\"AMT\":-0.0005,\"RATE\":null,\"AT\":null,\"MEMO\":\"\",\"BIN\":\"\\\\x\"}\n");
}

TEST_F(TypedRun, TheSchemaLiesBesideTheCsvAndNamesTheColumnsForSql) {
  ASSERT_EQ(run({"--schema=postgres", "-o", "out.csv"}).exitCode, 0);
  EXPECT_EQ(file("out.sql"),
            "SET client_encoding = 'UTF8';\nBEGIN;\nDROP TABLE IF EXISTS typed;\nCREATE TABLE typed (\n"
            "  name text,\n  note text,\n  qty bigint,\n  price numeric(10,2),\n  due date,\n"
            "  paid boolean,\n  cnt integer,\n  amt numeric(19,4),\n  rate double precision,\n"
            "  at timestamp,\n  memo text,\n  bin bytea\n);\n"
            "\\copy typed FROM 'out.csv' WITH (FORMAT csv, HEADER true)\nCOMMIT;\n");
  ASSERT_EQ(run({"--schema=sqlite", "-d", ";"}).exitCode, 0);
  const std::string sqlite = file("TYPED.SQL");
  EXPECT_NE(sqlite.find(".separator \";\" \"\\r\\n\"\n.import --skip 1 \"TYPED.CSV\" \"typed\"\n"), std::string::npos)
      << sqlite;
  // Only nullable text takes NULL for ''.
  EXPECT_NE(sqlite.find("UPDATE typed SET note = NULL WHERE note = '';\n"), std::string::npos);
  EXPECT_EQ(sqlite.find("SET name = NULL"), std::string::npos);
}

TEST_F(TypedRun, ABatchWritesEachTablesOutputAndItsScriptBesideIt) {
  for (const auto& e : std::filesystem::directory_iterator(dir_.path())) {
    const std::string name = e.path().filename().string();
    std::filesystem::copy_file(e.path(), dir_ / ("second" + name.substr(name.find('.'))));
  }
  ASSERT_EQ(test_support::runProgram(dir_.path(), {"-e", "1252", "--format=jsonl", "--batch", "."}).exitCode, 0);
  EXPECT_EQ(file("SECOND.JSONL"), file("TYPED.JSONL"));
  const test_support::ProgramRun r =
      test_support::runProgram(dir_.path(), {"-e", "1252", "--schema=postgres", "--batch", "-o", "out", "."});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(file("out/SECOND.SQL").find("\\copy second FROM 'SECOND.CSV'"), std::string::npos);
  EXPECT_EQ(file("out/SECOND.CSV"), file("out/TYPED.CSV"));
}

// The values as the sqlite3 shell shows them, one row a line, typeof()
// after each so that NULL, '' and a BLOB differ.
std::string sqliteRows(const std::string& database, const std::string& sql) {
  const std::string command = "sqlite3 -separator '|' '" + database + "' \"" + sql + "\" 2>&1";
  std::string out;
  if (FILE* p = ::popen(command.c_str(), "r")) {
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    ::pclose(p);
  }
  return out;
}

TEST_F(TypedRun, AnSqliteDatabaseHoldsTypedValuesAndKeepsItsOtherTables) {
  const std::string db = (dir_ / "data.db");
  ASSERT_EQ(sqliteRows(db, "CREATE TABLE other (x); INSERT INTO other VALUES (1); CREATE TABLE typed (old)"), "");
  const test_support::ProgramRun r = run({"--format=sqlite", "-o", "data.db"});
  ASSERT_EQ(r.exitCode, 0) << r.explain(dir_.path());
  EXPECT_EQ(sqliteRows(db, "SELECT quote(name), quote(note), qty, typeof(price), price, due, paid, amt, rate, "
                           "quote(memo), quote(bin) FROM typed"),
            "'Smith, J'|'a\"b'|12|real|3.5|2024-01-31|1|1.5|0.1|'line1\r\nline2'|X'0001FF'\n"
            "'xy'|NULL||null||||-0.0005||''|X''\n");
  EXPECT_EQ(sqliteRows(db, "SELECT x FROM other"), "1\n");
  // A choice of fields and records makes the table's columns and rows.
  ASSERT_EQ(run({"--format=sqlite", "-o", "chosen.db", "--recno", "--fields=name", "--limit=1"}).exitCode, 0);
  EXPECT_EQ(sqliteRows(dir_ / "chosen.db", "SELECT typeof(_recno), _recno, name FROM typed"), "integer|1|Smith, J\n");
  const test_support::ProgramRun toStdout = run({"--format=sqlite", "-o", "-"});
  EXPECT_EQ(toStdout.exitCode, 2);
  EXPECT_EQ(toStdout.err, "dbf2csv: --format=sqlite writes a database file, not standard output (dbf2csv --help)\n");

  // A database that cannot be written is left as it was.
  ASSERT_EQ(::chmod(db.c_str(), 0444), 0);
  if (::access(db.c_str(), W_OK) != 0) {
    EXPECT_EQ(run({"--format=sqlite", "-o", "data.db"}).exitCode, 1);
    EXPECT_EQ(sqliteRows(db, "SELECT count(*) FROM typed"), "2\n");
  }
}

// A choice of fields and records shapes every typed output: the leading
// fields are typed too, and the script takes the columns written.
TEST_F(TypedRun, AChoiceOfFieldsAndRecordsShapesEveryTypedOutput) {
  ASSERT_EQ(run({"--format=jsonl", "--fields=qty,Name", "--recno", "--deleted=mark"}).exitCode, 0);
  EXPECT_EQ(file("TYPED.JSONL"),
            "{\"_RECNO\":1,\"_DELETED\":false,\"QTY\":12,\"NAME\":\"Smith, J\"}\n"
            "{\"_RECNO\":2,\"_DELETED\":false,\"QTY\":null,\"NAME\":\"xy\"}\n"
            "{\"_RECNO\":3,\"_DELETED\":true,\"QTY\":7,\"NAME\":\"Gone\"}\n");
  const test_support::ProgramRun r = run({"--schema=postgres", "--exclude=note,memo,bin,at,rate,amt,cnt,paid,due,price",
                                          "--deleted=only", "-o", "out.csv"});
  ASSERT_EQ(r.exitCode, 0) << r.explain(dir_.path());
  EXPECT_EQ(file("out.csv"), "NAME,QTY\r\nGone,7\r\n");
  EXPECT_NE(file("out.sql").find("CREATE TABLE typed (\n  name text,\n  qty bigint\n);"), std::string::npos);
  EXPECT_NE(r.err.find("Created with 1 of 3 records."), std::string::npos) << r.err;
}

TEST_F(TypedRun, AnSqliteBatchWritesEveryTableIntoOneDatabaseUnderUniqueNames) {
  std::filesystem::create_directory(dir_ / "sub");
  for (const auto& e : std::filesystem::directory_iterator(dir_.path())) {
    if (e.is_regular_file()) std::filesystem::copy_file(e.path(), dir_ / "sub" / e.path().filename());
  }
  const std::string db = (dir_ / "all.db");
  ASSERT_EQ(sqliteRows(db, "CREATE TABLE other (x); INSERT INTO other VALUES (1)"), "");
  const test_support::ProgramRun r =
      test_support::runProgram(dir_.path(), {"-e", "1252", "--format=sqlite", "--batch", "-r", "-o", "all.db", "."});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.err.find(", as table typed_2"), std::string::npos) << r.err;
  EXPECT_EQ(sqliteRows(db, "SELECT name FROM sqlite_master ORDER BY name"), "other\ntyped\ntyped_2\n");
  EXPECT_EQ(sqliteRows(db, "SELECT count(*) FROM typed_2; SELECT count(*) FROM (SELECT * FROM typed "
                           "EXCEPT SELECT * FROM typed_2); SELECT typeof(price) FROM typed_2 LIMIT 1"),
            "2\n0\nreal\n");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "TYPED.SQLITE"));

  // A second batch replaces the tables and keeps the others; a folder is no database.
  ASSERT_EQ(test_support::runProgram(dir_.path(), {"-e", "1252", "--format=sqlite", "--batch", "-o", "all.db", "."})
                .exitCode,
            0);
  EXPECT_EQ(sqliteRows(db, "SELECT count(*) FROM typed; SELECT x FROM other"), "2\n1\n");
  const test_support::ProgramRun folder =
      test_support::runProgram(dir_.path(), {"-e", "1252", "--format=sqlite", "--batch", "-o", "sub", "."});
  EXPECT_EQ(folder.exitCode, 1);
  EXPECT_NE(folder.err.find("it is a folder; --format=sqlite -o names the one database of every table."),
            std::string::npos)
      << folder.err;
}

TEST_F(TypedRun, OptionsThatCannotGoTogetherAreUsageErrors) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--format=xml"}, "dbf2csv: --format xml: takes csv, jsonl or sqlite (dbf2csv --help)\n"},
      {{"--schema=mysql"}, "dbf2csv: --schema mysql: takes postgres or sqlite (dbf2csv --help)\n"},
      {{"--schema=postgres", "--format=jsonl"},
       "dbf2csv: --schema goes with CSV output, not --format=jsonl (dbf2csv --help)\n"},
      {{"--format=jsonl", "-d", ";"}, "dbf2csv: --delimiter goes with CSV output, not --format=jsonl (dbf2csv --help)\n"},
      {{"--format=jsonl", "--bom"}, "dbf2csv: --bom goes with CSV output, not --format=jsonl (dbf2csv --help)\n"},
      {{"--schema=sqlite", "-o", "-"},
       "dbf2csv: --schema needs an output file: its script loads the CSV from it (dbf2csv --help)\n"},

  };
  for (const auto& [args, message] : cases) {
    const test_support::ProgramRun r = run(args);
    EXPECT_EQ(r.exitCode, 2) << args[0];
    EXPECT_EQ(r.err, message);
  }
  EXPECT_FALSE(std::filesystem::exists(dir_ / "TYPED.CSV"));
}

// --where reads the values the typed outputs write: each record's NULLs
// (stars, an impossible date, "?", NaN, a zero moment, a null flag), text
// without its NUL bytes or trailing blanks, memo text, exact numbers and
// moments to the millisecond; numbers compared at any scale, with literals
// of more digits than a whole number holds; the same without -e, where
// text is read from its bytes.
TEST_F(TypedRun, WhereKeepsTheRecordsByTheirTypedValues) {
  const std::pair<std::string, std::string> cases[] = {
      {"PRICE IS NULL AND DUE IS NULL AND PAID IS NULL AND RATE IS NULL AND AT IS NULL AND NOTE IS NULL", "xy;"},
      {"NAME = 'xy' OR QTY > 12", "xy;"},
      {"MEMO LIKE 'line1_%line2' AND MEMO NOT LIKE '% '", "Smith, J;"},
      {"AMT = 1.5 AND RATE = 0.1 AND CNT = 7.0 AND AT = TIMESTAMP '2024-01-31 13:45:30.25' AND PAID", "Smith, J;"},
      {"NOT (PRICE > 1) OR DUE < DATE '2024-01-31'", ""},
      {"BIN IS NOT NULL AND NAME >= 'S' AND NAME < 'x' OR CNT IN (-1, NULL)", "Smith, J;xy;"},
      {"QTY > 11.999 AND QTY < 12.0001 AND QTY = 12.000 AND QTY <> 12.5 AND DUE >= DATE '2024-01-31'", "Smith, J;"},
      {"QTY IS NULL AND DUE IS NULL AND QTY IS NOT NULL OR NOT (QTY <= 12) OR DUE > DATE '2024-01-31'", ""},
      {"QTY > -123456789012345678901234.5 AND QTY < 0.0000000000000000000001e24 AND PRICE > 3.4999999", "Smith, J;"},
      {"QTY IS NULL AND DUE IS NULL AND NOT (PRICE IS NOT NULL)", "xy;"},
  };
  const std::regex name(R"re(\{"NAME":"([^"]*)")re");
  for (const auto& [condition, names] : cases) {
    const test_support::ProgramRun r = run({"--format=jsonl", "--where=" + condition, "-o", "-"});
    ASSERT_EQ(r.exitCode, 0) << condition << "\n" << r.err;
    std::string got;
    for (auto m = std::sregex_iterator(r.out.begin(), r.out.end(), name); m != std::sregex_iterator(); ++m) {
      got += (*m)[1].str() + ";";
    }
    EXPECT_EQ(got, names) << condition << "\n" << r.out;
  }
  const std::pair<std::string, std::string> bytes[] = {
      {"NAME = 'xy' AND QTY IS NULL", std::string("\"x\0y\",", 6)},
      {"NAME > 'S' AND NAME < 'T' AND QTY >= 12 AND DUE = DATE '2024-01-31'", "\"Smith, J\","},
      {"NAME <> 'xy' AND NAME <> 'Smith, J'", ""},
  };
  for (const auto& [condition, line] : bytes) {
    const test_support::ProgramRun r =
        test_support::runProgram(dir_.path(), {"--rfc4180", "--where=" + condition, "-o", "-", "typed"});
    ASSERT_EQ(r.exitCode, 0) << condition << "\n" << r.err;
    const std::size_t first = r.out.find("\r\n") + 2;
    EXPECT_EQ(r.out.substr(first, line.size()), line) << condition << "\n" << r.out;
    EXPECT_EQ(r.out.find("\r\n", first) == std::string::npos, line.empty()) << condition << "\n" << r.out;
  }
}

// What a condition asks of the table's fields is checked before any output
// exists: exit 1 with the reason; a syntax error is a usage error.
TEST_F(TypedRun, WhereRefusesWhatTheTableCannotMeanAndWritesNothing) {
  const std::pair<std::string, std::string> cases[] = {
      {"NOSUCH = 1", "--where: the table has no field NOSUCH.\n"},
      {"QTY = 'x'", "--where: QTY (a number field) cannot be compared with 'x'.\n"},
      {"qty BETWEEN 1 AND DATE '2024-01-01'", "--where: QTY (a number field) cannot be compared with DATE '2024-01-01'.\n"},
      {"NAME > QTY", "--where: NAME (a text field) cannot be compared with QTY (a number field).\n"},
      {"NAME", "--where: NAME (a text field) is no condition by itself: compare it with a value.\n"},
      {"DUE LIKE '2024%'", "--where: DUE (a date field): LIKE needs a text.\n"},
      {"BIN = 'x'", "--where: BIN (a binary field) cannot be compared with 'x'.\n"},
      {"QTY >", "dbf2csv: --where: a field or a value expected (dbf2csv --help)\n  QTY >\n       ^\n"},
  };
  for (const auto& [condition, message] : cases) {
    const test_support::ProgramRun r = run({"--typed", "--where=" + condition});
    EXPECT_EQ(r.exitCode, message.starts_with("dbf2csv:") ? 2 : 1) << condition;
    EXPECT_EQ(r.err, message);
  }
  EXPECT_EQ(dir_.listing().find("TYPED"), std::string::npos) << dir_.listing();
}

}  // namespace
