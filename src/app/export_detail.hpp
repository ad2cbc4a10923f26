// Internal routines of the export run: the job file, the run's parameters,
// record rendering, the progress window and the message box. Reachable by
// tests; not used outside the application module.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rt/value.hpp"
#include "platform/ui/toolkit.hpp"

namespace app {

// ---- Job file --------------------------------------------------------------

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
// elements; the file is gone then too.
JobFile readJobFile(std::optional<std::string>& cTable, bool& lFieldLine);

// ---- Run parameters --------------------------------------------------------

// The field-name option from argument 2: on when absent, off when it begins
// with N or n, on for anything else (the empty string included).
bool fieldLineOption(const std::optional<std::string>& cFlag);
// The table name upper-cased, ".DBF" appended unless it ends so already.
std::string normaliseName(std::string_view cTable);
// The output name beside the table: the final ".DBF" of a normalised name
// replaced by ".CSV" (a ".DBF" in a directory name stays).
std::string outputName(const std::string& cName);
// The number of records between two redraws of the progress bar.
std::uint64_t updateStep(std::uint64_t nCount);

// ---- Record rendering ------------------------------------------------------

// DBF2ARRAY: the values of the current record of the work area `cAlias`
// (the current one when nil), in field order; the current work area stays.
rt::Array dbf2Array(const std::optional<std::string>& cAlias = std::nullopt);
// DBF2ARRAY into an array that is reused from record to record.
void dbf2Array(rt::Array& aRecord);
// VARTOCHAR: the text of one value; for a value of another type than D, L,
// N, C or M shows "UNDETERMINED TYPE " and its type letter, and gives "".
std::string varToChar(const rt::Value& xValue);
// Appends VARTOCHAR of `xValue` with its trailing blanks removed (TRIM) to
// `cLine`, rendering and substituting in one pass.
void appendValue(std::string& cLine, const rt::Value& xValue);
// CHANGESPECIALCHARS: 13 and 141 become 191, 10 becomes 192, 34 becomes 193.
std::string changeSpecialChars(std::string_view cText);
// CHANGESPECIALCHARS of `text` appended to `out`, without a string of its own.
void appendSubstituted(std::string& out, std::string_view text);

// ---- Progress window and message box ---------------------------------------

// MSG: the modal message box titled "Alert"; ";" starts a new line.
void msg(const std::string& cMessage);

// The progress window of the run: the window and the bar inside it.
struct ProgressWindow {
  std::unique_ptr<ui::Window> oDialog;
  ui::ProgressBar* oProgress = nullptr;
};
// Builds and shows the progress window: the caption "Creating Delimited File "
// and the output name, a bar with `nCount` as its maximum and `nStep` as its
// update step.
ProgressWindow buildProgressWindow(const std::string& cOutput, std::uint64_t nCount,
                                   std::uint64_t nStep);
// _PROGRESS: moves the bar to the record number of the work area INPUT.
// Always true.
bool progress(ui::ProgressBar* oProgress);

// ---- The conversion --------------------------------------------------------

// Writes the table open under INPUT into the output beside `cName`, with the
// field-name line when `lFieldLine`, then closes the table and reports. On
// a failure to create or write the output tells the user, leaves any
// previous output as it was and returns false.
bool exportTable(const std::string& cName, bool lFieldLine);

// ---- Command line ----------------------------------------------------------

// The text of --help and of --version.
std::string usageText();
std::string versionText();

}  // namespace app
