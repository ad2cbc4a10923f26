// Work areas: numbered slots, each holding one open table under an alias;
// one is current. Operations act on the current area; inArea() evaluates
// one call in another area and puts the current one back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/rt/value.hpp"

namespace db {

// DBUSEAREA: opens `file` through `driver` (empty: the default driver) under
// `alias` (upper-cased; empty: the file's name without its extension) in the
// lowest free work area, or with `newArea` false in the current one after
// closing what it holds; the area becomes current. Shared opening takes a
// shared advisory lock, exclusive an exclusive one (refused while another
// process has the table). A failure (unknown driver, alias in use, the
// engine's refusal) raises a runtime error; when the block answers anything
// but a retry, no area is opened.
void dbUseArea(bool newArea, const std::string& driver, const std::string& file,
               const std::string& alias, bool shared);
// SELECT(alias): the area number, 0 when no area has the alias (aliases
// compare without regard to letter case).
int select(const std::string& alias);
// The area of `alias` for an operation that needs it: raises a runtime error
// when no area has it and gives 0 when the block answers the default.
int aliasArea(const std::string& alias);
// SELECT(n): makes area n current (0 selects the first free one).
void selectArea(int area);
int currentArea();
// ALIAS(): alias of the current area, "" when it is unused.
std::string alias();
// The table open in the current area, nullptr when it is unused. For the
// export's fast path (recordView).
class Table;
Table* currentTable();
// The operations below act on the current area. In an unused area the
// queries give nothing (0, "", NIL, end of file), DBGOTOP and DBSKIP raise a
// runtime error, and DBCOMMIT, DBRROLLBACK and DBCLOSEAREA do nothing.
std::uint32_t lastRec();
void dbGoTop();
void dbSkip();
bool eof();
std::uint32_t recNo();
bool deleted();
int fCount();
std::string fieldName(int pos);
rt::Value fieldGet(int pos);
void dbCommit();
void dbRollback();
void dbCloseArea();
// WORKSPACELIST: the numbers of the areas in use, lowest first.
std::vector<int> workspaceList();

// Evaluates `f` with area `area` current, then makes the previous area
// current again on every path.
template <class F>
auto inArea(int area, F&& f) {
  struct Restore {
    int previous;
    ~Restore() { selectArea(previous); }
  } restore{currentArea()};
  selectArea(area);
  return f();
}

// A database session as DBSESSION() gives it: it tells how the last
// database operation went.
class DbSessionObject : public rt::Object {
 public:
  std::string className() const override { return "DBSESSION"; }
  virtual int getLastError() = 0;             // 0 when the last operation succeeded
  virtual std::string getLastMessage() = 0;   // the text of that error
};

// DBSESSION(): the current database session object, or NIL. Tests set one.
rt::Value dbSession();
void setDbSession(rt::Value session);

}  // namespace db
