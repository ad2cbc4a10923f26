#include "platform/rt/output_file.hpp"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

namespace rt {

namespace {

// The injected failure (tests only): bytes still allowed, and the errno.
// Writer threads consult it too, hence the lock.
struct InjectedFailure {
  size_t okBytes = 0;
  int errnoValue = 0;
};
InjectedFailure injected;
std::mutex injectedLock;

// How many of `size` bytes may be written before the injected failure; sets
// errno and gives 0 once the allowance is spent.
size_t allowance(size_t size) {
  std::lock_guard<std::mutex> lock(injectedLock);
  if (injected.errnoValue == 0) return size;
  if (injected.okBytes == 0) {
    errno = injected.errnoValue;
    return 0;
  }
  size_t ok = size < injected.okBytes ? size : injected.okBytes;
  injected.okBytes -= ok;
  return ok;
}

// Blocks every signal for its lifetime, so that a thread started meanwhile
// inherits a full mask: signals stay with the thread that runs the program.
class SignalsBlocked {
 public:
  SignalsBlocked() {
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous_);
  }
  ~SignalsBlocked() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
  SignalsBlocked(const SignalsBlocked&) = delete;
  SignalsBlocked& operator=(const SignalsBlocked&) = delete;

 private:
  sigset_t previous_;
};

}  // namespace

int openNoWait(const std::string& path, int flags, unsigned mode) {
  int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, mode);
  if (fd >= 0) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

void failWritesAfter(size_t okBytes, int errnoValue) {
  std::lock_guard<std::mutex> lock(injectedLock);
  injected = {okBytes, errnoValue};
}

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

// The background writer of one OutputFile: one block at a time, written
// while the owner fills the next. Everything the two threads share is
// guarded by mutex_; job_ belongs to the thread while busy_ is set and to the
// owner otherwise. The first failed write ends all writing; its errno stays.
class OutputFile::Writer {
 public:
  // Starts the thread; throws std::system_error when none can be had.
  Writer(int fd, size_t block) : fd_(fd) {
    job_.reserve(block);
    SignalsBlocked blocked;
    thread_ = std::thread([this] { run(); });
  }
  // Writes what was handed over, then stops and joins the thread.
  ~Writer() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    work_.notify_one();
    thread_.join();
  }
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;

  // Waits for the block before, then takes `block` to write and leaves an
  // empty buffer of the same capacity in its place. After a failure the
  // block is dropped. Returns the errno of the first failure, 0 when none.
  int submit(std::string& block) {
    std::unique_lock<std::mutex> lock(mutex_);
    idle_.wait(lock, [this] { return !busy_; });
    const int failed = error_;
    if (failed == 0) {
      job_.swap(block);
      busy_ = true;
    }
    lock.unlock();
    block.clear();
    if (failed == 0) work_.notify_one();
    return failed;
  }
  // Waits until the block handed over is written; the errno of the first failure, 0 when none.
  int wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    idle_.wait(lock, [this] { return !busy_; });
    return error_;
  }
  // The errno of the first failure so far, without waiting.
  int failure() const { return failed_.load(std::memory_order_acquire); }

 private:
  void run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      work_.wait(lock, [this] { return busy_ || stop_; });
      if (!busy_) return;
      lock.unlock();
      const int result = writeAll(fd_, job_.data(), job_.size()) ? 0 : errno;
      job_.clear();
      lock.lock();
      if (result != 0 && error_ == 0) {
        error_ = result;
        failed_.store(result, std::memory_order_release);
      }
      busy_ = false;
      lock.unlock();
      idle_.notify_one();
      lock.lock();
    }
  }

  const int fd_;
  std::mutex mutex_;
  std::condition_variable work_;  // a block is handed over, or the end is asked for
  std::condition_variable idle_;  // the block handed over is written
  std::string job_;
  bool busy_ = false;
  bool stop_ = false;
  int error_ = 0;
  std::atomic<int> failed_{0};  // error_, readable without the lock
  std::thread thread_;
};

OutputFile::OutputFile(int fd, size_t block) : fd_(fd), block_(block == 0 ? 1 : block) {
  buffer_.reserve(block_);
}

OutputFile::OutputFile() = default;

OutputFile::~OutputFile() { release(); }

OutputFile::OutputFile(OutputFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      block_(other.block_),
      buffer_(std::move(other.buffer_)),
      error_(other.error_),
      writer_(std::move(other.writer_)) {}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
  if (this != &other) {
    release();
    fd_ = std::exchange(other.fd_, -1);
    block_ = other.block_;
    buffer_ = std::move(other.buffer_);
    error_ = other.error_;
    writer_ = std::move(other.writer_);
  }
  return *this;
}

void OutputFile::release() {
  if (fd_ < 0) return;
  (void)close();
}

int OutputFile::error() const {
  if (error_ != 0 || !writer_) return error_;
  return writer_->failure();
}

void OutputFile::appendSlow(std::string_view s) {
  if (!handOff()) return;
  if (s.size() >= block_) {
    // Written here, in order: flush() waits for the blocks before it.
    if (flush() && !writeAll(fd_, s.data(), s.size())) error_ = errno;
    return;
  }
  buffer_.append(s);
}

bool OutputFile::handOff() {
  if (error_ != 0 || fd_ < 0 || buffer_.empty()) return flush();
  if (!writer_) {
    try {
      writer_ = std::make_unique<Writer>(fd_, block_);
    } catch (const std::system_error&) {
      return flush();  // no thread to be had: the blocks are written here
    } catch (const std::bad_alloc&) {
      return flush();
    }
  }
  error_ = writer_->submit(buffer_);
  return error_ == 0;
}

bool OutputFile::flush() {
  if (writer_) {
    const int failed = writer_->wait();
    if (error_ == 0) error_ = failed;
  }
  if (error_ == 0 && fd_ < 0 && !buffer_.empty()) error_ = EBADF;
  if (error_ == 0 && !buffer_.empty() && !writeAll(fd_, buffer_.data(), buffer_.size()))
    error_ = errno;
  buffer_.clear();
  return error_ == 0;
}

bool OutputFile::close() {
  if (fd_ < 0) return error_ == 0;
  bool ok = flush();
  writer_.reset();  // joins the thread before its descriptor goes
  if (::close(fd_) != 0 && error_ == 0) error_ = errno;
  fd_ = -1;
  return ok && error_ == 0;
}

}  // namespace rt
