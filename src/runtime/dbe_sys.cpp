// DBESYS and LOADDATABASEDRIVERS: the database engines and drivers.
#include <array>

#include "platform/db/engine.hpp"
#include "platform/rt/call_frame.hpp"
#include "platform/rt/program_end.hpp"
#include "platform/rt/settings.hpp"
#include "platform/ui/toolkit.hpp"
#include "src/runtime/detail.hpp"
#include "src/runtime/startup.hpp"

namespace runtime {

namespace {

struct EngineEntry {
  const char* name;
  bool hidden;  // a hidden engine only serves as part of a composite driver
};

// In load order.
constexpr std::array<EngineEntry, 7> kEngines{{
    {"DBFDBE", true},
    {"NTXDBE", true},
    {"DELDBE", false},
    {"SDFDBE", false},
    {"FOXDBE", true},
    {"CDXDBE", true},
    {"ODBCDBE", false},
}};

struct CompositeEntry {
  const char* driver;
  int data;   // 1-based position of the data engine in kEngines
  int order;  // 1-based position of the order engine in kEngines
};

// In build order.
constexpr std::array<CompositeEntry, 4> kComposites{{
    {"FOXCDX", 5, 6},
    {"FOXNTX", 5, 2},
    {"DBFNTX", 1, 2},
    {"DBFCDX", 1, 6},
}};

}  // namespace

bool loadDatabaseDrivers(const std::string& defaultDriver) {
  RT_PROC("LOADDATABASEDRIVERS");
  bool ok = true;
  rt::set(rt::Set::DbLayer, 2);
  const bool century = rt::set(rt::Set::Century).logical();
  rt::set(rt::Set::DateFormat, century ? "mm/dd/yyyy" : "mm/dd/yy");

  // Every load is attempted, so the user hears of every missing engine.
  for (const auto& e : kEngines) {
    if (!db::dbeLoad(e.name, e.hidden)) {
      ui::toolkit().alert(std::string(e.name) + " database driver not loaded.");
      ok = false;
    }
  }
  if (ok) {
    for (const auto& c : kComposites) {
      if (!db::dbeBuild(c.driver, kEngines[c.data - 1].name, kEngines[c.order - 1].name)) {
        ui::toolkit().alert(std::string(c.driver) + " database engine not created.");
        ok = false;
      }
    }
  }
  if (ok) db::dbeSetDefault(defaultDriver);
  return ok;
}

void dbeSys() {
  RT_PROC("DBESYS");
  if (!loadDatabaseDrivers("DBFNTX")) {
    ui::toolkit().alert("Not able to load database drivers from LoadDatabaseDrivers()");
    // Nothing was converted: a calling program must not read this as success.
    rt::errorLevel(1);
    rt::quit();
  }
  db::dbeInfo(2, 1007, 2);
  db::dbeSetDefault("DBFNTX");
}

}  // namespace runtime
