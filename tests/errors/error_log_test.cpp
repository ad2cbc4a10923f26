// The error log: its layout line by line, the choice of file name, the
// messages after writing and the settings it puts back.
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "platform/rt/call_frame.hpp"
#include "platform/rt/dates.hpp"
#include "platform/rt/error_codes.hpp"
#include "platform/rt/program_end.hpp"
#include "platform/rt/sysinfo.hpp"
#include "src/errors/error_log.hpp"
#include "tests/errors/errors_fixture.hpp"
#include "tests/errors/read_only_run.hpp"

namespace {

using errors_test::ErrorsTest;
using errors_test::Outcome;
using errors_test::runToEnd;

const std::string kSeparator(78, '-');

// The report's lines: the file begins with a line break and ends with one.
std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  lines.push_back(text.substr(start));
  return lines;
}

rt::ErrorPtr fixedError() {
  auto e = std::make_shared<rt::ErrorObject>();
  e->genCode = 32;
  e->subSystem = "DBFNTX";
  e->subCode = 1012;
  e->severity = 2;
  e->description = "Record 7 of ORDERS.DBF lies beyond the end of the file";
  e->fileName = "ORDERS.DBF";
  e->operation = "DBSKIP";
  e->tries = 1;
  auto object = std::make_shared<rt::ErrorObject>();
  e->args = rt::Value(rt::Array{rt::Value("ORDERS.DBF"), rt::Value(7), rt::Value(true),
                                rt::Value(rt::Date::fromYmd(2024, 2, 29)),
                                rt::Value(rt::Array{rt::Value(1), rt::Value("two")}),
                                rt::Value(std::shared_ptr<rt::Object>(object)), rt::Value()});
  return e;
}

// Calls errorLog as the handler does, two call levels above the routine in
// which the error was raised (DBF2ARRAY, called from MAIN).
Outcome logFromHandler(const rt::ErrorPtr& e) {
  rt::CallFrame main("MAIN", 88);
  rt::CallFrame reader("DBF2ARRAY", 12);
  rt::CallFrame block("(b)ERRORSYS", 3);
  rt::CallFrame handler("STANDARDEH", 41);
  return runToEnd([&] {
    errors::errorLog(e, 2);
    return rt::Value();
  });
}

class ErrorLogTest : public ErrorsTest {};

TEST_F(ErrorLogTest, LayoutLineByLine) {
  windowed();
  ASSERT_EQ(logFromHandler(fixedError()).kind, Outcome::Returned);
  const std::vector<std::string> expected = {
      "",
      kSeparator,
      "(header)",
      "",
      "Runtime version     : " + rt::version() + "." + rt::version(3),
      "Operating system    : " + rt::os(),
      kSeparator,
      "oError:args         :",
      "          -> VALTYPE: C VALUE: ORDERS.DBF",
      "          -> VALTYPE: N VALUE: 7",
      "          -> VALTYPE: L VALUE: .T.",
      "          -> VALTYPE: D VALUE: 02/29/2024",
      "          -> VALTYPE: A VALUE: {1, two}",
      "          -> VALTYPE: O CLASS: ERROR",
      "          -> VALTYPE: U VALUE: NIL",
      "oError:canDefault   : .F.",
      "oError:canRetry     : .F.",
      "oError:canSubstitute: .F.",
      "oError:cargo        : NIL",
      "oError:description  : Record 7 of ORDERS.DBF lies beyond the end of the file",
      "oError:filename     : ORDERS.DBF",
      "oError:genCode      : 32",
      "oError:operation    : DBSKIP",
      "oError:osCode       : 0",
      "oError:severity     : 2",
      "oError:subCode      : 1012",
      "oError:subSystem    : DBFNTX",
      "oError:thread       : 1",
      "oError:tries        : 1",
      kSeparator,
      "CALLSTACK:",
      kSeparator,
      "Called from DBF2ARRAY(12)",
      "Called from MAIN(88)",
      "",
  };
  std::vector<std::string> lines = linesOf(logFile());
  ASSERT_EQ(lines.size(), expected.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i == 2) continue;
    EXPECT_EQ(lines[i], expected[i]) << "line " << i;
  }
  const std::string header = "ERROR LOG of \"" + rt::appName(true) + "\" Date: " + rt::dtoc(rt::date()) + " ";
  EXPECT_EQ(lines[2].substr(0, header.size()), header);
  EXPECT_TRUE(std::regex_match(lines[2].substr(header.size()), std::regex("[0-9]{2}:[0-9]{2}:[0-9]{2}")))
      << lines[2];
  EXPECT_EQ(kit_->texts("msgBox"), std::vector<std::string>{"Error log was written to the file APPERROR.LOG"});
}

TEST_F(ErrorLogTest, ArgumentLinesForNilAndEmptyArgs) {
  windowed();
  struct Case {
    const char* name;
    rt::Value args;
    const char* lineAfterLabel;
  } cases[] = {
      {"NIL", rt::Value(), "           -> NIL"},
      {"a text instead of an array", rt::Value("ORDERS.DBF"), "           -> NIL"},
      {"empty array", rt::Value(rt::Array{}), "oError:canDefault   : .F."},
  };
  for (const Case& c : cases) {
    auto e = fixedError();
    e->args = c.args;
    ASSERT_EQ(logFromHandler(e).kind, Outcome::Returned) << c.name;
    std::vector<std::string> lines = linesOf(logFile());
    ASSERT_EQ(lines[7], "oError:args         :") << c.name;
    EXPECT_EQ(lines[8], c.lineAfterLabel) << c.name;
    EXPECT_EQ(lines[9], c.args.isArray() ? "oError:canRetry     : .F." : "oError:canDefault   : .F.")
        << c.name;
  }
}

TEST_F(ErrorLogTest, CallStackOfTheErrorObjectOneEntryPerLine) {
  windowed();
  auto e = fixedError();
  e->getCallstack = [](const std::string& separator) {
    return "Called from DBSKIP(0)" + separator + "Called from MAIN(40)";
  };
  ASSERT_EQ(logFromHandler(e).kind, Outcome::Returned);
  std::vector<std::string> lines = linesOf(logFile());
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[lines.size() - 4], kSeparator);
  EXPECT_EQ(lines[lines.size() - 3], "Called from DBSKIP(0)");
  EXPECT_EQ(lines[lines.size() - 2], "Called from MAIN(40)");
  EXPECT_EQ(lines.back(), "");
}

TEST_F(ErrorLogTest, EachReportOverwritesTheLog) {
  windowed();
  auto first = fixedError();
  first->description = "first error";
  auto second = fixedError();
  second->description = "second";
  logFromHandler(first);
  logFromHandler(second);
  std::string log = logFile();
  EXPECT_EQ(log.find("first error"), std::string::npos);
  EXPECT_NE(log.find("oError:description  : second\r\n"), std::string::npos);
  EXPECT_EQ(log.find("ERROR LOG of"), log.rfind("ERROR LOG of"));
}

TEST_F(ErrorLogTest, ReadOnlyNamesAreSkipped) {
  windowed();
  struct Case {
    std::vector<std::string> readOnly;
    const char* written;
  } cases[] = {
      {{"APPERROR.LOG"}, "APPERROR.001"},
      {{"APPERROR.LOG", "APPERROR.001"}, "APPERROR.002"},
  };
  for (const Case& c : cases) {
    for (const std::string& name : c.readOnly) {
      dir_.write(name, "kept");
      std::filesystem::permissions(dir_ / name, std::filesystem::perms::owner_read |
                                                    std::filesystem::perms::group_read |
                                                    std::filesystem::perms::others_read);
    }
    const int ended = errors_test::runWhereReadOnlyHolds(dir_.path(), [] {
      return runToEnd([] {
               errors::errorLog(fixedError(), 2);
               return rt::Value();
             }).kind == Outcome::Quit;
    });
    ASSERT_EQ(ended, 0) << c.written;
    for (const std::string& name : c.readOnly) EXPECT_EQ(logFile(name), "kept") << name;
    EXPECT_NE(logFile(c.written).find("oError:genCode      : 32"), std::string::npos) << c.written;
    std::filesystem::remove(dir_ / c.written);
  }
}

TEST_F(ErrorLogTest, NoNameAvailableEndsTheProgram) {
  // A directory in the way cannot be opened as a file, whoever runs the test.
  std::filesystem::create_directory(dir_ / "APPERROR.LOG");
  for (int n = 1; n <= 999; ++n) {
    std::string ext = std::to_string(n);
    std::filesystem::create_directory(dir_ / ("APPERROR." + std::string(3 - ext.size(), '0') + ext));
  }
  struct Case {
    const char* name;
    bool windowed;
    const char* stderrText;
    std::vector<std::string> boxes;
  } cases[] = {
      {"windowed", true, "", {"Unable to open error log file"}},
      {"text mode", false, "\n\rUnable to open error log file", {}},
  };
  for (const Case& c : cases) {
    kit_->shown.clear();
    rt::errorLevel(0);
    if (c.windowed)
      windowed();
    else
      textMode(false);
    testing::internal::CaptureStderr();
    Outcome out = logFromHandler(fixedError());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.stderrText) << c.name;
    EXPECT_EQ(out.kind, Outcome::Quit) << c.name;
    EXPECT_EQ(rt::errorLevel(), 1) << c.name;
    EXPECT_EQ(kit_->texts("msgBox"), c.boxes) << c.name;
  }
}

TEST_F(ErrorLogTest, SettingsAndErrorBlockAreAsBeforeAfterANormalReturn) {
  textMode(false);
  rt::set(rt::Set::Printer, true);
  rt::set(rt::Set::Extra, true);
  rt::set(rt::Set::AltFile, "SESSION.TXT");
  rt::set(rt::Set::Alternate, true);
  rt::qOut({"before"});
  int reached = 0;
  rt::ErrorBlockGuard marker([&](const rt::ErrorPtr&) {
    ++reached;
    return rt::Value(false);
  });

  testing::internal::CaptureStderr();
  ASSERT_EQ(logFromHandler(fixedError()).kind, Outcome::Returned);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "\n\rError log was written to the file APPERROR.LOG");

  EXPECT_EQ(rt::set(rt::Set::Printer).logical(), true);
  EXPECT_EQ(rt::set(rt::Set::Console).logical(), true);
  EXPECT_EQ(rt::set(rt::Set::AltFile).text(), "SESSION.TXT");
  EXPECT_EQ(rt::set(rt::Set::Alternate).logical(), true);
  EXPECT_EQ(rt::set(rt::Set::Extra).logical(), true);
  rt::qOut({"after"});
  // The report went neither to the session's alternate file nor to the
  // console, and the session's file kept what it had.
  EXPECT_EQ(logFile("SESSION.TXT"), "\r\nbefore\r\nafter");
  EXPECT_EQ(console_, "\nbefore\nafter");
  (void)rt::raise(rt::makeError(rt::Condition::FileRead, "X.DBF"));
  EXPECT_EQ(reached, 1);
}

TEST_F(ErrorLogTest, TheConsoleWindowSeesTheReport) {
  textMode(true);
  kit_->consoleWindow = true;
  testing::internal::CaptureStderr();
  ASSERT_EQ(logFromHandler(fixedError()).kind, Outcome::Returned);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  std::string fileAsConsole = logFile();
  for (size_t pos; (pos = fileAsConsole.find("\r\n")) != std::string::npos;)
    fileAsConsole.replace(pos, 2, "\n");
  EXPECT_EQ(console_, fileAsConsole + "\nError log was written to the file APPERROR.LOG");
}

TEST_F(ErrorLogTest, AWindowedProgramWritesTheReportToTheFileOnly) {
  windowed();
  ASSERT_EQ(logFromHandler(fixedError()).kind, Outcome::Returned);
  EXPECT_EQ(console_, "");
  EXPECT_FALSE(logFile().empty());
}

}  // namespace
