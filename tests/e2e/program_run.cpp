#include "tests/e2e/program_run.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "tests/rt/temp_dir.hpp"

namespace e2e {
namespace {

// In the child: only async-signal-safe calls between fork and exec.
[[noreturn]] void execProgram(const std::string& directory, const std::vector<char*>& argv,
                              int outFd, int errFd, const RunOptions& options) {
  const int in = ::open("/dev/null", O_RDONLY);
  if (in < 0 || ::chdir(directory.c_str()) != 0) _exit(127);
  ::dup2(in, 0);
  ::dup2(outFd, 1);
  ::dup2(errFd, 2);
  if (options.fileSizeLimit) {
    const rlimit limit{static_cast<rlim_t>(*options.fileSizeLimit),
                       static_cast<rlim_t>(*options.fileSizeLimit)};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    // A write past the limit must fail with EFBIG, not kill the program.
    ::signal(SIGXFSZ, SIG_IGN);
  }
  ::execv(argv[0], argv.data());
  _exit(127);
}

}  // namespace

Run runProgram(const std::string& directory, const std::vector<std::string>& args,
               const RunOptions& options) {
  rt_test::TempDir capture;
  const std::string outFile = capture / "out", errFile = capture / "err";
  const int outFd = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  const int errFd = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (outFd < 0 || errFd < 0) throw std::runtime_error("cannot capture the program's output");

  std::vector<std::string> strings{DBF2CSV_BIN};
  strings.insert(strings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& s : strings) argv.push_back(s.data());
  argv.push_back(nullptr);

  ::setenv("DBF2CSV_UI", "headless", 1);
  const pid_t pid = ::fork();
  if (pid == 0) execProgram(directory, argv, outFd, errFd, options);
  ::close(outFd);
  ::close(errFd);
  if (pid < 0) throw std::runtime_error("cannot start the program");

  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  Run run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = rt_test::readFile(outFile);
  run.err = rt_test::readFile(errFile);
  return run;
}

}  // namespace e2e
