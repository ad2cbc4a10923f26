// Running the built dbf2csv as a calling program would: in a directory of
// its own, headless, standard input empty, with what it prints, its exit
// code and the largest memory it took captured. Limits make a write fail as
// on a full disk, or end a run that overstays or overeats (a damaged table
// must not make the program hang or grow); several runs can go side by side
// to keep a suite short.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace test_support {

// The limits of one run; none by default.
struct Limits {
  static constexpr unsigned long kAddressSpaceBytes = 64ul << 20;
  unsigned wallSeconds = 0;       // SIGALRM after this many seconds; 0: no alarm
  bool capMemory = false;         // the whole address space capped at kAddressSpaceBytes
  std::optional<off_t> fileSize;  // the largest file the program may write: a write
                                  // beyond it fails (EFBIG) as on a full disk
  // The limits a damaged table must not break: 2 seconds and 64 MiB of
  // address space (program, libraries, heap, stacks). Under AddressSanitizer
  // the shadow memory alone reserves terabytes and every run is slower, so
  // the memory cap is left off there and the alarm given more room.
  static Limits forThisBuild();
};

struct ProgramJob {
  std::string directory;          // the current directory of the run
  std::vector<std::string> args;  // after the program name
  std::optional<uid_t> user;      // run as this user and its group (65534: nobody)
  std::optional<mode_t> umask;
  std::string ui = "headless";    // DBF2CSV_UI; "" lets the program choose
};

struct ProgramRun {
  int exitCode = -1;   // -1 when a signal ended the run
  int signal = 0;      // the signal that ended it (SIGALRM: it overstayed)
  std::string out, err;
  long maxRssKiB = 0;  // the largest resident size the run reached
  // Started through a launcher (Wine), the run failed by the launcher's
  // doing: standard error holds no word of the program's, only Wine's
  // loader if anything, or the host's loader stopped Wine with an assertion.
  // The test's name is then added to the file that
  // DBF2CSV_TEST_LAUNCH_FAILURES names, and only such a test is run again.
  bool launcherFailed = false;

  // The run for a failure message: how it ended, its standard error and
  // the error log (APPERROR.LOG) it left in `directory`, if any.
  std::string explain(const std::string& directory) const;
};

// Runs dbf2csv for `job` (headless unless it says otherwise) and waits for it.
// DBF2CSV_TEST_PROGRAM and DBF2CSV_TEST_LAUNCHER in the environment name
// another program and what starts it.
ProgramRun runProgram(const ProgramJob& job, const Limits& limits = {});
// The same for a job of only a directory and arguments.
ProgramRun runProgram(const std::string& directory, const std::vector<std::string>& args,
                      const Limits& limits = {});

// Runs every job, two at a time, and gives their results in order.
std::vector<ProgramRun> runPrograms(const std::vector<ProgramJob>& jobs, const Limits& limits);

// A run started and not yet waited for; finish() waits for it.
class RunningProgram {
 public:
  RunningProgram(const ProgramJob& job, const Limits& limits);
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;
  pid_t pid() const { return pid_; }
  ProgramRun finish();

 private:
  pid_t pid_ = -1;
  std::string captureDir_;
  bool finished_ = false;
};

}  // namespace test_support
