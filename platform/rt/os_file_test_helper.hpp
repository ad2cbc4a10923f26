// What tests do to the file layer: make its writes fail as on a full disk.
// Not for the program.
#pragma once

#include <cstddef>

#include "platform/rt/os_file.hpp"

namespace rt {

// After `okBytes` more bytes have been written, every write of the file
// layer fails with `osCode` (dos::DiskFull for a full disk). An osCode of 0
// turns the failure off.
void failWritesAfter(std::size_t okBytes, int osCode);

}  // namespace rt
