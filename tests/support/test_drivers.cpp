#include "platform/db/engine_test_helper.hpp"
#include "platform/db/workarea_test_helper.hpp"
#include "tests/support/test_drivers.hpp"

#include "platform/db/engine.hpp"
#include "platform/db/workarea.hpp"

namespace test_support {

void loadAllDrivers() {
  db::closeAll();
  db::resetEngines();
  for (const char* e : {"DBFDBE", "NTXDBE", "FOXDBE", "CDXDBE"}) db::dbeLoad(e, true);
  for (const char* e : {"DELDBE", "SDFDBE", "ODBCDBE"}) db::dbeLoad(e, false);
  db::dbeBuild("FOXCDX", "FOXDBE", "CDXDBE");
  db::dbeBuild("FOXNTX", "FOXDBE", "NTXDBE");
  db::dbeBuild("DBFNTX", "DBFDBE", "NTXDBE");
  db::dbeBuild("DBFCDX", "DBFDBE", "CDXDBE");
  db::dbeSetDefault("DBFNTX");
}

}  // namespace test_support
