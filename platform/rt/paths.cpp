#include "platform/rt/paths.hpp"

#include <algorithm>
#include <vector>

#include "platform/rt/paths_system.hpp"
#include "platform/rt/strings.hpp"

namespace rt {

namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

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

// Joins `dir` ("" for the current directory) and `part`.
std::string join(const std::string& dir, std::string_view part) {
  if (dir.empty()) return std::string(part);
  std::string out = dir;
  if (!isSeparator(out.back())) out += '/';
  out.append(part);
  return out;
}

// The entry of `dir` whose name equals `part` but for letter case; "" when none.
std::string matchIgnoringCase(const std::string& dir, std::string_view part) {
  std::string best;
  sys::forEachEntry(dir, [&](std::string_view entry) {
    if (equalsIgnoringCase(entry, part) && (best.empty() || entry < best)) best = entry;
    return true;
  });
  return best;
}

bool hasWildcard(std::string_view s) { return s.find_first_of("*?") != std::string_view::npos; }

bool anyMatch(const std::string& dir, const std::string& pattern) {
  bool found = false;
  sys::forEachEntry(dir, [&](std::string_view entry) {
    const std::string name(entry);
    found = sys::wildcardMatch(pattern, name) && sys::isRegularFile(join(dir, name));
    return !found;
  });
  return found;
}

// A name resolved on disk, and how much of it was found there: the first
// `found` bytes of `path` are components that exist.
struct Resolved {
  std::string path;
  size_t found = 0;
};

Resolved resolve(std::string_view name) {
  Resolved r;
  if (name.empty()) return r;
  bool absolute = isSeparator(name.front());
  bool trailing = isSeparator(name.back()) && name.size() > 1;
  r.path = absolute ? "/" : "";
  bool resolving = true;
  for (std::string_view part : components(name)) {
    std::string next = join(r.path, part);
    if (resolving && part != "." && part != ".." && !sys::pathExists(next)) {
      std::string match = matchIgnoringCase(r.path, part);
      if (match.empty()) resolving = false;
      else next = join(r.path, match);
    }
    r.path = std::move(next);
    if (resolving) r.found = r.path.size();
  }
  if (trailing && r.path.back() != '/') r.path += '/';
  return r;
}

}  // namespace

std::string resolvePath(std::string_view name) {
  // Where the file system finds a name in any case itself, the name as
  // given is the path: drives, UNC names (\\server\share\X.DBF) and either
  // separator as the system reads them.
  if (sys::namesIgnoreCase()) return std::string(name);
  return resolve(name).path;
}

std::string shownPath(std::string_view name) {
  // Where the file system ignores case, a name is as good in any case.
  if (sys::namesIgnoreCase()) return upper(name);
  const Resolved r = resolve(name);
  // Nothing of it on disk: the name as the program writes it.
  if (r.found == 0) return upper(name);
  const size_t lastSlash = r.path.find_last_of('/');
  const size_t fileName = lastSlash == std::string::npos ? 0 : lastSlash + 1;
  const size_t keep = std::min(r.found, fileName);
  return r.path.substr(0, keep) + upper(std::string_view(r.path).substr(keep));
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
  if (!hasWildcard(base)) return sys::isRegularFile(resolvePath(name));
  std::string dir = name.find_first_of("/\\") == std::string_view::npos
                        ? std::string()
                        : resolvePath(name.substr(0, name.size() - base.size()));
  return anyMatch(dir, base);
}

}  // namespace rt
