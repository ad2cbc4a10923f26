#include "platform/rt/output_file.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace rt {

namespace {

// The injected failure (tests only): bytes still allowed, and the errno.
struct InjectedFailure {
  size_t okBytes = 0;
  int errnoValue = 0;
};
InjectedFailure injected;

// How many of `size` bytes may be written before the injected failure; sets
// errno and gives 0 once the allowance is spent.
size_t allowance(size_t size) {
  if (injected.errnoValue == 0) return size;
  if (injected.okBytes == 0) {
    errno = injected.errnoValue;
    return 0;
  }
  size_t ok = size < injected.okBytes ? size : injected.okBytes;
  injected.okBytes -= ok;
  return ok;
}

}  // namespace

int openNoWait(const std::string& path, int flags, unsigned mode) {
  int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, mode);
  if (fd >= 0) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

void failWritesAfter(size_t okBytes, int errnoValue) { injected = {okBytes, errnoValue}; }

bool writeAll(int fd, const char* data, size_t size, size_t* written) {
  size_t done = 0;
  bool ok = true;
  while (done < size) {
    size_t allowed = allowance(size - done);
    ssize_t n = allowed == 0 ? -1 : ::write(fd, data + done, allowed);
    if (n < 0 && allowed != 0 && errno == EINTR) continue;
    if (n < 0) {
      ok = false;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (written) *written = done;
  return ok;
}

OutputFile::OutputFile(int fd, size_t block) : fd_(fd), block_(block == 0 ? 1 : block) {
  buffer_.reserve(block_);
}

OutputFile::~OutputFile() { release(); }

OutputFile::OutputFile(OutputFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      block_(other.block_),
      buffer_(std::move(other.buffer_)),
      error_(other.error_) {}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
  if (this != &other) {
    release();
    fd_ = std::exchange(other.fd_, -1);
    block_ = other.block_;
    buffer_ = std::move(other.buffer_);
    error_ = other.error_;
  }
  return *this;
}

void OutputFile::release() {
  if (fd_ < 0) return;
  (void)flush();
  ::close(fd_);
  fd_ = -1;
}

void OutputFile::appendSlow(std::string_view s) {
  if (!flush()) return;
  if (s.size() >= block_) {
    if (!writeAll(fd_, s.data(), s.size())) error_ = errno;
    return;
  }
  buffer_.append(s);
}

bool OutputFile::flush() {
  if (error_ == 0 && fd_ < 0 && !buffer_.empty()) error_ = EBADF;
  if (error_ == 0 && !buffer_.empty() && !writeAll(fd_, buffer_.data(), buffer_.size()))
    error_ = errno;
  buffer_.clear();
  return error_ == 0;
}

bool OutputFile::close() {
  if (fd_ < 0) return error_ == 0;
  bool ok = flush();
  if (::close(fd_) != 0 && error_ == 0) error_ = errno;
  fd_ = -1;
  return ok && error_ == 0;
}

}  // namespace rt
