#include "src/app/check_table.hpp"

#include "platform/db/workarea.hpp"
#include "platform/rt/call_frame.hpp"
#include "platform/rt/files.hpp"
#include "platform/rt/strings.hpp"
#include "src/app/message_box.hpp"
#include "src/app/open_table.hpp"

namespace app {
namespace {

// The table this check opened under INPUT: the trimmed name it was opened
// by, and the table itself, since the area may have been closed and another
// table opened there since. An edited field names another table, which must
// not inherit this one.
struct OpenedByCheck {
  std::string name;
  const db::Table* table = nullptr;
};

OpenedByCheck& opened() {
  static OpenedByCheck state;
  return state;
}

const db::Table* inputTable() {
  const int area = db::select("INPUT");
  return area > 0 ? db::inArea(area, [] { return db::currentTable(); }) : nullptr;
}

// Whether INPUT holds the table that `name` opened here.
bool inputHolds(const std::string& name) {
  return name == opened().name && inputTable() == opened().table;
}

void closeInput() {
  db::inArea(db::select("INPUT"), [] { db::dbCloseArea(); });
  opened() = {};
}

}  // namespace

bool checkTable(const std::string& cTable, std::string& rcDriver) {
  RT_PROC("CHECKTABLE");
  const std::string cName = rt::allTrim(cTable);
  if (db::select("INPUT") > 0) {
    if (inputHolds(cName)) return true;
    RT_LINE();
    closeInput();
  }
  if (cName.empty()) {
    RT_LINE();
    msg("YOU CAN NOT LEAVE THIS EMPTY.;USE THE [...] BUTTON TO TAG A TABLE NAME.");
    return false;
  }
  if (rt::at("*", cName) > 0 || rt::at("?", cName) > 0) {
    RT_LINE();
    msg("NO WILDCARD CHARACTERS ALLOWED.");
    return false;
  }
  if (!rt::file(cName)) {
    RT_LINE();
    msg("FILE " + cName + " NOT FOUND.;;USE [...] BUTTON TO TAG A TABLE NAME.");
    return false;
  }
  RT_LINE();
  const bool lOpened = openTable(rcDriver, cName, "INPUT", false);
  if (!lOpened) {
    RT_LINE();
    msg("NOT ABLE TO OPEN " + cName);
    return false;
  }
  opened() = {cName, inputTable()};
  return true;
}

void forgetCheckedTable() { opened() = {}; }

}  // namespace app
