// The system's facts on POSIX systems.
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "platform/rt/sysinfo.hpp"

namespace rt {

std::string os() {
  struct utsname u;
  if (::uname(&u) != 0) return "Linux";
  return std::string(u.sysname) + " " + u.release + " " + u.machine;
}

std::string appName(bool fullPath) {
  std::vector<char> buf(4096);
  ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return {};
  std::string path(buf.data(), static_cast<size_t>(n));
  if (fullPath) return path;
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void tone(double frequency, double duration) {
  (void)frequency;
  (void)duration;
  if (!::isatty(STDOUT_FILENO)) return;
  std::fputc('\a', stdout);
  std::fflush(stdout);
}

}  // namespace rt
