// The file layer on POSIX systems: descriptors, open(2) flags and errno.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/rt/os_file.hpp"

namespace rt {

namespace {

constexpr unsigned kNewFileMode = 0666;  // less the umask
// The bytes every table begins with: its fixed header.
constexpr off_t kHeaderBytes = 32;

int flagsOf(OpenMode mode) {
  switch (mode) {
    case OpenMode::Read: return O_RDONLY;
    case OpenMode::Write: return O_WRONLY | O_CREAT | O_TRUNC;
    case OpenMode::Append: return O_WRONLY | O_CREAT | O_APPEND;
    case OpenMode::CreateNew: return O_WRONLY | O_CREAT | O_EXCL;
  }
  return O_RDONLY;
}

}  // namespace

Status OsFile::open(const std::string& path, OpenMode mode) {
  (void)close();
  // O_NONBLOCK: a FIFO with no reader or writer fails (ENXIO) or opens at
  // once instead of hanging the program. Nothing writes records, so
  // read-only tables open too.
  const int fd = ::open(path.c_str(), flagsOf(mode) | O_NONBLOCK | O_CLOEXEC, kNewFileMode);
  if (fd < 0) return systemFailure(errno);
  handle_ = fd;
  if (mode != OpenMode::Read) {
    // Written files then do blocking I/O.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return Status::ok();
  }
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) return Status::ok();
  const bool directory = S_ISDIR(st.st_mode);
  (void)close();
  if (directory) return systemFailure(EISDIR);
  return Status::notAFile("it is not a regular file");
}

std::optional<Status> OsFile::openInPlace(const std::string& path) {
  (void)close();
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) return std::nullopt;
  // Blocking: a FIFO's writer waits for its reader, as a shell's ">" does.
  // No O_TRUNC: a device or FIFO has nothing to empty.
  int fd = -1;
  do {
    fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return systemFailure(errno);
  handle_ = fd;
  // A regular file put there since the look above is replaced, not written into.
  if (::fstat(fd, &st) == 0 && !S_ISREG(st.st_mode)) return Status::ok();
  (void)close();
  return std::nullopt;
}

Status OsFile::lock(bool shared) {
  // flock locks belong to the open file, so a second opening of the same
  // table conflicts even inside this process, as it would between two.
  const int fd = static_cast<int>(handle_);
  if (::flock(fd, (shared ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0) return systemFailure(errno);
  // Most Linux programs lock with fcntl or lockf instead, which flock does
  // not see. A writer holding the whole file or its header is rewriting
  // the table; a lock on one record (beyond the header) or a read lock is
  // another reader or an edit in place, and a shared open goes on.
  struct flock probe {};
  probe.l_type = shared ? F_RDLCK : F_WRLCK;
  probe.l_whence = SEEK_SET;
  probe.l_start = 0;
  probe.l_len = shared ? kHeaderBytes : 0;  // 0: to the end, however long
  if (::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK) {
    (void)::flock(fd, LOCK_UN);
    return systemFailure(EWOULDBLOCK);
  }
  return Status::ok();
}

Status OsFile::readAt(std::uint64_t offset, void* buf, std::size_t n, std::size_t& got) {
  got = 0;
  auto* out = static_cast<char*>(buf);
  while (got < n) {
    const ssize_t r = ::pread(static_cast<int>(handle_), out + got, n - got, static_cast<off_t>(offset + got));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return systemFailure(errno);
    if (r == 0) break;
    got += static_cast<std::size_t>(r);
  }
  return Status::ok();
}

Status OsFile::writeSome(const char* data, std::size_t n, std::size_t& done) {
  const ssize_t r = ::write(static_cast<int>(handle_), data, n);
  done = r > 0 ? static_cast<std::size_t>(r) : 0;
  if (r < 0 && errno != EINTR) return systemFailure(errno);
  return Status::ok();
}

std::uint64_t OsFile::size() const {
  struct stat st {};
  if (handle_ == kNone || ::fstat(static_cast<int>(handle_), &st) != 0) return 0;
  return static_cast<std::uint64_t>(st.st_size);
}

OsFile OsFile::standardOutput() {
  OsFile f;
  const int fd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
  if (fd >= 0) f.handle_ = fd;
  return f;
}

Status OsFile::close() {
  if (handle_ == kNone) return Status::ok();
  const int fd = static_cast<int>(handle_);
  handle_ = kNone;
  if (::close(fd) != 0) return systemFailure(errno);
  return Status::ok();
}

Status removeFile(const std::string& path) {
  return ::unlink(path.c_str()) == 0 ? Status::ok() : systemFailure(errno);
}

Status renameFile(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0 ? Status::ok() : systemFailure(errno);
}

// A file that replaces an earlier one keeps the earlier one's permissions:
// an output its owner had made private must not become readable by others
// because it was written again.
Status copyPermissions(const std::string& from, const std::string& to) {
  struct stat st {};
  if (::stat(from.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return Status::ok();
  return ::chmod(to.c_str(), st.st_mode & 07777) == 0 ? Status::ok() : systemFailure(errno);
}

Status checkReplaceable(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return Status::ok();
  if ((st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0) return systemFailure(EACCES);
  return Status::ok();
}

bool sameFile(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

bool namesStandardOutput(const std::string& path) {
  struct stat link {}, target {}, out {};
  return ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode) && ::stat(path.c_str(), &target) == 0 &&
         ::fstat(STDOUT_FILENO, &out) == 0 && target.st_dev == out.st_dev && target.st_ino == out.st_ino;
}

std::uint64_t unpredictableBits() {
  std::uint64_t bits = 0;
  if (::getrandom(&bits, sizeof bits, 0) != static_cast<ssize_t>(sizeof bits))
    bits ^= static_cast<std::uint64_t>(::getpid()) * 0x9E3779B97F4A7C15ull ^ reinterpret_cast<std::uintptr_t>(&bits);
  return bits;
}

}  // namespace rt
