// The program run on a table, in the test process or as the built binary,
// and the rule every such run must keep whatever the table holds: it ends
// with exit code 0 and the final report, or with exit code 1 and either the
// export run's own message or the error handler's log and notice, and it
// leaves no temporary file behind.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/program_run.hpp"

namespace reliability {

// How one run ended, as a person at the terminal would see it.
struct Ending {
  int exitCode = -1;
  int signal = 0;
  std::string told;   // standard error of a headless run: messages, the log's notice
  std::string files;  // the run's directory afterwards, sorted, blank-separated
  std::string log;    // APPERROR.LOG, "" when none was written
};

// Runs the whole program (start-up, export run, exit procedure) inside the
// test process with `directory` current, on a toolkit that records its
// messages as the headless backend would print them. Quick enough for
// thousands of runs.
Ending runInProcess(const std::string& directory, const std::vector<std::string>& args);

// Runs the built binary in a child under the limits and waits for it.
Ending runBinary(const std::string& directory, const std::vector<std::string>& args);
// The ending of a finished child that ran in `directory`.
Ending endingOf(const test_support::ProgramRun& run, const std::string& directory);

// The one line the error log gives its description on, "" when none.
std::string logDescription(const std::string& log);

// Whether `e` ended by the rule above for the table `table` (its name as
// given on the command line, upper-cased with ".DBF"). The log's
// description must name the table file `tableFile`.
testing::AssertionResult endedProperly(const Ending& e, const std::string& table,
                                       const std::string& tableFile);

// The notice of the error handler's path on standard error.
inline constexpr const char* kLogNotice = "\n\rError log was written to the file APPERROR.LOG";

// Whether `told` is what a headless run says when a runtime error ends it:
// the error's message as one line whose description is `description`, then
// `notice` (the log's, or that no log could be opened).
testing::AssertionResult toldTheError(const std::string& told, const std::string& description,
                                      const std::string& notice = kLogNotice);

}  // namespace reliability
