// The job file RAZAVOZ.INP that a calling program leaves for a batch run,
// and STR2ARRAY, which splits it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace app {

inline constexpr const char* kJobFile = "RAZAVOZ.INP";

// STR2ARRAY: `cString` split at every `cDelimiter` (the bytes 222 222 when
// nil). Separators side by side or at the start give empty elements; one at
// the very end gives none; an empty string gives no element.
std::vector<std::string> str2Array(std::string_view cString,
                                   std::optional<std::string_view> cDelimiter = std::nullopt);

// What the job file brought.
enum class JobFile { Absent, Read, Incomplete };

// Reads and erases RAZAVOZ.INP of the current directory when it exists; on
// Read, element 1 became the table name and element 3 the field-name option
// (on when it begins with "T"). Incomplete when it has fewer than three
// elements; the file is gone then too. A file that cannot be erased is told
// on standard error (noteOnStderr), with the reason, and the run goes on.
JobFile readJobFile(std::optional<std::string>& cTable, bool& lFieldLine);

}  // namespace app
