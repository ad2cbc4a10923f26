// --format=sqlite: the records written straight into a table of an SQLite
// database through libsqlite3. Builds without the library (sqlite_output_none.cpp)
// refuse the format.
#pragma once

#include <cstdint>
#include <string>

#include "src/app/typed_values.hpp"

namespace ui {
class ProgressBar;
}

namespace app {

// Whether this build writes SQLite databases.
bool sqliteOutputAvailable();

// Writes the records `choice` takes from the current one on (read by
// `reader`) into the table `table` of the database `cOutput`, made with its
// columns: a new
// database under a temporary name renamed into place when complete, an
// existing one in one transaction that replaces a table of that name and
// keeps the others, moving `oProgress` (when there is one). On a failure
// leaves the database as it was, sets `problem` to the reason and returns
// false.
class RecordChoice;
bool writeSqlite(const std::string& cOutput, const std::string& table, TypedReader& reader, RecordChoice& choice,
                 ui::ProgressBar* oProgress, std::string& problem);

// Copies the one table of the database `from` into the database `to` (made
// when missing) as `table`, replacing a table of that name and keeping the
// others, in one transaction. On a failure leaves `to` as it was, sets
// `problem` to the reason and returns false.
bool copySqliteTable(const std::string& from, const std::string& to, const std::string& table,
                     std::string& problem);

}  // namespace app
