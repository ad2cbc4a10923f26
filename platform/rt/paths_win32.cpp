// Names on Windows: drives and the wide API. The file system ignores letter
// case itself, so the case-folding lookup of paths.cpp finds the exact name
// at once.
#include <windows.h>

#include "platform/rt/masks.hpp"
#include "platform/rt/paths.hpp"
#include "platform/rt/paths_system.hpp"
#include "platform/rt/win32_api.hpp"

namespace rt {

namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

// The length of a leading drive ("C:"), 0 when there is none.
size_t driveLength(std::string_view path) {
  const char letter = static_cast<char>(path.empty() ? 0 : path[0] | 0x20);
  return path.size() >= 2 && path[1] == ':' && letter >= 'a' && letter <= 'z' ? 2 : 0;
}

DWORD attributesOf(const std::string& path) { return ::GetFileAttributesW(win32::wide(path).c_str()); }

}  // namespace

namespace sys {

bool pathExists(const std::string& path) { return attributesOf(path) != INVALID_FILE_ATTRIBUTES; }

bool isRegularFile(const std::string& path) {
  const DWORD attributes = attributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES &&
         !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
}

void forEachEntry(const std::string& dir, const std::function<bool(std::string_view)>& visit) {
  // Only "\" separates in a name that begins "\\?\", and only once.
  const std::string folder = dir.empty() ? std::string(".") : dir;
  const std::string pattern = folder + (isSeparator(folder.back()) ? "*" : "\\*");
  WIN32_FIND_DATAW found;
  HANDLE h = ::FindFirstFileW(win32::wide(pattern).c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    if (!visit(win32::narrow(found.cFileName))) break;
  } while (::FindNextFileW(h, &found));
  ::FindClose(h);
}

// A leading period of the name matches only a period, as on Linux.
bool wildcardMatch(const std::string& pattern, const std::string& name) {
  if (!name.empty() && name[0] == '.' && (pattern.empty() || pattern[0] != '.')) return false;
  return matchesMask(pattern, name);
}

bool namesIgnoreCase() { return true; }

// Links are rare on Windows and a rename there replaces the file a link
// names only through the link's own rules: names are taken as they are.
std::string linkTarget(const std::string& path) { return path; }

}  // namespace sys

std::string curDrive() {
  const std::string dir = startLocation();
  return driveLength(dir) ? dir.substr(0, 1) : std::string();
}

std::string curDir() {
  const std::string dir = startLocation();
  size_t start = driveLength(dir);
  while (start < dir.size() && isSeparator(dir[start])) ++start;
  return dir.substr(start);
}

std::string startLocation() {
  const DWORD n = ::GetCurrentDirectoryW(0, nullptr);
  std::wstring dir(n, L'\0');
  const DWORD got = n == 0 ? 0 : ::GetCurrentDirectoryW(n, dir.data());
  dir.resize(got < n ? got : 0);
  return win32::narrow(dir);
}

std::string utf8Name(std::string_view name) {
  const std::wstring wide = win32::wide(name);
  std::string out;
  win32::appendUtf8(wide.data(), static_cast<int>(wide.size()), out);
  return out;
}

}  // namespace rt
