// The operating system's error numbers (errno) in the osCode numbering.
#include <cerrno>
#include <cstring>

#include "platform/rt/status.hpp"

namespace rt {

namespace {

struct OsPair {
  int errnoValue;
  int osCode;
};
constexpr OsPair kOsCodes[] = {
    {ENOENT, 2},    {ENOTDIR, 3},   {ELOOP, 3},     {EMFILE, 4},         {ENFILE, 4},
    {EACCES, 5},    {EPERM, 5},     {EISDIR, 5},    {EBADF, 6},          {ENOMEM, 8},
    {EROFS, 19},    {EIO, 30},      {EWOULDBLOCK, 32}, {EEXIST, 80},     {EINVAL, 87},
    {ENOSPC, 112},  {EDQUOT, 112},  {ENOTEMPTY, 145}, {ENAMETOOLONG, 206}, {EFBIG, 223},
    {EBUSY, 170},   {ETXTBSY, 32},
};

}  // namespace

int osCodeOfSystemError(int errnoValue) {
  if (errnoValue == 0) return 0;
  for (const OsPair& pair : kOsCodes)
    if (pair.errnoValue == errnoValue) return pair.osCode;
  return dos::Own + errnoValue;
}

Status systemFailure(int errnoValue) {
  return Status::fromOsCode(osCodeOfSystemError(errnoValue), std::strerror(errnoValue));
}

std::string dosErrorMessage(int osCode) {
  if (osCode == 0) return {};
  if (osCode == dos::SharingViolation) return "The file is in use by another process";
  if (osCode > dos::Own) return std::strerror(osCode - dos::Own);
  for (const OsPair& pair : kOsCodes)
    if (pair.osCode == osCode) return std::strerror(pair.errnoValue);
  return "Unknown operating system error " + std::to_string(osCode);
}

}  // namespace rt
