// Names on POSIX systems: one tree from "/", no drives.
#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/rt/paths.hpp"
#include "platform/rt/paths_system.hpp"

namespace rt {

namespace sys {

bool pathExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

bool isRegularFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void forEachEntry(const std::string& dir, const std::function<bool(std::string_view)>& visit) {
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return;
  while (const dirent* e = ::readdir(d))
    if (!visit(e->d_name)) break;
  ::closedir(d);
}

bool wildcardMatch(const std::string& pattern, const std::string& name) {
  return ::fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD | FNM_PERIOD) == 0;
}

bool namesIgnoreCase() { return false; }

std::string linkTarget(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* real = ::realpath(path.c_str(), nullptr);
  if (!real) return path;
  std::string target(real);
  ::free(real);
  return target;
}

}  // namespace sys

std::string curDrive() { return {}; }

std::string curDir() {
  std::string dir = startLocation();
  size_t start = 0;
  while (start < dir.size() && dir[start] == '/') ++start;
  return dir.substr(start);
}

std::string startLocation() {
  std::vector<char> buf(4096);
  while (::getcwd(buf.data(), buf.size()) == nullptr) {
    if (errno != ERANGE || buf.size() > (1u << 20)) return {};
    buf.resize(buf.size() * 2);
  }
  return buf.data();
}

std::string utf8Name(std::string_view name) { return std::string(name); }

}  // namespace rt
