#include "src/app/sqlite_output.hpp"

namespace app {

bool sqliteOutputAvailable() { return false; }

bool writeSqlite(const std::string&, const std::string&, TypedReader&, void (*)(void*), void*, std::uint64_t&,
                 std::string& problem) {
  problem = "this build writes no SQLite databases";
  return false;
}

}  // namespace app
