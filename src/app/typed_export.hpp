// The typed exports: CSV with typed values (and a script that loads it into
// PostgreSQL or SQLite), JSON Lines, an SQLite database.
#pragma once

#include <string>
#include <string_view>

#include "src/app/options.hpp"

namespace app {

// exportTable() for options.typed: writes the table open under INPUT in
// options.format, beside `cName` as NAME.CSV, NAME.JSONL or NAME.SQLITE (or
// where the options say), and with --schema the script beside the CSV.
// Fails, telling why and leaving what was on disk as it was, as
// exportTable() does.
bool exportTyped(const std::string& cName, bool lFieldLine, const Options& options);

// The name of the script beside the output `cOutput`: its last extension
// replaced by .SQL, or .sql when that extension is lower-case.
std::string schemaName(const std::string& cOutput);

}  // namespace app
