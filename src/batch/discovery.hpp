// Finding the tables of a batch and where each one's CSV file and error log
// go.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "src/batch/batch.hpp"

namespace batch {

struct Table {
  std::string path{};    // the table file as found
  std::string shown{};   // how the user sees it named: the folder named and the path inside it,
                         // with the system's one separator
  std::uint64_t bytes = 0;  // the table and its memo file: its share of the work
  std::string output{};  // the CSV file it gives
  std::string log{};     // NAME.LOG beside the output: its error log, if it gets one
  std::vector<std::string> companions{};  // the files its run reads beside it (companionsOf)
  std::string sqlTable{};  // its table's name in the batch's one database, if it has one
  std::string problem{};  // why it cannot be run at all ("" when it can): a folder
                        // that cannot be read, an output another table gives
};

struct Found {
  std::vector<Table> tables{};
  std::vector<std::string> missing{};  // the inputs that name neither a folder nor a table
};

// Every table of `options.inputs` in the order named, a folder's tables
// (files ending in .DBF, any letter case; in subfolders too when recursive)
// sorted by path. A name that is not a folder stands for a table, found as
// a single run finds it (".DBF" appended, any letter case); one that names
// nothing is missing. A table reached twice is kept once; a folder that
// cannot be read, and a second table whose output would be the same file
// as an earlier one's, come with their problem.
Found findTables(const BatchOptions& options);

// The files a run reads beside `table` (its memo files, a code page file),
// found as the program finds them: same name, any letter case.
std::vector<std::string> companionsOf(const std::string& table);

// The same tables, largest first (equal ones in the order found).
void largestFirst(std::vector<Table>& tables);

// `path` with the system's one separator: on Windows, where "/" separates
// as well, every "/" becomes "\"; elsewhere `path` as it is.
std::string systemSeparators(std::string path);

}  // namespace batch
