// Names of files as the program writes them (upper-case DOS-style names,
// "\" or "/" between components) found on a case-sensitive Linux file system.
#pragma once

#include <string>
#include <string_view>

namespace rt {

// The path on disk that `name` stands for. Each component is looked up in
// the directory resolved so far: the exact name first, else the one entry
// whose name differs only in ASCII letter case (the first in byte order when
// several do). From the first component that matches nothing on, the rest is
// kept as given, so a new file gets the name given in the resolved directory.
// "\" and "/" both separate; the result uses "/"; a relative name stays
// relative to the current directory; "" stays "". Where the file system
// ignores letter case (Windows), the name as given.
std::string resolvePath(std::string_view name);

// The name the program shows for `name` in its messages and fields: the
// folders of it that exist as they are on disk (resolvePath), the rest and
// the file name upper-cased, as the program names the files it writes; a
// name of which nothing exists is upper-cased as given. Linux only: where
// file names ignore letter case, the whole name upper-cased.
std::string shownPath(std::string_view name);

// The directory part of a resolved path ("." for a bare name) and the last
// component.
std::string dirName(std::string_view path);
std::string baseName(std::string_view path);

// FILE: true when `name` resolves to an existing regular file (directories,
// devices and FIFOs are not files a table or job can be read from). "*" and "?" in the last component match any entry of its
// directory, ignoring letter case.
bool file(std::string_view name);

// CURDRIVE: the drive letter of the current directory; "" on Linux, which
// has no drives.
std::string curDrive();
// CURDIR: the current directory without its leading separator ("" at the
// root, "" when it cannot be read).
std::string curDir();
// The program's start location ("drive:\dir" on DOS): on Linux the absolute
// current directory, "/" at the root.
std::string startLocation();

// `name` in UTF-8, for libraries that take names so (SQLite): on Linux the
// bytes as they are; on Windows, where the program's names are in the ANSI
// code page, converted from it.
std::string utf8Name(std::string_view name);

}  // namespace rt
