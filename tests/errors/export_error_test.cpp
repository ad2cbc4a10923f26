// A table cut short in the middle of an export, run through the built
// program: the error reaches the standard handler, which (headless: no
// application window) writes the log and ends the program with exit code 1,
// and the output directory holds what it held before plus the log.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rt/error_codes.hpp"
#include "platform/rt/program_end.hpp"
#include "platform/rt/settings_test_helper.hpp"
#include "platform/ui/toolkit.hpp"
#include "src/app/app.hpp"
#include "src/runtime/startup.hpp"
#include "tests/errors/errors_fixture.hpp"
#include "tests/support/program_run.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/dbf_writer.hpp"

namespace {

constexpr int kRecords = 20, kWholeRecordsLeft = 7;

// TRUNC.DBF with 20 records, cut in the middle of record 8. Returns the
// bytes of the whole table.
std::string writeTruncatedTable(const rt_test::TempDir& dir) {
  test_support::TableShape shape;
  shape.fields = {{"NAME", 'C', 10}, {"QTY", 'N', 5}};
  std::uint32_t cut = 0;
  {
    test_support::DbfWriter writer(dir / "TRUNC.DBF", shape);
    for (int i = 1; i <= kRecords; ++i) writer.append({"item " + std::to_string(i), std::to_string(i)});
    cut = writer.headerLength() + writer.recordLength() * kWholeRecordsLeft + writer.recordLength() / 2;
    writer.finish();
  }
  std::string whole = rt_test::readFile(dir / "TRUNC.DBF");
  test_support::truncateFile(dir / "TRUNC.DBF", cut);
  return whole;
}

std::vector<std::string> logLines(const std::string& file) {
  std::string text = rt_test::readFile(file);
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

bool hasLineStarting(const std::vector<std::string>& lines, const std::string& prefix) {
  for (const std::string& line : lines)
    if (line.rfind(prefix, 0) == 0) return true;
  return false;
}

TEST(ExportError, TruncatedTableEndsWithTheLogAndExitCode1) {
  struct Case {
    const char* name;
    const char* previousCsv;  // nullptr: none before the run
    const char* entriesAfter;
  } cases[] = {
      {"no previous output", nullptr, "APPERROR.LOG TRUNC.DBF"},
      {"previous output", "\"kept\"\r\n", "APPERROR.LOG TRUNC.CSV TRUNC.DBF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rt_test::TempDir dir;
    (void)writeTruncatedTable(dir);
    if (c.previousCsv) dir.write("TRUNC.CSV", c.previousCsv);

    test_support::ProgramRun run = test_support::runProgram(dir.path(), {"TRUNC.DBF"});

    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(dir.listing(), c.entriesAfter);
    if (c.previousCsv) {
      EXPECT_EQ(rt_test::readFile(dir / "TRUNC.CSV"), c.previousCsv);
    }
    std::vector<std::string> lines = logLines(dir / "APPERROR.LOG");
    // Only the error's message on one line, as the log gives its parts, and
    // the handler's notice: no failure message of the export run and no
    // final report.
    auto member = [&lines](const std::string& label) {
      for (const std::string& line : lines) {
        if (line.rfind(label, 0) == 0) return line.substr(line.find_first_not_of(' ', label.size()));
      }
      return std::string("(no " + label + ")");
    };
    EXPECT_EQ(run.err, "Error " + member("oError:subSystem    :") + "/" +
                           member("oError:subCode      :") + " Description : " +
                           member("oError:description  :") + " File : TRUNC.DBF Operation : " +
                           member("oError:operation    :") + " Thread ID : 1\n" +
                           "\n\rError log was written to the file APPERROR.LOG");
    EXPECT_TRUE(hasLineStarting(lines, "oError:genCode      : " + std::to_string(rt::gen::Corruption)));
    EXPECT_TRUE(hasLineStarting(lines, "oError:filename     : TRUNC.DBF"));
    // The description says what is wrong with which table.
    auto description = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
      return line.rfind("oError:description  : ", 0) == 0;
    });
    ASSERT_TRUE(description != lines.end());
    EXPECT_NE(description->find("TRUNC.DBF"), std::string::npos) << *description;
    // The call stack starts with the routine of the export run that read
    // the table, and ends with MAIN.
    auto label = std::find(lines.begin(), lines.end(), "CALLSTACK:");
    ASSERT_TRUE(label != lines.end() && label + 2 < lines.end());
    std::vector<std::string> stack(label + 2, lines.end());
    ASSERT_FALSE(stack.empty());
    for (const std::string& entry : stack) EXPECT_EQ(entry.rfind("Called from ", 0), 0u) << entry;
    EXPECT_EQ(stack.back().rfind("Called from MAIN(", 0), 0u) << stack.back();
  }
}

// The toolkit of a windowed program whose user, shown the error box, first
// does what `beforeAnswer` does (puts the whole table back, say).
class WindowedUser : public errors_test::CursorToolkit {
 public:
  std::function<void()> beforeAnswer;
  ui::Answer confirmBox(const std::string& text, const std::string& title, ui::Buttons buttons,
                        int style) override {
    if (title == "Runtime Error Message" && beforeAnswer) beforeAnswer();
    return FakeToolkit::confirmBox(text, title, buttons, style);
  }
};

TEST(ExportError, RetryReadsAgainAndIgnoreTakesTheDefault) {
  struct Case {
    const char* name;
    ui::Answer answer;
    bool repairFirst;
    int linesWritten;
  } cases[] = {
      {"retry after the table was put back", ui::Answer::Retry, true, kRecords},
      {"ignore: the table ends before the damaged record", ui::Answer::Ignore, false,
       kWholeRecordsLeft},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rt_test::TempDir dir;
    std::string whole = writeTruncatedTable(dir);
    dir.enter();
    auto kit = std::make_unique<WindowedUser>();
    WindowedUser& user = *kit;
    user.kitMode = ui::Mode::Windowed;
    user.confirmAnswers = {c.answer};
    if (c.repairFirst) user.beforeAnswer = [&] { dir.write("TRUNC.DBF", whole); };
    std::unique_ptr<ui::Toolkit> previous = ui::setToolkit(std::move(kit));
    rt::errorLevel(0);
    rt::ErrorBlockGuard keep(rt::errorBlock());

    int exitCode = runtime::start({"TRUNC.DBF", "N"}, app::appMain);

    std::vector<ui::Buttons> errorBoxes;  // the button set of each error box
    for (const auto& shown : user.shown)
      if (shown.title == "Runtime Error Message") errorBoxes.push_back(shown.buttons);
    EXPECT_EQ(errorBoxes, std::vector<ui::Buttons>{ui::Buttons::AbortRetryIgnore});
    ui::setToolkit(std::move(previous));
    rt::resetSettings();
    EXPECT_EQ(exitCode, 0);
    std::string csv = rt_test::readFile(dir / "TRUNC.CSV");
    int lines = 0;
    for (size_t pos = 0; (pos = csv.find("\r\n", pos)) != std::string::npos; pos += 2) ++lines;
    EXPECT_EQ(lines, c.linesWritten);
    EXPECT_EQ(csv.rfind("\"item 1\",\"1\"\r\n", 0), 0u) << csv;
    EXPECT_EQ(dir.listing(), "TRUNC.CSV TRUNC.DBF");
  }
}

}  // namespace
