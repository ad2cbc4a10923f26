#include "platform/db/workarea.hpp"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "platform/db/db_errors.hpp"
#include "platform/db/engine.hpp"
#include "platform/db/workarea_test_helper.hpp"
#include "platform/rt/strings.hpp"
#include "platform/rt/paths.hpp"

namespace db {

namespace {

struct Area {
  std::unique_ptr<Table> table;
  std::string alias;
};

struct Areas {
  std::map<int, Area> inUse;
  int current = 1;
  Table* table = nullptr;  // of the current area: every operation asks for it
  const std::string* alias = nullptr;  // of the current area, asked for on every record
  rt::Value session;
};

Areas& areas() {
  static Areas a;
  return a;
}

Table* tableOf(int area) {
  auto it = areas().inUse.find(area);
  return it == areas().inUse.end() ? nullptr : it->second.table.get();
}

// Keeps the current area's table at hand after any change of areas.
void refreshCurrent() {
  Areas& a = areas();
  a.table = tableOf(a.current);
  const auto it = a.inUse.find(a.current);
  a.alias = it == a.inUse.end() ? nullptr : &it->second.alias;
}

char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Whether `given` names the stored (upper-case) alias, without building a copy.
bool namesAlias(const std::string& stored, const std::string& given) {
  if (stored.size() != given.size()) return false;
  // Most names are given in capitals, as stored.
  if (std::memcmp(stored.data(), given.data(), given.size()) == 0) return true;
  for (std::size_t i = 0; i < given.size(); ++i)
    if (upperAscii(given[i]) != stored[i]) return false;
  return true;
}

int firstFreeArea() {
  int n = 1;
  for (const auto& [number, area] : areas().inUse) {
    if (number != n) break;
    ++n;
  }
  return n;
}

std::string aliasFromFile(const std::string& file) {
  std::string base = rt::baseName(rt::resolvePath(file));
  const std::size_t dot = base.rfind('.');
  if (dot != std::string::npos && dot > 0) base.erase(dot);
  return rt::upper(base);
}

// Raises `e` until the block stops asking for a retry the error offers.
void raiseUntilSettled(const TableError& e) {
  while (raiseAndRetry(e)) {
  }
}

// The way out of tableFor() when the current area has no table, apart so
// that the common way stays short.
[[gnu::noinline]] Table* tableAfterError(const char* operation) {
  for (;;) {
    if (Table* t = areas().table) return t;
    TableError e(rt::Condition::AreaNotInUse, "", operation, std::to_string(areas().current));
    if (!raiseAndRetry(e)) return nullptr;
  }
}

// The current area's table for an operation that needs one.
Table* tableFor(const char* operation) {
  if (Table* t = areas().table) return t;
  return tableAfterError(operation);
}

std::unique_ptr<Table> openThrough(const std::string& driver, const std::string& file, bool shared) {
  const std::string name = driver.empty() ? dbeDefault() : rt::upper(driver);
  for (;;) {
    if (auto engine = dataEngineFor(name)) return engine->open(file, shared);
    TableError e(rt::Condition::DriverUnknown, file, "DBUSEAREA", name);
    if (!raiseAndRetry(e)) return nullptr;
  }
}

}  // namespace

void dbUseArea(bool newArea, const std::string& driver, const std::string& file,
               const std::string& alias, bool shared) {
  const std::string name = alias.empty() ? aliasFromFile(file) : rt::upper(alias);
  // A failed open, however it ends, leaves the area that was current before.
  struct Restore {
    int previous;
    bool opened = false;
    ~Restore() {
      if (!opened) selectArea(previous);
    }
  } restore{currentArea()};
  if (newArea) {
    selectArea(0);
  } else {
    dbCloseArea();
  }
  if (select(name) > 0) {
    raiseUntilSettled(TableError(rt::Condition::AliasInUse, file, "DBUSEAREA", name));
    return;
  }
  std::unique_ptr<Table> table = openThrough(driver, file, shared);
  if (!table) return;
  areas().inUse[areas().current] = Area{std::move(table), name};
  refreshCurrent();
  restore.opened = true;
}

int select(const std::string& alias) {
  // No two areas share an alias: the current area's, when it is the one
  // asked for, is the only one.
  if (const std::string* current = areas().alias; current && namesAlias(*current, alias)) return areas().current;
  for (const auto& [number, area] : areas().inUse)
    if (namesAlias(area.alias, alias)) return number;
  return 0;
}

int aliasArea(const std::string& alias) {
  for (;;) {
    if (int n = select(alias)) return n;
    TableError e(rt::Condition::NoAlias, "", "SELECT", rt::upper(alias));
    if (!raiseAndRetry(e)) return 0;
  }
}

void selectArea(int area) {
  areas().current = area <= 0 ? firstFreeArea() : area;
  refreshCurrent();
}

int currentArea() { return areas().current; }

std::string alias() {
  auto it = areas().inUse.find(areas().current);
  return it == areas().inUse.end() ? std::string() : it->second.alias;
}

Table* currentTable() { return areas().table; }

std::uint32_t lastRec() {
  Table* t = currentTable();
  return t ? t->lastRec() : 0;
}

void dbGoTop() {
  if (Table* t = tableFor("DBGOTOP")) t->goTop();
}

void dbSkip() {
  if (Table* t = tableFor("DBSKIP")) t->skip();
}

bool eof() {
  Table* t = currentTable();
  return t ? t->eof() : true;
}

std::uint32_t recNo() {
  Table* t = currentTable();
  return t ? t->recNo() : 0;
}

bool deleted() {
  Table* t = currentTable();
  return t && t->deleted();
}

int fCount() {
  Table* t = currentTable();
  return t ? t->fieldCount() : 0;
}

std::string fieldName(int pos) {
  Table* t = currentTable();
  return t ? t->fieldName(pos) : std::string();
}

rt::Value fieldGet(int pos) {
  Table* t = currentTable();
  return t ? t->fieldGet(pos) : rt::Value();
}

void dbCommit() {
  if (Table* t = currentTable()) t->commit();
}

void dbRollback() {
  if (Table* t = currentTable()) t->rollback();
}

void dbCloseArea() {
  // Closing releases the table's files and lock.
  areas().inUse.erase(areas().current);
  refreshCurrent();
}

std::vector<int> workspaceList() {
  std::vector<int> list;
  for (const auto& [number, area] : areas().inUse) list.push_back(number);
  return list;
}

void closeAll() {
  areas().inUse.clear();
  areas().current = 1;
  refreshCurrent();
}

rt::Value dbSession() { return areas().session; }

void setDbSession(rt::Value session) { areas().session = std::move(session); }

}  // namespace db
