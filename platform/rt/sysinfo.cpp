#include "platform/rt/sysinfo.hpp"

#include <sys/utsname.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

namespace rt {

namespace {

constexpr const char* kMajor = "1";
constexpr const char* kMinor = "0";
constexpr const char* kBuild = "0";

}  // namespace

std::string version() { return std::string("dbf2csv runtime ") + kMajor + "." + kMinor; }

std::string version(int part) {
  switch (part) {
    case 0: return version();
    case 1: return kMajor;
    case 2: return kMinor;
    case 3: return kBuild;
    default: return {};
  }
}

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
