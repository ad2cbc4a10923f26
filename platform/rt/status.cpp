#include "platform/rt/status.hpp"

namespace rt {

StatusCode statusCodeOf(int osCode) {
  switch (osCode) {
    case 0: return StatusCode::Ok;
    case dos::FileNotFound: return StatusCode::NotFound;
    case dos::PathNotFound: return StatusCode::BadPath;
    case dos::AccessDenied: return StatusCode::AccessDenied;
    case dos::SharingViolation:
    case dos::LockViolation: return StatusCode::Locked;
    case dos::FileExists: return StatusCode::Exists;
    case dos::DiskFull: return StatusCode::DiskFull;
    case dos::FileTooLarge: return StatusCode::TooLarge;
    default: return StatusCode::SystemError;
  }
}

Status Status::fromOsCode(int osCode, std::string message) {
  return Status(statusCodeOf(osCode), osCode, std::move(message));
}

Status Status::fromOsCode(int osCode) { return fromOsCode(osCode, dosErrorMessage(osCode)); }

}  // namespace rt
