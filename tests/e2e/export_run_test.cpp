// The export run end to end: the built program in a fresh directory, as a
// calling program or a person at a shell runs it, headless.
#include <cstdlib>
#include <filesystem>
#include <fstream>

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
      {"", {"missing"}, "MISSING.DBF NOT FOUND.\n"},
      {"", {"orders.txt"}, "ORDERS.TXT.DBF NOT FOUND.\n"},
      {"", {"junk"}, "Not able to open JUNK.DBF.\n"},
      {"", {"--", "--HELP"}, "--HELP.DBF NOT FOUND.\n"},
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
  const test_support::ProgramRun help = run({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(help.out.rfind("Usage: dbf2csv [OPTIONS] [--] [TABLE[.DBF] [N]]\n", 0), 0u);
  EXPECT_EQ(help.err, "");
  const test_support::ProgramRun version = run({"--version", "ignored"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, "dbf2csv " DBF2CSV_VERSION "\n");
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
  EXPECT_EQ(r.err, report("OLD.DBF/ORDERS.CSV", "4"));
  EXPECT_EQ(output("old.dbf/ORDERS.CSV"), kNames + kLines);
  EXPECT_EQ(dir_.listing(), "old.dbf");
}

TEST_F(ExportRun, UsageErrorsEndWithExitCodeTwoAndWriteNothing) {
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const Case cases[] = {
      {{"--frobnicate", "orders"}, "dbf2csv: unknown option --frobnicate (dbf2csv --help)\n"},
      {{"-x", "orders"}, "dbf2csv: unknown option -x (dbf2csv --help)\n"},
      {{"-d", "\"", "orders"},
       "dbf2csv: --delimiter \": cannot be a double quote, CR or LF (dbf2csv --help)\n"},
      {{"--bom", "orders"}, "dbf2csv: --bom needs --encoding (dbf2csv --help)\n"},
      {{"orders", "N", "-o"}, ""},  // after the table nothing is an option
      {{"-o"}, "dbf2csv: --output needs a value (dbf2csv --help)\n"},
  };
  writeOrders(dir_ / "orders.dbf");
  for (const auto& c : cases) {
    const test_support::ProgramRun r = run(c.args);
    if (c.err.empty()) {
      EXPECT_EQ(r.exitCode, 0) << r.err;
      fs::remove(dir_ / "ORDERS.CSV");
      continue;
    }
    EXPECT_EQ(r.exitCode, 2) << c.err;
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(dir_.listing(), "orders.DBT orders.dbf") << c.err;
  }
}

// The same records with another delimiter, and with RFC 4180 quoting: the
// quote doubled, CR, LF and byte 141 kept.
TEST_F(ExportRun, OptionsChooseTheDelimiterTheQuotingAndTheOutput) {
  const auto delimited = [](std::string lines, const std::string& by) {
    for (std::size_t at = 0; (at = lines.find("\",\"", at)) != std::string::npos; at += 3) {
      lines.replace(at + 1, 1, by);
    }
    return lines;
  };
  const std::string rfc =
      "\"Smith\",\"12\",\"3.50\",\"20110827\",\"T\",\"one\r\ntwo\"\r\n"
      "\"\",\"0\",\"0.00\",\"\",\"F\",\"\"\r\n"
      "\"  lead\",\"-3\",\"-3.50\",\"20000229\",\"T\",\"soft\x8D\nbreak\"\r\n"
      "\"say \"\"hi\"\"\",\"42\",\"12.50\",\"19991231\",\"F\",\"a\rb\nc\"\r\n";
  struct Case {
    std::vector<std::string> args;
    std::string file, content;
  };
  const Case cases[] = {
      {{"-d", ";", "orders"}, "ORDERS.CSV", delimited(kNames + kLines, ";")},
      {{"--delimiter=tab", "orders", "N"}, "ORDERS.CSV", delimited(kLines, "\t")},
      {{"--rfc4180", "orders", "N"}, "ORDERS.CSV", rfc},
      {{"--rfc4180", "-d|", "orders", "N"}, "ORDERS.CSV", delimited(rfc, "|")},
      {{"-o", "OUT.TXT", "orders"}, "OUT.TXT", kNames + kLines},
      {{"--output=OUT.CSV", "--", "orders", "N"}, "OUT.CSV", kLines},
  };
  writeOrders(dir_ / "orders.dbf");
  for (const auto& c : cases) {
    const test_support::ProgramRun r = run(c.args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, report(c.file == "ORDERS.CSV" ? "ORDERS.CSV" : c.file, "4"));
    EXPECT_EQ(output(c.file), c.content) << c.args[0];
    EXPECT_EQ(dir_.listing(), c.file + " orders.DBT orders.dbf") << c.args[0];
    fs::remove(dir_ / c.file);
  }
}

TEST_F(ExportRun, StandardOutputGetsTheBytesOfTheFile) {
  writeOrders(dir_ / "orders.dbf");
  const test_support::ProgramRun piped = run({"--rfc4180", "-o", "-", "orders"});
  EXPECT_EQ(piped.exitCode, 0);
  EXPECT_EQ(piped.err, report("-", "4"));
  EXPECT_EQ(dir_.listing(), "orders.DBT orders.dbf");
  EXPECT_EQ(run({"--rfc4180", "orders"}).exitCode, 0);
  EXPECT_EQ(piped.out, output());
}

// A cp866 table: field name ИМЯ, the values "Привет", a quote with a CR,
// and byte 141, which is the letter Н in cp866.
class EncodedRun : public ExportRun {
 protected:
  void writeTable(std::uint8_t mark) {
    test_support::TableShape shape;
    shape.fields = {{"\x88\x8C\x9F", 'C', 8}, {"N", 'N', 3}};
    {
      DbfWriter w(dir_ / "ru.dbf", shape);
      w.append({"\x8F\xE0\xA8\xA2\xA5\xE2", "7"});
      w.append({"a\"b\rc\x8D", "-1"});
      w.finish();
    }
    std::fstream f(dir_ / "ru.dbf", std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(29);
    f.put(static_cast<char>(mark));
  }
  const std::string kNamesUtf8 = "\"ИМЯ\",\"N\"\r\n";
  const std::string kLinesUtf8 = "\"Привет\",\"7\"\r\n\"a\u00C1b\u00BFcН\",\"-1\"\r\n";
};

TEST_F(EncodedRun, TextAndNamesAreConvertedFromTheCodePageNamedOrDeclared) {
  struct Case {
    std::uint8_t mark;
    std::string cpg;  // "" for no .CPG file
    std::vector<std::string> args;
    std::string content;
  };
  const Case cases[] = {
      {0, "", {"-e", "866", "ru"}, kNamesUtf8 + kLinesUtf8},
      {0, "", {"--encoding=CP866", "--bom", "ru"}, "\xEF\xBB\xBF" + kNamesUtf8 + kLinesUtf8},
      {0x65, "", {"-e", "auto", "ru", "N"}, kLinesUtf8},
      {0, "ANSI 866\r\n", {"--encoding=auto", "ru", "N"}, kLinesUtf8},
      {0x65, "", {"-e", "auto", "--rfc4180", "ru", "N"},
       "\"Привет\",\"7\"\r\n\"a\"\"b\rcН\",\"-1\"\r\n"},
      {0, "", {"-e", "1252", "ru", "N"},
       "\"\uFFFD\u00E0\u00A8\u00A2\u00A5\u00E2\",\"7\"\r\n\"a\u00C1b\u00BFc\u00BF\",\"-1\"\r\n"},
  };
  for (const auto& c : cases) {
    writeTable(c.mark);
    if (!c.cpg.empty()) dir_.write("RU.cpg", c.cpg);
    const test_support::ProgramRun r = run(c.args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(output("RU.CSV"), c.content) << c.args[1];
    fs::remove(dir_ / "RU.CSV");
    fs::remove(dir_ / "RU.cpg");
  }
}

TEST_F(EncodedRun, ATableThatDeclaresNoCodePageIsNotGuessedAt) {
  writeTable(0);
  const test_support::ProgramRun r = run({"--encoding=auto", "ru"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "RU.DBF declares no code page: name it with --encoding=CODEPAGE.\n");
  const test_support::ProgramRun unknown = run({"-e", "no-such-page", "ru"});
  EXPECT_EQ(unknown.exitCode, 1);
  EXPECT_EQ(unknown.err, "Code page no-such-page of RU.DBF cannot be converted here.\n");
  EXPECT_EQ(dir_.listing(), "ru.dbf");
}

// Python's csv module reads an RFC 4180 output back to the stored values,
// quotes and line breaks included.
TEST_F(ExportRun, PythonsCsvModuleReadsAnRfc4180OutputBackExactly) {
  writeOrders(dir_ / "orders.dbf");
  ASSERT_EQ(run({"--rfc4180", "-d", ";", "orders"}).exitCode, 0);
  const std::string script =
      "import csv,sys\n"
      "rows = list(csv.reader(open(sys.argv[1], newline='', encoding='latin-1'), delimiter=';'))\n"
      "print(repr(rows))\n";
  dir_.write("read.py", script);
  const std::string command = "cd '" + dir_.path() + "' && /usr/bin/python3 read.py ORDERS.CSV > rows.txt";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(output("rows.txt"),
            "[['NAME', 'QTY', 'PRICE', 'DUE', 'PAID', 'NOTES'], "
            "['Smith', '12', '3.50', '20110827', 'T', 'one\\r\\ntwo'], "
            "['', '0', '0.00', '', 'F', ''], "
            "['  lead', '-3', '-3.50', '20000229', 'T', 'soft\\x8d\\nbreak'], "
            "['say \"hi\"', '42', '12.50', '19991231', 'F', 'a\\rb\\nc']]\n");
}

}  // namespace
