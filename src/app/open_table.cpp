#include "src/app/open_table.hpp"

#include <array>

#include "platform/db/workarea.hpp"
#include "platform/rt/call_frame.hpp"
#include "platform/rt/error_block.hpp"
#include "platform/rt/error_codes.hpp"
#include "platform/rt/paths.hpp"
#include "platform/rt/status.hpp"
#include "platform/rt/strings.hpp"

namespace app {

namespace {

// Whether `error` says only that the driver does not read tables of this
// kind, so that another driver's complaint tells more.
bool refusesTheKind(const rt::ErrorObject& error) {
  for (rt::Condition c : {rt::Condition::TableVersion, rt::Condition::DriverNoStructure}) {
    const rt::ConditionInfo& info = rt::conditionInfo(c);
    if (error.subSystem == info.subSystem && error.subCode == info.subCode) return true;
  }
  return false;
}

// The runtime error of a refused attempt as a status: the system's failure
// when it names one, else damaged bytes.
rt::Status statusOf(const rt::ErrorObject& error) {
  rt::Status s = error.osCode != 0 ? rt::Status::fromOsCode(error.osCode, error.description)
                                   : rt::Status::corrupt(error.description);
  return std::move(s).about(error.fileName);
}

// Keeps in `reason` the attempt that tells most.
void noteRefusal(const rt::Value& breakValue, rt::Status& reason, bool& kindRecognised) {
  if (kindRecognised || !breakValue.isObject()) return;
  const auto* error = dynamic_cast<const rt::ErrorObject*>(breakValue.object().get());
  if (!error) return;
  if (!refusesTheKind(*error)) {
    reason = statusOf(*error);
    kindRecognised = true;
  } else if (reason.isOk()) {
    reason = statusOf(*error);
  }
}

}  // namespace

bool openTable(std::string& rcDriver, const std::string& cTable, const std::string& cAlias,
               bool lShared, rt::Status* rcReason) {
  RT_PROC("OPENTABLE");
  // The order decides which driver wins when several could open the table.
  const std::array<std::string, 7> aDrivers{"DBFNTX", "DBFCDX", "FOXCDX", "FOXNTX",
                                            "SDFDBE", "DELDBE", "ODBCDBE"};
  const std::string table = rt::allTrim(cTable);
  RT_LINE();
  if (!rt::file(table)) return false;
  rt::Status reason = rt::Status::ok();
  bool kindRecognised = false;
  for (const std::string& driver : aDrivers) {
    bool failed = false;
    {
      rt::ErrorBlockGuard saved(rt::breakBlock());
      RT_LINE();
      rt::sequence([&] { db::dbUseArea(true, driver, table, cAlias, lShared); },
                   [&](const rt::Value& error) {
                     failed = true;
                     noteRefusal(error, reason, kindRecognised);
                   });
    }
    if (failed) continue;
    if (db::select(cAlias) > 0) {
      rcDriver = driver;
      return true;
    }
  }
  rcDriver = "";
  if (rcReason) *rcReason = reason;
  return false;
}

}  // namespace app
