// The export run end to end: the built program in a fresh directory, as a
// calling program or a person at a shell runs it, headless.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>

#include <gtest/gtest.h>

#include "tests/support/program_run.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/dbf_writer.hpp"

namespace {

namespace fs = std::filesystem;
using test_support::DbfWriter;

const std::string k191 = "\xBF", k192 = "\xC0", k193 = "\xC1";
const std::string kNames = "\"NAME\",\"QTY\",\"PRICE\",\"DUE\",\"PAID\",\"NOTES\"\r\n";

std::string report(const std::string& output, const std::string& count) {
  return "Program Ended Normally\n\nFile " + output + " Created with " + count + " records.\n";
}

test_support::TableShape ordersSpec() {
  test_support::TableShape shape;
  shape.version = 0x83;
  shape.memo = test_support::MemoLayout::DbtIII;
  shape.fields = {{"NAME", 'C', 10}, {"QTY", 'N', 5},  {"PRICE", 'N', 8, 2},
                 {"DUE", 'D', 8},   {"PAID", 'L', 1}, {"NOTES", 'M', 10}};
  return shape;
}

class ExportRun : public testing::Test {
 protected:
  // The orders table of every test, in lower case on disk: five records,
  // one of them deleted, with the values the rendering rules are about.
  void writeOrders(const std::string& path) {
    DbfWriter w(path, ordersSpec());
    w.append({"Smith", "12", "3.50", "20110827", "T", w.memo("one\r\ntwo")});
    w.append({"", "0", "0.00", "", "F", ""});
    w.append({"Gone", "1", "1.00", "20110101", "T", ""}, true);
    w.append({"  lead", "-3", "-3.50", "20000229", "t", w.memo("soft\x8D\nbreak")});
    w.append({"say \"hi\"", "42", "12.5", "19991231", "F", w.memo("a\rb\nc")});
    w.finish();
  }

  const std::string kLines =
      "\"Smith\",\"12\",\"3.50\",\"20110827\",\"T\",\"one" + k191 + k192 + "two\"\r\n" +
      "\"\",\"0\",\"0.00\",\"\",\"F\",\"\"\r\n" +
      "\"  lead\",\"-3\",\"-3.50\",\"20000229\",\"T\",\"soft" + k191 + k192 + "break\"\r\n" +
      "\"say " + k193 + "hi" + k193 + "\",\"42\",\"12.50\",\"19991231\",\"F\",\"a" + k191 + "b" +
      k192 + "c\"\r\n";

  test_support::ProgramRun run(const std::vector<std::string>& args) {
    return test_support::runProgram(dir_.path(), args);
  }
  std::string output(const std::string& name = "ORDERS.CSV") const {
    return rt_test::readFile(dir_ / name);
  }

  rt_test::TempDir dir_;
};

TEST_F(ExportRun, TheCommandLineNamesTheTableAndTheFlag) {
  struct Case {
    std::vector<std::string> args;
    bool names;
  };
  const Case cases[] = {{{"orders"}, true},          {{"orders", "n"}, false},
                        {{"orders", "No"}, false},   {{"orders", "Y"}, true},
                        {{"orders", ""}, true},      {{"Orders.Dbf", "N", "extra"}, false}};
  writeOrders(dir_ / "orders.dbf");
  for (const auto& c : cases) {
    const test_support::ProgramRun r = run(c.args);
    EXPECT_EQ(r.exitCode, 0) << c.args[0];
    EXPECT_EQ(r.err, report("ORDERS.CSV", "4"));
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(output(), (c.names ? kNames : "") + kLines) << c.args.size();
  }
}

// An option after the table is read as one: "orders -o x.csv" must not
// write ORDERS.CSV with the default format and say nothing.
TEST_F(ExportRun, OptionsAfterTheTableAreReadAsOptions) {
  writeOrders(dir_ / "orders.dbf");
  const test_support::ProgramRun named = run({"orders", "-o", "out.csv", "N"});
  EXPECT_EQ(named.exitCode, 0) << named.err;
  EXPECT_EQ(named.err, report("out.csv", "4"));
  EXPECT_EQ(output("out.csv"), kLines);
  EXPECT_FALSE(fs::exists(dir_ / "ORDERS.CSV"));

  // Standard output is named in words in the report.
  const test_support::ProgramRun stream = run({"orders", "n", "--output=-", "-d", "tab"});
  EXPECT_EQ(stream.exitCode, 0) << stream.err;
  EXPECT_EQ(stream.err, report("standard output", "4"));
  EXPECT_EQ(stream.out.substr(0, 30), "\"Smith\"\t\"12\"\t\"3.50\"\t\"20110827\"");

  const test_support::ProgramRun unknown = run({"orders", "-x"});
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_EQ(unknown.err, "dbf2csv: unknown option -x (dbf2csv --help)\n");
  EXPECT_EQ(dir_.listing(), "orders.DBT orders.dbf out.csv");
}

TEST_F(ExportRun, AJobFileNamesTheTableIsErasedAndWinsOverTheArguments) {
  struct Case {
    std::string job;
    bool names;
  };
  const Case cases[] = {{"orders||T\r\n", true},
                        {"orders|DBFNTX|F", false},
                        {"orders||t", false},
                        {"ORDERS.DBF|x|TRUE|ignored", true}};
  writeOrders(dir_ / "orders.dbf");
  for (const auto& c : cases) {
    dir_.write("RAZAVOZ.INP", c.job);
    const test_support::ProgramRun r = run({"other", "N"});
    EXPECT_EQ(r.exitCode, 0) << c.job;
    EXPECT_EQ(r.err, report("ORDERS.CSV", "4"));
    EXPECT_EQ(output(), (c.names ? kNames : "") + kLines) << c.job;
    EXPECT_FALSE(fs::exists(dir_ / "RAZAVOZ.INP"));
  }
}

TEST_F(ExportRun, EarlyEndsAreToldAndEndWithExitCodeOne) {
  struct Case {
    std::string job;  // "" for none
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {"||T", {}, ".DBF NOT FOUND.\n"},
      {"orders|x", {"orders"}, "Job file RAZAVOZ.INP is incomplete.\n"},
      {"", {}, ""},  // no job file, no dialog answer: end of input
      {"", {""}, ""},  // names with nothing before ".DBF" name no table
      {"", {"some/folder/"}, ""},
      {"", {"missing"}, "MISSING.DBF NOT FOUND.\n"},
      {"", {"orders.txt"}, "ORDERS.TXT.DBF NOT FOUND.\n"},
      {"", {"junk"},
       "Not able to open JUNK.DBF.\n"
       "dbf2csv: Table junk.dbf has version byte 0x74, which this driver does not read\n"},
      {"", {"--", "--HELP"}, "--HELP.DBF NOT FOUND.\n"},
      // A field the table lacks fails the run before any output exists.
      {"", {"--fields=qty,nope", "orders"}, "ORDERS.DBF has no field named \"nope\".\n"},
      {"", {"--format=jsonl", "--exclude=NOPE", "orders"}, "ORDERS.DBF has no field named \"NOPE\".\n"},
      {"", {"--exclude=name,qty,price,due,paid,notes", "orders"},
       "--exclude leaves no field of ORDERS.DBF to write.\n"},
  };
  writeOrders(dir_ / "orders.dbf");
  dir_.write("junk.dbf", "this is no table at all");
  for (const auto& c : cases) {
    if (!c.job.empty()) dir_.write("RAZAVOZ.INP", c.job);
    const test_support::ProgramRun r = run(c.args);
    EXPECT_EQ(r.exitCode, 1) << c.message;
    if (c.message.empty()) {
      EXPECT_EQ(r.err,
                "dbf2csv: no table named; run dbf2csv TABLE [N], or leave a job file RAZAVOZ.INP "
                "in the current directory (dbf2csv --help)\n");
    } else {
      EXPECT_EQ(r.err, c.message);
    }
    EXPECT_EQ(dir_.listing(), "junk.dbf orders.DBT orders.dbf") << c.message;
  }
}

TEST_F(ExportRun, HelpAndVersionPrintToStandardOutput) {
  for (const char* option : {"--help", "-h"}) {
    const test_support::ProgramRun help = run({option});
    EXPECT_EQ(help.exitCode, 0) << option;
    EXPECT_EQ(help.out.rfind("Usage: dbf2csv [OPTIONS] [--] [TABLE[.DBF] [N]]\n", 0), 0u) << option;
    EXPECT_EQ(help.err, "") << option;
    // Each system's help names the windowed backend it has (dbf2csv.exe
    // runs through a launcher, Wine).
    const char* launcher = std::getenv("DBF2CSV_TEST_LAUNCHER");
    const std::string backends = launcher && *launcher ? "win32|terminal|headless" : "qt|terminal|headless";
    EXPECT_NE(help.out.find("DBF2CSV_UI=" + backends + " chooses"), std::string::npos) << help.out;
  }
  for (const char* option : {"--version", "-V"}) {
    const test_support::ProgramRun version = run({option, "ignored"});
    EXPECT_EQ(version.exitCode, 0) << option;
    EXPECT_EQ(version.out, "dbf2csv " DBF2CSV_VERSION "\n") << option;
  }
  EXPECT_EQ(dir_.listing(), "");
}

TEST_F(ExportRun, AnEmptyTableGivesOnlyTheFieldNameLine) {
  DbfWriter(dir_ / "empty.dbf", ordersSpec()).finish();
  const test_support::ProgramRun withNames = run({"empty"});
  EXPECT_EQ(withNames.exitCode, 0);
  EXPECT_EQ(withNames.err, report("EMPTY.CSV", "0"));
  EXPECT_EQ(output("EMPTY.CSV"), kNames);
  const test_support::ProgramRun without = run({"empty", "n"});
  EXPECT_EQ(without.exitCode, 0);
  EXPECT_EQ(output("EMPTY.CSV"), "");
}

TEST_F(ExportRun, TheFinalMessageCountsWithThousandsSeparators) {
  test_support::TableShape shape;
  shape.fields = {{"N", 'N', 6}, {"C", 'C', 3}};
  DbfWriter w(dir_ / "big.dbf", shape);
  std::string expected;
  for (int i = 1; i <= 1236; ++i) {
    w.append({std::to_string(i), "x  "}, i == 7 || i == 1000);
    if (i != 7 && i != 1000) expected += "\"" + std::to_string(i) + "\",\"x\"\r\n";
  }
  w.finish();
  const test_support::ProgramRun r = run({"big", "n"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, report("BIG.CSV", "1,234"));
  EXPECT_EQ(output("BIG.CSV"), expected);

  // Records passed over by choice are told as read; the limit stops the
  // reading at the last record it writes.
  const test_support::ProgramRun only = run({"--deleted=only", "big", "n"});
  EXPECT_EQ(only.err, report("BIG.CSV", "2 of 1,236"));
  EXPECT_EQ(output("BIG.CSV"), "\"7\",\"x\"\r\n\"1000\",\"x\"\r\n");
  EXPECT_EQ(run({"--deleted=only", "--limit=1", "big", "n"}).err, report("BIG.CSV", "1 of 7"));
  EXPECT_EQ(run({"--limit=1000", "big", "n"}).err, report("BIG.CSV", "1,000"));
}

// Under a code page the report counts the characters it leaves undefined
// (U+FFFD in the output): 0x81 and 0x8F have no character in 1252, every
// byte has one in 866, and without a code page nothing is counted. UTF-8,
// by any of its names or from a .CPG file, is read by the program's own
// decoder, one U+FFFD for each ill-formed part (E2 82 is one).
TEST_F(ExportRun, TheReportCountsWhatTheCodePageLeavesUndefined) {
  test_support::TableShape shape;
  shape.fields = {{"C", 'C', 4}};
  DbfWriter w(dir_ / "cp.dbf", shape);
  w.append({"a\x81" "b\x8F"});
  w.append({"\x81   "});
  w.append({"\xE2\x82ok"});
  w.finish();
  dir_.write("CP.CPG", "65001\r\n");
  const std::string kFfd = "\xEF\xBF\xBD";
  const std::string utf8Lines = "\"a" + kFfd + "b" + kFfd + "\"\r\n\"" + kFfd + "\"\r\n\"" + kFfd + "ok\"\r\n";
  struct Case {
    std::vector<std::string> args;
    std::string lines;
    std::string undefined;  // the count the report gives, "" for none
  };
  const Case cases[] = {
      {{"-e", "1252", "cp", "n"}, "\"a" + kFfd + "b" + kFfd + "\"\r\n\"" + kFfd + "\"\r\n\"\xC3\xA2\xE2\x80\x9Aok\"\r\n", "3"},
      {{"-e", "1252", "--rfc4180", "cp", "n"}, "\"a" + kFfd + "b" + kFfd + "\"\r\n\"" + kFfd + "\"\r\n\"\xC3\xA2\xE2\x80\x9Aok\"\r\n", "3"},
      {{"-e", "866", "cp", "n"}, "\"a\xD0\x91" "b\xD0\x9F\"\r\n\"\xD0\x91\"\r\n\"\xD1\x82\xD0\x92ok\"\r\n", ""},
      {{"cp", "n"}, "\"a\x81" "b\x8F\"\r\n\"\x81\"\r\n\"\xE2\x82ok\"\r\n", ""},
      {{"-e", "utf-8", "cp", "n"}, utf8Lines, "4"},
      {{"-e", "65001", "cp", "n"}, utf8Lines, "4"},
      {{"-e", "UTF8", "--rfc4180", "cp", "n"}, utf8Lines, "4"},
      {{"-e", "auto", "cp", "n"}, utf8Lines, "4"},
  };
  for (const auto& c : cases) {
    const test_support::ProgramRun r = run(c.args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::string told = report("CP.CSV", "3");
    if (!c.undefined.empty()) {
      told.pop_back();
      told += "\n\n" + c.undefined + " characters undefined in the code page were written as U+FFFD.\n";
    }
    EXPECT_EQ(r.err, told) << c.args[1];
    EXPECT_EQ(output("CP.CSV"), c.lines) << c.args[1];
  }
}

// A code page named with --encoding that cannot be converted is a usage
// error before anything is read; one the table declares is that table's
// failure.
TEST_F(ExportRun, ACodePageThatCannotBeConvertedIsAUsageErrorOnlyWhenNamed) {
  writeOrders(dir_ / "orders.dbf");
  const std::string before = dir_.listing();
  const test_support::ProgramRun named = run({"-e", "nosuch", "orders"});
  EXPECT_EQ(named.exitCode, 2);
  EXPECT_EQ(named.err, "dbf2csv: --encoding nosuch: not a code page that can be converted here (dbf2csv --help)\n");
  EXPECT_EQ(dir_.listing(), before);

  // Byte 29 = 0x68: Kamenicky (895), which no converter knows.
  test_support::TableShape shape;
  shape.fields = {{"C", 'C', 4}};
  DbfWriter(dir_ / "kam.dbf", shape).finish();
  {
    std::fstream f(dir_ / "kam.dbf", std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(29);
    f.put('\x68');
  }
  const test_support::ProgramRun declared = run({"-e", "auto", "kam"});
  EXPECT_EQ(declared.exitCode, 1);
  EXPECT_EQ(declared.err, "Code page 895 of KAM.DBF cannot be converted here.\n");
  EXPECT_FALSE(fs::exists(dir_ / "KAM.CSV"));
}

// --encoding=guess on a table that declares nothing: three records of
// Russian in code page 866 among plain ones, one in a memo, convert as
// with -e 866, and one line names the choice; plain ASCII takes 437.
TEST_F(ExportRun, AGuessedCodePageConvertsAsTheNamedOneAndIsToldInOneLine) {
  test_support::TableShape shape;
  shape.version = 0x83;
  shape.memo = test_support::MemoLayout::DbtIII;
  shape.fields = {{"NAME", 'C', 30}, {"NOTES", 'M', 10}};
  {
    DbfWriter w(dir_ / "ru.dbf", shape);
    for (int i = 0; i < 40; ++i) {
      w.append({"ACME " + std::to_string(i), ""});
      if (i == 5) w.append({"\x88\xA2\xA0\xAD\xAE\xA2 \x8F\xF1\xE2\xE0 \x91\xA5\xE0\xA3\xA5\xA5\xA2\xA8\xE7", ""});
      if (i == 20) w.append({"\x91\xA8\xA4\xAE\xE0\xAE\xA2\xA0 \x80\xAD\xAD\xA0", ""});
    }
    w.append({"Last", w.memo("\x87\xA0\xAA\xA0\xA7 \xAF\xAE\xAB\xE3\xE7\xA5\xAD \xAD\xA0 \xE1\xAA\xAB\xA0\xA4\xA5 \xA8 "
                             "\xAE\xE2\xAF\xE0\xA0\xA2\xAB\xA5\xAD \xAF\xAE\xAA\xE3\xAF\xA0\xE2\xA5\xAB\xEE")});
    w.finish();
  }
  // How sure, and which page comes next, are the guesser's to tune.
  const std::regex line("RU\\.DBF reads as code page 866 \\(sure: [01]\\.[0-9]{2}; next [^:]+: [01]\\.[0-9]{2}; "
                        "declared: none\\)\n");
  const test_support::ProgramRun named = run({"-e", "866", "-o", "named.csv", "ru"});
  ASSERT_EQ(named.exitCode, 0) << named.err;
  const test_support::ProgramRun guessed = run({"--encoding=guess", "ru"});
  EXPECT_EQ(guessed.exitCode, 0);
  std::smatch m;
  EXPECT_TRUE(std::regex_search(guessed.err, m, line) && m.position(0) == 0) << guessed.err;
  EXPECT_EQ(m.suffix().str(), report("RU.CSV", "43"));
  EXPECT_EQ(output("RU.CSV"), output("named.csv"));

  DbfWriter plain(dir_ / "plain.dbf", shape);
  plain.append({"ACME", plain.memo("plain text")});
  plain.finish();
  const test_support::ProgramRun ascii = run({"-e", "guess", "plain"});
  EXPECT_EQ(ascii.exitCode, 0);
  EXPECT_EQ(ascii.err, "PLAIN.DBF holds no text beyond ASCII: code page 437 (declared: none)\n" +
                           report("PLAIN.CSV", "1"));

  // A picture kept in a memo is no text to read; text that no page reads
  // surely takes the page the table declares, and the line says so.
  DbfWriter weak(dir_ / "weak.dbf", shape);
  weak.append({"x\xA4\xA4 \xA7 3", weak.memo(std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\xC4\xD9\xE1", 14))});
  weak.finish();
  dir_.write("weak.cpg", "866");
  ASSERT_EQ(run({"-e", "866", "-o", "named.csv", "weak"}).exitCode, 0);
  const test_support::ProgramRun declared = run({"-e", "guess", "weak"});
  EXPECT_EQ(declared.exitCode, 0);
  const std::regex asDeclared("WEAK\\.DBF reads as no code page for sure \\(best [^:]+: 0\\.[0-4][0-9]\\): code page 866 "
                              "as declared\n");
  EXPECT_TRUE(std::regex_search(declared.err, m, asDeclared) && m.position(0) == 0) << declared.err;
  EXPECT_EQ(output("WEAK.CSV"), output("named.csv"));
}

// --info shows the table and converts nothing; a table that is not there
// is told as a run tells it.
TEST_F(ExportRun, InfoDescribesTheTableAndWritesNothing) {
  writeOrders(dir_ / "orders.dbf");
  const std::string before = dir_.listing();
  const test_support::ProgramRun r = run({"--info", "orders"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  // The ranking is the guesser's (the memo's soft line break is its only
  // byte above 127).
  EXPECT_EQ(std::regex_replace(r.out, std::regex("Guess:      [^\n]*"), "Guess:      ..."),
            "Table:      ORDERS.DBF\n"
            "Format:     dBase III with memo, version byte 0x83\n"
            "Records:    5\n"
            "Memo file:  ORDERS.DBT\n"
            "Code page:  none\n"
            "Guess:      ...\n"
            "Fields:\n"
            "  NAME        C 10\n"
            "  QTY         N 5\n"
            "  PRICE       N 8,2\n"
            "  DUE         D 8\n"
            "  PAID        L 1\n"
            "  NOTES       M 10\n");
  // The same facts for a program: one JSON object.
  const test_support::ProgramRun json = run({"--info", "--format=jsonl", "orders"});
  EXPECT_EQ(json.exitCode, 0) << json.err;
  EXPECT_EQ(std::regex_replace(json.out, std::regex("\"guess\":.*\"fields\""), "\"guess\":...\"fields\""),
            "{\"table\":\"ORDERS.DBF\",\"format\":\"dBase III with memo\",\"version\":\"0x83\","
            "\"records\":5,\"records_held\":5,\"memo_file\":\"ORDERS.DBT\",\"code_page\":\"none\","
            "\"guess\":...\"fields\":[{\"name\":\"NAME\",\"type\":\"C\",\"length\":10,\"decimals\":0,"
            "\"nullable\":false},{\"name\":\"QTY\",\"type\":\"N\",\"length\":5,\"decimals\":0,"
            "\"nullable\":false},{\"name\":\"PRICE\",\"type\":\"N\",\"length\":8,\"decimals\":2,"
            "\"nullable\":false},{\"name\":\"DUE\",\"type\":\"D\",\"length\":8,\"decimals\":0,"
            "\"nullable\":false},{\"name\":\"PAID\",\"type\":\"L\",\"length\":1,\"decimals\":0,"
            "\"nullable\":false},{\"name\":\"NOTES\",\"type\":\"M\",\"length\":10,\"decimals\":0,"
            "\"nullable\":false}]}\n");
  EXPECT_TRUE(std::regex_search(json.out, std::regex("\"ranking\":\\[(\\{\"code_page\":\"[^\"]+\",\"sure\":[01]\\.[0-9]{2}\\},?)*\\]")))
      << json.out;
  // The fields a choice would write, in its order.
  const test_support::ProgramRun chosen = run({"--info", "--fields=paid,name", "orders"});
  EXPECT_NE(chosen.out.find("Fields:\n  PAID        L 1\n  NAME        C 10\n"), std::string::npos) << chosen.out;
  EXPECT_NE(run({"--info", "--format=jsonl", "--exclude=name,qty,price,due,paid", "orders"})
                .out.find("\"fields\":[{\"name\":\"NOTES\""),
            std::string::npos);
  const test_support::ProgramRun lacking = run({"--info", "--fields=nope", "orders"});
  EXPECT_EQ(lacking.exitCode, 1);
  EXPECT_EQ(lacking.err, "ORDERS.DBF has no field named \"nope\".\n");
  const test_support::ProgramRun missing = run({"--info", "nosuch"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.err, "NOSUCH.DBF NOT FOUND.\n");
  EXPECT_EQ(run({"--info"}).exitCode, 2);
  EXPECT_EQ(dir_.listing(), before);
}

TEST_F(ExportRun, AnExistingOutputIsReplacedNotAppendedTo) {
  writeOrders(dir_ / "orders.dbf");
  dir_.write("ORDERS.CSV", std::string(100000, 'x'));
  EXPECT_EQ(run({"orders"}).exitCode, 0);
  EXPECT_EQ(output(), kNames + kLines);
  EXPECT_EQ(dir_.listing(), "ORDERS.CSV orders.DBT orders.dbf");
}

TEST_F(ExportRun, TheOutputLiesBesideATableInADirectoryNamedDbf) {
  fs::create_directory(dir_ / "old.dbf");
  writeOrders(dir_ / "old.dbf/orders.dbf");
  const test_support::ProgramRun r = run({"old.dbf/orders"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, report("old.dbf/ORDERS.CSV", "4"));
  EXPECT_EQ(output("old.dbf/ORDERS.CSV"), kNames + kLines);
  EXPECT_EQ(dir_.listing(), "old.dbf");
}

TEST_F(ExportRun, MessagesShowTheFoldersAsTheyAreOnDisk) {
  fs::create_directories(dir_ / "sub/Deep");
  writeOrders(dir_ / "sub/Deep/orders.dbf");
  struct Case {
    std::string table, told;
  };
  const Case cases[] = {
      {dir_ / "sub/Deep/orders.dbf", report(dir_ / "sub/Deep/ORDERS.CSV", "4")},
      {"SUB\\DEEP\\ORDERS", report("sub/Deep/ORDERS.CSV", "4")},
      {"sub/Deep/missing", "sub/Deep/MISSING.DBF NOT FOUND.\n"},
      {"nowhere/orders", "NOWHERE/ORDERS.DBF NOT FOUND.\n"},
  };
  for (const Case& c : cases) {
    const test_support::ProgramRun r = run({c.table});
    EXPECT_EQ(r.err, c.told) << c.table;
  }
  EXPECT_EQ(output("sub/Deep/ORDERS.CSV"), kNames + kLines);
}

TEST_F(ExportRun, AnExactPathWinsOverOneThatDiffersOnlyInCase) {
  // Two folders whose names differ only in case, each with an orders table:
  // data's holds the records, DATA's none.
  fs::create_directory(dir_ / "data");
  fs::create_directory(dir_ / "DATA");
  writeOrders(dir_ / "data/orders.dbf");
  DbfWriter(dir_ / "DATA/orders.dbf", ordersSpec()).finish();
  struct Case {
    std::string job;  // "" for none
    std::vector<std::string> args;
    std::string folder, count, csv;
  };
  const Case cases[] = {
      {"", {"data/orders.dbf"}, "data", "4", kNames + kLines},
      {"", {"data/orders"}, "data", "4", kNames + kLines},
      {"", {"DATA/orders.dbf"}, "DATA", "0", kNames},
      {"data/orders.dbf||T", {}, "data", "4", kNames + kLines},
      {"DATA/orders||T", {"data/orders"}, "DATA", "0", kNames},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.job + (c.args.empty() ? "" : c.args[0]));
    fs::remove(dir_ / "data/ORDERS.CSV");
    fs::remove(dir_ / "DATA/ORDERS.CSV");
    if (!c.job.empty()) dir_.write("RAZAVOZ.INP", c.job);
    const test_support::ProgramRun r = run(c.args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, report(c.folder + "/ORDERS.CSV", c.count));
    EXPECT_EQ(output(c.folder + "/ORDERS.CSV"), c.csv);
    EXPECT_FALSE(fs::exists(dir_ / ((c.folder == "data" ? "DATA" : "data") + std::string("/ORDERS.CSV"))));
  }
}

// An output that is a file the run reads (the table, its memo file, its
// code page file), by any spelling or link, is refused before anything is
// written.
TEST_F(ExportRun, AnOutputThatIsTheTableOrAFileReadBesideItIsRefused) {
  writeOrders(dir_ / "orders.dbf");
  dir_.write("orders.cpg", "1252");
  fs::create_directory(dir_ / "sub");
  fs::create_hard_link(dir_ / "orders.dbf", dir_ / "hard.csv");
  fs::create_symlink("orders.DBT", dir_ / "soft.csv");
  const std::string table = output("orders.dbf"), memo = output("orders.DBT"), listing = dir_.listing();
  const std::string kTable = "the table ORDERS.DBF itself", kMemo = "the memo file of ORDERS.DBF";
  const std::pair<std::string, std::string> cases[] = {
      {"orders.dbf", kTable}, {"Orders.DBF", kTable}, {"sub/../orders.dbf", kTable}, {"hard.csv", kTable},
      {"orders.dbt", kMemo},  {"soft.csv", kMemo},    {"ORDERS.CPG", "the code page file of ORDERS.DBF"},
  };
  for (const auto& [name, what] : cases) {
    const test_support::ProgramRun r = run({"-o", name, "orders"});
    EXPECT_EQ(r.exitCode, 1) << name;
    EXPECT_EQ(r.err, "Not converted: the output " + name + " is " + what + ".\n");
    EXPECT_EQ(output("orders.dbf"), table) << name;
    EXPECT_EQ(output("orders.DBT"), memo) << name;
    EXPECT_EQ(dir_.listing(), listing) << name;
  }
}

// What no file can replace is written where it is, by any user: devices, a
// FIFO (its reader gets the lines), standard output by its name (as -o -).
TEST_F(ExportRun, DevicesAndFifosAreWrittenWhereTheyAre) {
  writeOrders(dir_ / "orders.dbf");
  fs::permissions(dir_.path(), fs::perms(0755));
  ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0), 0);
  fs::permissions(dir_ / "fifo", fs::perms(0666));
  // The reader is there first, so the program's open of the FIFO goes on.
  const int reader = ::open((dir_ / "fifo").c_str(), O_RDONLY | O_NONBLOCK);
  test_support::ProgramJob job{dir_.path(), {"-o", "-", "orders"}, std::nullopt, std::nullopt};
  // An ordinary user; as root, a run before the mend would replace /dev/null.
  if (::geteuid() == 0) job.user = 65534;
  const test_support::ProgramRun dash = test_support::runProgram(job);
  struct Case {
    std::string output, err, out;
  };
  const Case cases[] = {
      {"/dev/null", report("/dev/null", "4"), ""},
      {"/dev/full", "Not able to write /dev/full.\ndbf2csv: No space left on device\n", ""},
      {"/dev/stdout", dash.err, kNames + kLines},
      {"fifo", report("fifo", "4"), ""},
  };
  for (const Case& c : cases) {
    const std::string path = c.output[0] == '/' ? c.output : dir_ / c.output;
    struct stat before {}, after {};
    ASSERT_EQ(::lstat(path.c_str(), &before), 0);
    job.args = {"-o", c.output, "orders"};
    const test_support::ProgramRun r = test_support::runProgram(job);
    EXPECT_EQ(r.exitCode, c.output == "/dev/full" ? 1 : 0) << c.output;
    EXPECT_EQ(r.err, c.err) << c.output;
    EXPECT_EQ(r.out, c.out) << c.output;
    ASSERT_EQ(::lstat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & S_IFMT, before.st_mode & S_IFMT) << c.output;
  }
  std::string fromFifo(4096, '\0');
  const ssize_t got = ::read(reader, fromFifo.data(), fromFifo.size());
  ::close(reader);
  EXPECT_EQ(fromFifo.substr(0, got > 0 ? got : 0), kNames + kLines);
  EXPECT_EQ(dir_.listing(), "fifo orders.DBT orders.dbf");
}

}  // namespace
