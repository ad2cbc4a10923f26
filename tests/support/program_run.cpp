#include "tests/support/program_run.hpp"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <stdexcept>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.hpp"

#if defined(__SANITIZE_ADDRESS__)
#define DBF2CSV_TEST_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DBF2CSV_TEST_SANITIZED 1
#endif
#endif

namespace test_support {
namespace {

// In the child: only async-signal-safe calls between fork and exec; any
// failure to set the run up ends the child with 127.
[[noreturn]] void execProgram(const ProgramJob& job, const Limits& limits, char* const* argv,
                              int outFd, int errFd) {
  const int in = ::open("/dev/null", O_RDONLY);
  if (in < 0 || ::chdir(job.directory.c_str()) != 0) _exit(127);
  ::dup2(in, 0);
  ::dup2(outFd, 1);
  ::dup2(errFd, 2);
  if (job.umask) ::umask(*job.umask);
  // The interrupts as a shell's foreground command has them, whatever the
  // test runner was started ignoring (nohup, a background job).
  for (const int s : {SIGINT, SIGTERM, SIGHUP}) ::signal(s, SIG_DFL);
  if (limits.capMemory) {
    const rlimit space{Limits::kAddressSpaceBytes, Limits::kAddressSpaceBytes};
    if (::setrlimit(RLIMIT_AS, &space) != 0) _exit(127);
  }
  if (limits.fileSize) {
    const rlimit size{static_cast<rlim_t>(*limits.fileSize), static_cast<rlim_t>(*limits.fileSize)};
    if (::setrlimit(RLIMIT_FSIZE, &size) != 0) _exit(127);
    // A write past the limit must fail with EFBIG, not kill the program.
    ::signal(SIGXFSZ, SIG_IGN);
  }
  if (job.user) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(*job.user) != 0 || ::setuid(*job.user) != 0) _exit(127);
  }
  // The alarm outlives exec: a run that overstays is ended by SIGALRM.
  if (limits.wallSeconds > 0) ::alarm(limits.wallSeconds);
  ::execv(argv[0], argv);
  _exit(127);
}

// The program under test: the one built beside the tests, or the one
// DBF2CSV_TEST_PROGRAM names, started through DBF2CSV_TEST_LAUNCHER when
// that is set (the Windows suite runs dbf2csv.exe through Wine this way).
std::vector<std::string> programCommand() {
  const char* program = std::getenv("DBF2CSV_TEST_PROGRAM");
  const char* launcher = std::getenv("DBF2CSV_TEST_LAUNCHER");
  std::vector<std::string> command;
  if (launcher && *launcher) command.emplace_back(launcher);
  command.emplace_back(program && *program ? program : DBF2CSV_BIN);
  return command;
}

bool startedThroughLauncher() {
  const char* launcher = std::getenv("DBF2CSV_TEST_LAUNCHER");
  return launcher && *launcher;
}

// A failed run that Wine failed, not the program: every line of standard
// error (there may be none) is Wine's loader or server speaking, or the
// host's loader stopped the Wine process with an assertion of its own.
// (Seen about once in 3,000 runs under load: the program had written its
// CSV file and its report, then wine64 ended with exit code 127 and
// "Inconsistency detected by ld.so: dl-fini.c: 87: _dl_fini: Assertion
// ... failed!" as its process exited.)
bool launcherFailed(const ProgramRun& run) {
  if (!startedThroughLauncher() || run.exitCode == 0) return false;
  if (run.err.find("Inconsistency detected by ld.so: ") != std::string::npos) return true;
  static const std::regex wineLine("(wine|wine64|wineserver): .*|[0-9a-f]{4}:(err|fixme|warn|trace):.*");
  std::istringstream lines(run.err);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && !std::regex_match(line, wineLine)) return false;
  }
  return true;
}

// Notes the test under way as one whose program the launcher did not
// start, for the Windows suite to run again.
void noteLauncherFailure() {
  const char* file = std::getenv("DBF2CSV_TEST_LAUNCH_FAILURES");
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  if (!file || !*file || !test) return;
  std::ofstream(file, std::ios::app) << test->test_suite_name() << "." << test->name() << "\n";
}

}  // namespace

std::string ProgramRun::explain(const std::string& directory) const {
  std::string text = signal != 0 ? "ended by signal " + std::to_string(signal)
                                 : "exit code " + std::to_string(exitCode);
  if (launcherFailed) text = "Wine failed, not the program (" + text + ")";
  text += "; standard error: \"" + err + "\"";
  const std::string log = directory + "/APPERROR.LOG";
  if (std::filesystem::exists(log)) text += "; APPERROR.LOG:\n" + rt_test::readFile(log);
  return text;
}

Limits Limits::forThisBuild() {
#ifdef DBF2CSV_TEST_SANITIZED
  return Limits{10, false, std::nullopt};
#else
  return Limits{2, true, std::nullopt};
#endif
}

RunningProgram::RunningProgram(const ProgramJob& job, const Limits& limits) {
  std::string pattern = (std::filesystem::temp_directory_path() / "dbf2csv-run-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a capture directory");
  captureDir_ = pattern;
  const std::string outFile = captureDir_ + "/out", errFile = captureDir_ + "/err";
  const int outFd = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  const int errFd = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (outFd < 0 || errFd < 0) throw std::runtime_error("cannot capture the program's output");

  std::vector<std::string> strings = programCommand();
  strings.insert(strings.end(), job.args.begin(), job.args.end());
  std::vector<char*> argv;
  for (auto& s : strings) argv.push_back(s.data());
  argv.push_back(nullptr);

  ::setenv("DBF2CSV_UI", job.ui.c_str(), 1);
  // Wine reads the arguments in the locale's character set into the wide
  // command line: the tests' arguments are UTF-8, as what a user types
  // reaches a Windows program whole.
  if (startedThroughLauncher()) ::setenv("LC_ALL", "C.UTF-8", 1);
  pid_ = ::fork();
  if (pid_ == 0) execProgram(job, limits, argv.data(), outFd, errFd);
  ::close(outFd);
  ::close(errFd);
  if (pid_ < 0) throw std::runtime_error("cannot start the program");
}

RunningProgram::~RunningProgram() {
  if (!finished_ && pid_ > 0) (void)finish();
  std::error_code ec;
  std::filesystem::remove_all(captureDir_, ec);
}

ProgramRun RunningProgram::finish() {
  ProgramRun run;
  int status = 0;
  rusage usage{};
  while (::wait4(pid_, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  finished_ = true;
  if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
  run.maxRssKiB = usage.ru_maxrss;
  run.out = rt_test::readFile(captureDir_ + "/out");
  run.err = rt_test::readFile(captureDir_ + "/err");
  run.launcherFailed = launcherFailed(run);
  if (run.launcherFailed) noteLauncherFailure();
  return run;
}

ProgramRun runProgram(const ProgramJob& job, const Limits& limits) {
  return RunningProgram(job, limits).finish();
}

ProgramRun runProgram(const std::string& directory, const std::vector<std::string>& args,
                      const Limits& limits) {
  return runProgram({directory, args, std::nullopt, std::nullopt}, limits);
}

std::vector<ProgramRun> runPrograms(const std::vector<ProgramJob>& jobs, const Limits& limits) {
  constexpr std::size_t kSideBySide = 2;
  std::vector<ProgramRun> runs(jobs.size());
  std::deque<std::pair<std::size_t, std::unique_ptr<RunningProgram>>> running;
  for (std::size_t next = 0; next < jobs.size() || !running.empty();) {
    if (next < jobs.size() && running.size() < kSideBySide) {
      running.emplace_back(next, std::make_unique<RunningProgram>(jobs[next], limits));
      ++next;
      continue;
    }
    runs[running.front().first] = running.front().second->finish();
    running.pop_front();
  }
  return runs;
}

}  // namespace test_support
