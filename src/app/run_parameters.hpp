// The parameters of a run: the field-name option, the table and output
// names, the progress bar's update step.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rt/status.hpp"

namespace app {

// The field-name option from argument 2: on when absent, off when it begins
// with N or n, on for anything else (the empty string included).
bool fieldLineOption(const std::optional<std::string>& cFlag);
// The table name upper-cased, ".DBF" appended unless it ends so already.
std::string normaliseName(std::string_view cTable);
// The table a run is given, found on disk, and the name the run shows.
struct TableName {
  // The name as given with ".DBF" appended when it does not end so (in any
  // letter case), resolved: a path that exists exactly as given stays as it
  // is; only one that does not is found without regard to letter case.
  std::string cFile;
  // shownPath of it: the folders as on disk, the file name upper-cased
  // ("data/ORDERS.DBF"); the messages name it, and the output is named after it.
  std::string cName;
};
TableName tableName(std::string_view cTable);
// The output name beside the table: the final ".DBF" of a normalised name
// replaced by `extension` (a ".DBF" in a directory name stays).
std::string outputName(const std::string& cName, std::string_view extension = ".CSV");
// The extension of an output in `format` (csv, jsonl, sqlite): ".CSV",
// ".JSONL", ".SQLITE"; and that output's name beside the table `cName`.
std::string_view outputExtension(const std::string& format);
std::string typedOutputName(const std::string& cName, const std::string& format);
// What a run reads beside its table: the memo files, a code page file.
inline constexpr std::string_view kCompanionExtensions[] = {".DBT", ".FPT", ".CPG"};
// The files a run reads beside the table `cFile`: those of its memo files
// and its code page file (".CPG") that exist, found as the run finds them.
std::vector<std::string> companionFiles(const std::string& cFile);
// Why the output `cOutput` (resolved; `cShown` as the user named it) must
// not be written for the table `cFile`, named `cName`, with `companions`
// beside it: the output is one of these files (compared as files, whatever
// the spelling or links). InvalidArgument, about `cShown`, with a message
// that names both; ok when the output is none of them.
rt::Status outputClash(const std::string& cOutput, const std::string& cShown, const std::string& cFile,
                       const std::vector<std::string>& companions, const std::string& cName);
// The number of records between two redraws of the progress bar.
std::uint64_t updateStep(std::uint64_t nCount);
// `count` with thousands separators, as the reports give counts: "12,345".
std::string withSeparators(std::uint64_t count);

}  // namespace app
