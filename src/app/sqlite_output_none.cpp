#include "src/app/sqlite_output.hpp"

namespace app {

bool sqliteOutputAvailable() { return false; }

bool writeSqlite(const std::string&, const std::string&, TypedReader&, RecordChoice&, ui::ProgressBar*,
                 std::string& problem) {
  problem = "this build writes no SQLite databases";
  return false;
}

bool copySqliteTable(const std::string&, const std::string&, const std::string&, std::string& problem) {
  problem = "this build writes no SQLite databases";
  return false;
}

}  // namespace app
