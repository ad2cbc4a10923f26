// The database layer reports with the runtime's Status (platform/rt/status.hpp):
// byte-level checks fail with Corrupt or BeyondEnd, file operations with the
// system's code.
#pragma once

#include "platform/rt/status.hpp"

namespace db {

using rt::Status;
using rt::StatusCode;

}  // namespace db
