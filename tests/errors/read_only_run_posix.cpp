#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/errors/read_only_run.hpp"

namespace errors_test {

int runWhereReadOnlyHolds(const std::string& dir, const std::function<bool()>& body) {
  ::chmod(dir.c_str(), 0777);
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) _exit(2);
    _exit(body() ? 3 : 0);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace errors_test
