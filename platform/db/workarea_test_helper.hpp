// What tests do to the work areas between cases. Not for the program.
#pragma once

#include "platform/db/workarea.hpp"

namespace db {

// Closes every area.
void closeAll();

}  // namespace db
