#include "platform/db/workarea_test_helper.hpp"
#include "platform/rt/lineout_test_helper.hpp"
#include "platform/rt/settings_test_helper.hpp"
#include "tests/reliability/program_runs.hpp"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "platform/db/workarea.hpp"
#include "platform/rt/error_block.hpp"
#include "platform/rt/program_end.hpp"
#include "platform/rt/lineout.hpp"
#include "platform/rt/settings.hpp"
#include "src/app/app.hpp"
#include "src/runtime/startup.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/fake_toolkit.hpp"

namespace reliability {
namespace {

namespace fs = std::filesystem;

// Standard error of the test process goes to a file while the object lives,
// so that what the program writes there can be read back.
class StderrCapture {
 public:
  StderrCapture() : file_(std::tmpfile()) {
    std::fflush(stderr);
    saved_ = ::dup(2);
    if (file_) ::dup2(::fileno(file_), 2);
  }
  ~StderrCapture() {
    restore();
    if (file_) std::fclose(file_);
  }
  StderrCapture(const StderrCapture&) = delete;
  StderrCapture& operator=(const StderrCapture&) = delete;

  std::string text() {
    restore();
    std::string bytes;
    if (!file_) return bytes;
    std::rewind(file_);
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file_)) > 0;) bytes.append(chunk, n);
    return bytes;
  }

 private:
  void restore() {
    if (saved_ < 0) return;
    std::cerr.flush();
    std::fflush(stderr);
    ::dup2(saved_, 2);
    ::close(saved_);
    saved_ = -1;
  }

  std::FILE* file_;
  int saved_ = -1;
};

// A message box as the headless backend prints it: ";" breaks the line.
std::string printed(std::string text) {
  std::replace(text.begin(), text.end(), ';', '\n');
  return text + "\n";
}

std::string logOf(const std::string& directory) {
  const std::string path = directory + "/APPERROR.LOG";
  return fs::is_regular_file(path) ? rt_test::readFile(path) : std::string();
}

bool endsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

Ending runInProcess(const std::string& directory, const std::vector<std::string>& args) {
  Ending e;
  StderrCapture capture;
  std::string messages;
  {
    testing_support::ScopedFakeToolkit kit;
    kit->kitMode = ui::Mode::Unattended;  // no window and nobody to answer, as headless
    kit->appWindow = false;
    rt::ErrorBlockGuard keep(rt::errorBlock());
    rt::setConsoleWriter([](std::string_view) {});
    rt::errorLevel(0);
    const fs::path previous = fs::current_path();
    fs::current_path(directory);
    e.exitCode = runtime::start(args, app::appMain);
    fs::current_path(previous);
    db::closeAll();
    rt::resetSettings();
    rt::setConsoleWriter({});
    rt::errorLevel(0);
    for (const std::string& text : kit->texts("guiAlert")) messages += printed(text);
  }
  e.told = messages + capture.text();
  e.files = rt_test::listing(directory);
  e.log = logOf(directory);
  return e;
}

Ending endingOf(const test_support::ProgramRun& run, const std::string& directory) {
  Ending e;
  e.exitCode = run.exitCode;
  e.signal = run.signal;
  e.told = run.err;
  e.files = rt_test::listing(directory);
  e.log = logOf(directory);
  return e;
}

Ending runBinary(const std::string& directory, const std::vector<std::string>& args) {
  return endingOf(test_support::runProgram(directory, args, test_support::Limits::forThisBuild()),
                  directory);
}

std::string logDescription(const std::string& log) {
  const std::string label = "oError:description  : ";
  const std::size_t at = log.find(label);
  if (at == std::string::npos) return "";
  const std::size_t start = at + label.size();
  return log.substr(start, log.find("\r\n", start) - start);
}

testing::AssertionResult toldTheError(const std::string& told, const std::string& description,
                                      const std::string& notice) {
  const std::size_t lineEnd = told.find('\n');
  const std::string line = told.substr(0, lineEnd);
  if (lineEnd == std::string::npos || told.substr(lineEnd + 1) != notice) {
    return testing::AssertionFailure() << "not one line and then the notice: " << told;
  }
  if (line.rfind("Error ", 0) != 0 || line.find(" Thread ID : ") == std::string::npos ||
      line.find(" Description : " + description + " ") == std::string::npos) {
    return testing::AssertionFailure() << "the line does not give the error's message: " << line;
  }
  return testing::AssertionSuccess();
}

testing::AssertionResult endedProperly(const Ending& e, const std::string& table,
                                       const std::string& tableFile) {
  auto failure = [&e](const std::string& what) {
    return testing::AssertionFailure() << what << "\nexit code " << e.exitCode << ", signal " << e.signal
                                       << "\ntold: " << e.told << "\nfiles: " << e.files;
  };
  if (e.signal != 0) return failure("ended by a signal");
  if (e.files.find(".tmp") != std::string::npos) return failure("a temporary file was left behind");
  if (e.exitCode == 0) {
    if (e.told.rfind("Program Ended Normally\n\nFile ", 0) != 0) return failure("no final report");
    if (!e.log.empty()) return failure("an error log after a completed run");
    return testing::AssertionSuccess();
  }
  if (e.exitCode != 1) return failure("an exit code other than 0 and 1");
  if (e.told.find("Program Ended Normally") != std::string::npos) return failure("a final report after a failure");
  // The open message, then one line with the reason.
  const std::string notOpened = "Not able to open " + table + ".\ndbf2csv: ";
  if (e.told.rfind(notOpened, 0) == 0 && e.told.find('\n', notOpened.size()) == e.told.size() - 1 &&
      e.log.empty()) {
    return testing::AssertionSuccess();
  }
  if (e.log.empty() || !endsWith(e.told, kLogNotice)) return failure("neither the open message nor the error log");
  if (logDescription(e.log).find(tableFile) == std::string::npos) {
    return failure("the log's description does not name the table: " + logDescription(e.log));
  }
  return testing::AssertionSuccess();
}

}  // namespace reliability
