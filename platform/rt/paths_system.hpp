// What the name functions (paths.hpp) ask of the operating system.
// Internal to platform/rt; implemented once per system (paths_posix.cpp).
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace rt::sys {

// Whether anything has the name `path` (a link counts, even a dangling one).
bool pathExists(const std::string& path);
// Whether `path` is, or links to, a regular file.
bool isRegularFile(const std::string& path);
// Calls `visit` with the name of each entry of `dir` ("" for the current
// directory) until it returns false; nothing when the directory cannot be read.
void forEachEntry(const std::string& dir, const std::function<bool(std::string_view)>& visit);
// Whether `name` matches `pattern` ("*" any run, "?" one character) ignoring
// letter case; a leading period of the name matches only a period.
bool wildcardMatch(const std::string& pattern, const std::string& name);
// Whether the file system itself ignores letter case in names (Windows).
bool namesIgnoreCase();
// The file a symbolic link `path` finally names, when it is one that
// exists; else `path` itself.
std::string linkTarget(const std::string& path);

}  // namespace rt::sys
