#include "src/app/open_table.hpp"

#include <array>

#include "platform/db/workarea.hpp"
#include "platform/rt/error.hpp"
#include "platform/rt/paths.hpp"
#include "platform/rt/strings.hpp"

namespace app {

bool openTable(std::string& rcDriver, const std::string& cTable, const std::string& cAlias,
               bool lShared) {
  RT_PROC("OPENTABLE");
  // The order decides which driver wins when several could open the table.
  const std::array<std::string, 7> aDrivers{"DBFNTX", "DBFCDX", "FOXCDX", "FOXNTX",
                                            "SDFDBE", "DELDBE", "ODBCDBE"};
  const std::string table = rt::allTrim(cTable);
  RT_LINE();
  if (!rt::file(table)) return false;
  for (const std::string& driver : aDrivers) {
    bool failed = false;
    {
      rt::ErrorBlockGuard saved(rt::breakBlock());
      RT_LINE();
      rt::sequence([&] { db::dbUseArea(true, driver, table, cAlias, lShared); },
                   [&](const rt::Value&) { failed = true; });
    }
    if (failed) continue;
    if (db::select(cAlias) > 0) {
      rcDriver = driver;
      return true;
    }
  }
  rcDriver = "";
  return false;
}

}  // namespace app
