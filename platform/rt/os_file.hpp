// The file layer's one door to the operating system: an open file as an
// opaque, move-only handle (closing releases its lock), and the few
// operations on names the runtime needs. Paths are given already resolved
// (paths.hpp). Every failure is a Status with the system's osCode.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/rt/status.hpp"

namespace rt {

enum class OpenMode {
  Read,       // an existing regular file, for reading
  Write,      // created, or emptied when it exists, for writing
  Append,     // created when missing, writes go to its end
  CreateNew,  // created for writing; fails (Exists) when anything has the name
};

class OsFile {
 public:
  OsFile() = default;
  ~OsFile();
  OsFile(OsFile&& other) noexcept;
  OsFile& operator=(OsFile&& other) noexcept;
  OsFile(const OsFile&) = delete;
  OsFile& operator=(const OsFile&) = delete;

  // Opens `path`; a file made here gets the permissions a new file gets. The
  // open never waits: a FIFO without a reader or writer fails rather than
  // hang. Read fails (NotAFile, osCode 0) for a device or FIFO and
  // (AccessDenied) for a directory.
  [[nodiscard]] Status open(const std::string& path, OpenMode mode = OpenMode::Read);
  // Opens `path` for writing where it is when it is nothing a file could
  // replace: a device, FIFO or socket (on Windows a name of the device
  // namespace, such as NUL, CON or \\.\pipe\NAME). The open of a FIFO waits
  // for its reader. nullopt, the file left closed, when `path` is a regular
  // file or a directory or names nothing: those are written the ordinary way.
  [[nodiscard]] std::optional<Status> openInPlace(const std::string& path);
  // Takes a shared or an exclusive advisory lock without waiting; fails
  // (Locked) when another open file holds a conflicting one, even one of
  // this process. On POSIX systems a record lock of another process
  // (fcntl, lockf) conflicts too: a write lock over the first 32 bytes
  // with a shared lock, any lock with an exclusive one.
  [[nodiscard]] Status lock(bool shared);
  // Reads up to `n` bytes at `offset` into `buf`; `got` is less than `n` only
  // at the end of the file. Fails when the system refuses the read.
  [[nodiscard]] Status readAt(std::uint64_t offset, void* buf, std::size_t n, std::size_t& got);
  // Writes all of `data`, going on after short writes; `written` (when
  // given) receives the bytes that reached the file, so a caller can go on
  // from there after a failure.
  [[nodiscard]] Status write(std::string_view data, std::size_t* written = nullptr);
  // The file's current size, 0 when it cannot be had.
  std::uint64_t size() const;
  // Closes; the failure of the close itself (data a network file system
  // could not store) is returned. Closing a closed file is ok.
  Status close();

  bool isOpen() const { return handle_ != kNone; }

  // Standard output as a file of its own, for writing (closing it leaves
  // standard output open); not open when standard output is closed.
  static OsFile standardOutput();

 private:
  static constexpr std::intptr_t kNone = -1;

  // One write of the system, at most `n` bytes: `done` receives what it took.
  Status writeSome(const char* data, std::size_t n, std::size_t& done);

  std::intptr_t handle_ = kNone;  // the system's own handle, opaque here
};

// Removes the file `path`.
[[nodiscard]] Status removeFile(const std::string& path);
// Gives `from` the name `to`, replacing a file there.
[[nodiscard]] Status renameFile(const std::string& from, const std::string& to);
// Gives `to` the permissions of the regular file `from`; ok, doing nothing,
// when `from` is no regular file.
[[nodiscard]] Status copyPermissions(const std::string& from, const std::string& to);
// Whether the file `path` may be replaced: AccessDenied when it is a
// regular file whose permissions grant no write (by their bits, which keep
// even root off, or to this user); ok otherwise, and when there is none.
[[nodiscard]] Status checkReplaceable(const std::string& path);
// Whether `a` and `b` name one existing file, whatever the spelling: other
// folders on the way, links (symbolic or hard), letter case where the file
// system ignores it. False when either names nothing, and on Windows for a
// device name (opening a pipe's name would take one of its instances).
bool sameFile(const std::string& a, const std::string& b);
// Whether `path` is a link to the file standard output is open on
// (/dev/stdout, /dev/fd/1): writing there is writing to standard output.
// Never on Windows, which has no such names.
bool namesStandardOutput(const std::string& path);
// 64 bits no other user can predict, for the name of a temporary file.
std::uint64_t unpredictableBits();

}  // namespace rt
