// OPENTABLE: opening a table without knowing its driver.
#pragma once

#include <string>

#include "platform/rt/status.hpp"

namespace app {

// Opens `cTable` (leading and trailing blanks ignored) in a new work area
// under `cAlias`, shared or exclusive, trying the seven driver names in a
// fixed order and keeping the first under which it opens. Each attempt runs
// under an error block that turns its runtime error into a break; the block
// in force before is put back after every attempt, so a refusal reaches no
// handler and shows nothing. True when the table is open under `cAlias`;
// `rcDriver` then names the driver. False with `rcDriver` "" when no driver
// opened it; false with `rcDriver` untouched when the file does not exist.
// When `rcReason` is given and no driver opened the table, it receives why:
// the error of the first driver that took the file for one of its own (the
// others refuse its kind), else of the first driver; its message is that
// error's description.
bool openTable(std::string& rcDriver, const std::string& cTable, const std::string& cAlias,
               bool lShared, rt::Status* rcReason = nullptr);

}  // namespace app
