// Running the built dbf2csv in a child process under the limits a damaged
// table must not break: a wall-clock alarm and a cap on the memory it may
// allocate. A run that overstays or overeats is killed, and the result says
// so; several runs go side by side to keep the suite short.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace reliability {

// The limits of one run: the whole address space of the process (program,
// libraries, heap, stacks) capped at 64 MiB. Under AddressSanitizer the
// shadow memory alone reserves terabytes and every run is slower, so the
// memory cap is left off and the alarm given more room there.
struct Limits {
  static constexpr unsigned long kAddressSpaceBytes = 64ul << 20;
  unsigned wallSeconds;
  bool capMemory;
  static Limits forThisBuild();
};

struct ChildJob {
  std::string directory;           // the current directory of the run
  std::vector<std::string> args;   // after the program name
  std::optional<uid_t> user;       // run as this user and its group (65534: nobody)
  std::optional<mode_t> umask;
};

struct ChildRun {
  int exitCode = -1;   // -1 when a signal ended the run
  int signal = 0;      // the signal that ended it (SIGALRM: it overstayed)
  std::string out, err;
  long maxRssKiB = 0;  // the largest resident size the run reached
};

// Runs dbf2csv headless for `job`, standard input empty, and waits for it.
ChildRun runChild(const ChildJob& job, const Limits& limits = Limits::forThisBuild());

// Runs every job, two at a time, and gives their results in order.
std::vector<ChildRun> runChildren(const std::vector<ChildJob>& jobs,
                                  const Limits& limits = Limits::forThisBuild());

// A child started by startChild(); finish() waits for it.
class RunningChild {
 public:
  RunningChild(const ChildJob& job, const Limits& limits);
  ~RunningChild();
  RunningChild(const RunningChild&) = delete;
  RunningChild& operator=(const RunningChild&) = delete;
  pid_t pid() const { return pid_; }
  ChildRun finish();

 private:
  pid_t pid_ = -1;
  std::string captureDir_;
  bool finished_ = false;
};

}  // namespace reliability
