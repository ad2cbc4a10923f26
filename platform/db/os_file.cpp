#include "platform/db/os_file.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace db {

OsFile::~OsFile() { close(); }

OsFile::OsFile(OsFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), errno_(other.errno_) {}

OsFile& OsFile::operator=(OsFile&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
    errno_ = other.errno_;
  }
  return *this;
}

Status OsFile::open(const std::string& path) {
  close();
  // Nothing writes records, so read-only tables open too. Not waiting for a
  // writer keeps a FIFO given as a table from blocking the open.
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  errno_ = fd_ < 0 ? errno : 0;
  if (fd_ < 0) return Status::fail(std::strerror(errno_));
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    const bool directory = S_ISDIR(st.st_mode);
    close();
    errno_ = directory ? EISDIR : 0;
    return Status::fail(directory ? std::strerror(EISDIR) : "it is not a regular file");
  }
  return Status::ok();
}

Status OsFile::lock(bool shared) {
  // flock locks belong to the open file, so a second opening of the same
  // table conflicts even inside this process, as it would between two.
  if (::flock(fd_, (shared ? LOCK_SH : LOCK_EX) | LOCK_NB) == 0) {
    errno_ = 0;
    return Status::ok();
  }
  errno_ = errno;
  return Status::fail(std::strerror(errno_));
}

Status OsFile::readAt(std::uint64_t offset, void* buf, std::size_t n, std::size_t& got) {
  got = 0;
  errno_ = 0;
  auto* out = static_cast<char*>(buf);
  while (got < n) {
    const ssize_t r = ::pread(fd_, out + got, n - got, static_cast<off_t>(offset + got));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) {
      errno_ = errno;
      return Status::fail(std::strerror(errno_));
    }
    if (r == 0) break;
    got += static_cast<std::size_t>(r);
  }
  return Status::ok();
}

std::uint64_t OsFile::size() const {
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) return 0;
  return static_cast<std::uint64_t>(st.st_size);
}

void OsFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace db
