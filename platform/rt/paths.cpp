#include "platform/rt/paths.hpp"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace rt {

namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

char foldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (foldCase(a[i]) != foldCase(b[i])) return false;
  return true;
}

std::vector<std::string_view> components(std::string_view name) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= name.size(); ++i) {
    if (i < name.size() && !isSeparator(name[i])) continue;
    if (i > start) parts.push_back(name.substr(start, i - start));
    start = i + 1;
  }
  return parts;
}

bool exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// Joins `dir` ("" for the current directory) and `part`.
std::string join(const std::string& dir, std::string_view part) {
  if (dir.empty()) return std::string(part);
  std::string out = dir;
  if (out.back() != '/') out += '/';
  out.append(part);
  return out;
}

// The entry of `dir` whose name equals `part` but for letter case; "" when none.
std::string matchIgnoringCase(const std::string& dir, std::string_view part) {
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return {};
  std::string best;
  while (const dirent* e = ::readdir(d)) {
    std::string_view entry(e->d_name);
    if (sameIgnoringCase(entry, part) && (best.empty() || entry < best)) best = entry;
  }
  ::closedir(d);
  return best;
}

bool hasWildcard(std::string_view s) { return s.find_first_of("*?") != std::string_view::npos; }

bool isPlainFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool anyMatch(const std::string& dir, const std::string& pattern) {
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return false;
  bool found = false;
  for (const dirent* e = ::readdir(d); e && !found; e = ::readdir(d))
    found = ::fnmatch(pattern.c_str(), e->d_name, FNM_CASEFOLD | FNM_PERIOD) == 0 &&
            isPlainFile(join(dir, e->d_name));
  ::closedir(d);
  return found;
}

}  // namespace

std::string resolvePath(std::string_view name) {
  if (name.empty()) return {};
  bool absolute = isSeparator(name.front());
  bool trailing = isSeparator(name.back()) && name.size() > 1;
  std::string path = absolute ? "/" : "";
  bool resolving = true;
  for (std::string_view part : components(name)) {
    std::string next = join(path, part);
    if (resolving && part != "." && part != ".." && !exists(next)) {
      std::string match = matchIgnoringCase(path, part);
      if (match.empty()) resolving = false;
      else next = join(path, match);
    }
    path = std::move(next);
  }
  if (trailing && path.back() != '/') path += '/';
  return path;
}

std::string dirName(std::string_view path) {
  size_t slash = path.find_last_of("/\\");
  if (slash == std::string_view::npos) return ".";
  if (slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

std::string baseName(std::string_view path) {
  size_t slash = path.find_last_of("/\\");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool file(std::string_view name) {
  if (name.empty()) return false;
  std::string base = baseName(name);
  if (!hasWildcard(base)) return isPlainFile(resolvePath(name));
  std::string dir = name.find_first_of("/\\") == std::string_view::npos
                        ? std::string()
                        : resolvePath(name.substr(0, name.size() - base.size()));
  return anyMatch(dir, base);
}

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

}  // namespace rt
