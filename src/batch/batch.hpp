// Whole data folders: every table of the folders and tables named, each
// converted by a child run of this program, several at once.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace batch {

struct BatchOptions {
  std::vector<std::string> inputs{};          // tables and folders
  bool recursive = false;                   // folders: their subfolders too
  unsigned jobs = 0;                        // children at once; 0: one per core
  std::optional<std::string> outputFolder{};  // where the CSV files go; none: beside each table
  std::optional<std::string> database{};      // --format=sqlite: the one database of every table
  bool fieldNames = true;                   // the field-name line
  std::vector<std::string> childOptions{};    // options every table's run is given
  std::string extension = ".CSV";             // of each table's output
  bool schema = false;                        // a script NAME.SQL beside each output
  std::string program{};                      // the program the children run; "": this one
};

// The exit code of a batch that an interrupt stopped.
inline constexpr int kInterrupted = 130;

// Converts every table of `options`, telling the user on `err` (a line for
// each input that names nothing; a progress line when `terminal`, else one
// line per table) and ending with a summary. An output folder that cannot
// be made or written in ends it before any table starts. Returns the exit
// code: 0 when every table was converted, 1 when one was not, none was
// found, an input names nothing or the output folder cannot be used, 130
// when interrupted.
int runBatch(const BatchOptions& options, std::ostream& err, bool terminal);

}  // namespace batch
