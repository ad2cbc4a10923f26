// --info: what a user needs to know of a table before choosing options,
// printed without converting it.
#pragma once

#include <iosfwd>
#include <string>

namespace app {

// Prints, for the table `cTable` names, its family and version, its record
// count (and what the file holds when that differs), its memo file, its
// fields, the code page it declares and where, and the ranking of a guess.
// Reads no job file, shows no window, writes no file. False, with the
// message on `err`, when the table is not found or cannot be opened, or
// lacks a field the options name. With `json`, the same facts as one JSON
// object on a line, for a program. The fields are those the options choose
// (--fields, --exclude).
struct Options;
bool tableInfo(const std::string& cTable, std::ostream& out, std::ostream& err, bool json = false,
               const Options* options = nullptr);

// --info for the tables `options` name: one, or with --batch several and
// the .DBF files of folders (of their subfolders too with --recursive), a
// blank line between two; with --format=jsonl a JSON object per line.
// False when any could not be shown.
bool infoMain(const Options& options);

// The family of a table's version byte ("FoxPro 2 with memo"); "" for a
// byte no family uses.
std::string tableFamily(unsigned char version);

}  // namespace app
