// The runtime's file functions. Names are resolved with resolvePath (case-
// insensitive, "\" or "/"); failures set FERROR to an osCode (see
// error_codes.hpp, which also gives DOSERRORMESSAGE) and are reported by the
// function's result. Writes through handles are buffered in large blocks.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/rt/paths.hpp"

namespace rt {

// FERROR: the osCode of the last file function's failure; 0 after a success.
int fError();

// FCREATE: creates `name`, or empties the file of that name, for writing.
// Returns the handle, -1 on failure.
int fCreate(std::string_view name);
// FWRITE: hands `count` bytes of `data` (all of it for a negative count) to
// the file. Returns the bytes taken; 0 when the handle is not open or an
// earlier write failed. A failure of a buffered write shows at a later FWRITE
// or at FCLOSE.
size_t fWrite(int handle, std::string_view data, long long count = -1);
// FCLOSE: writes what is buffered and closes. False when that or any earlier
// write failed, or the handle is not open.
bool fClose(int handle);

// MEMOREAD: the whole content of a regular file of at most 64 MiB; "" when
// it cannot be read (FERROR tells why: 223 for a larger file, 87 for a
// device or FIFO).
std::string memoRead(std::string_view name);
// MEMOWRIT: makes `text` the whole content of the file; false on failure.
bool memoWrit(std::string_view name, std::string_view text);
// FERASE: removes the file. 0 on success, -1 on failure.
int fErase(std::string_view name);

}  // namespace rt
