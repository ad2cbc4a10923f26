// The result of an operation of the platform: ok, or a failure with a code
// that says what kind of failure it is, the operating system's code for it
// (0 when the system did not fail: damaged bytes, a file of the wrong kind)
// and a readable sentence. Byte-level parsers and the file layer return it;
// the layer above reads the code and turns a failure into a runtime error.
#pragma once

#include <string>
#include <utility>

namespace rt {

// Operating-system codes in the numbering the error handler and FERROR use:
// the DOS and Windows error numbers of the xBase world. A system error with
// no such number keeps its own as dos::Own + the system's number.
namespace dos {
inline constexpr int FileNotFound = 2;
inline constexpr int PathNotFound = 3;
inline constexpr int AccessDenied = 5;
inline constexpr int BadHandle = 6;
inline constexpr int SharingViolation = 32;
inline constexpr int LockViolation = 33;
inline constexpr int FileExists = 80;
inline constexpr int InvalidParameter = 87;
inline constexpr int DiskFull = 112;
inline constexpr int FileTooLarge = 223;
inline constexpr int Own = 10000;
}  // namespace dos

enum class StatusCode {
  Ok,
  NotFound,      // the file does not exist (osCode 2)
  BadPath,       // a directory on the way is missing or no directory (3)
  AccessDenied,  // no permission, or the name is a directory (5)
  Locked,        // another open file holds a conflicting lock (32, 33)
  Exists,        // a file of that name is already there (80)
  DiskFull,      // no room left on the device or in the quota (112)
  TooLarge,      // the file is larger than the operation takes (223)
  NotAFile,      // a device, FIFO or socket where a regular file is needed
  BeyondEnd,     // a record or block outside what the file holds
  Corrupt,       // the bytes are damaged
  SystemError,   // any other failure the operating system reported
  InvalidArgument,  // what the user asked for cannot be done as asked
  NotSupported,     // asked for something this build cannot do (a code page)
};

class [[nodiscard]] Status {
 public:
  static Status ok() { return Status(); }
  // Failures of a kind the operating system did not report (no osCode),
  // named by their kind.
  static Status corrupt(std::string message) {
    return Status(StatusCode::Corrupt, 0, std::move(message));
  }
  static Status beyondEnd(std::string message) {
    return Status(StatusCode::BeyondEnd, 0, std::move(message));
  }
  static Status notAFile(std::string message) {
    return Status(StatusCode::NotAFile, 0, std::move(message));
  }
  static Status invalidArgument(std::string message) {
    return Status(StatusCode::InvalidArgument, 0, std::move(message));
  }
  static Status notSupported(std::string message) {
    return Status(StatusCode::NotSupported, 0, std::move(message));
  }
  // A failure the operating system reported with `osCode`; the code follows
  // from it. `message` is the system's text (see dosErrorMessage).
  static Status fromOsCode(int osCode, std::string message);
  // Same, with dosErrorMessage(osCode) as the sentence.
  static Status fromOsCode(int osCode);

  bool isOk() const { return code_ == StatusCode::Ok; }
  StatusCode code() const { return code_; }
  // The operating system's code of the failure, 0 when it did not fail.
  int osCode() const { return osCode_; }
  // The sentence, without the file's name (the caller adds it); "" when ok.
  const std::string& message() const { return message_; }
  // The file the failure concerns, when the one who reports it knows it;
  // "" when ok or not said.
  const std::string& file() const { return file_; }
  // The same failure, said to concern `file`.
  Status about(std::string file) && {
    file_ = std::move(file);
    return std::move(*this);
  }

 private:
  Status() = default;
  Status(StatusCode code, int osCode, std::string message)
      : code_(code), osCode_(osCode), message_(std::move(message)) {}

  StatusCode code_ = StatusCode::Ok;
  int osCode_ = 0;
  std::string message_;
  std::string file_;
};

// The code of a failure with `osCode`; SystemError for one with no kind of
// its own, Ok for 0.
StatusCode statusCodeOf(int osCode);

// Implemented once per operating system:

// The failure the system reports with its own error number `systemError`
// (what the C library leaves behind on POSIX, GetLastError on Windows).
Status systemFailure(int systemError);
// The osCode of the system's own error number; 0 for 0.
int osCodeOfSystemError(int systemError);
// DOSERRORMESSAGE: the operating system's own text for an osCode; "" for 0.
std::string dosErrorMessage(int osCode);

}  // namespace rt
