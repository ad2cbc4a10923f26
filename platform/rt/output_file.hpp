// Buffered output to a file descriptor: the one write path of the file layer
// (FWRITE, the alternate and extra files, AtomicFile). Data is gathered in a
// large block and written with few system calls; the first failure is kept
// (sticky) and reported by flush(), close() and error().
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rt {

// Writes all of `data` to `fd`, going on after short writes and interrupts.
// False on failure, with errno set; `written` (when given) receives the
// bytes that reached the file, so a caller can go on from there.
[[nodiscard]] bool writeAll(int fd, const char* data, size_t size, size_t* written = nullptr);

// open(2) that never waits: a FIFO with no reader or writer fails (ENXIO)
// instead of hanging the program; the descriptor then does blocking I/O.
// -1 with errno set on failure.
int openNoWait(const std::string& path, int flags, unsigned mode = 0666);

// Used by tests: after `okBytes` more bytes have been written, every write
// of the file layer fails with `errnoValue` (ENOSPC for a full disk). An
// errnoValue of 0 turns the failure off.
void failWritesAfter(size_t okBytes, int errnoValue);

class OutputFile {
 public:
  static constexpr size_t kBlock = size_t{1} << 20;

  OutputFile() = default;
  // Takes ownership of the open descriptor `fd`.
  explicit OutputFile(int fd, size_t block = kBlock);
  // Flushes and closes; a failure here is lost, so callers that care call close().
  ~OutputFile();
  OutputFile(OutputFile&& other) noexcept;
  OutputFile& operator=(OutputFile&& other) noexcept;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool isOpen() const { return fd_ >= 0; }
  // Adds `s` to the block; a full block goes to the file. After a failure
  // nothing more is written.
  void append(std::string_view s) {
    if (buffer_.size() + s.size() <= block_) buffer_.append(s);
    else appendSlow(s);
  }
  // Writes the block to the file; false when this or an earlier write failed.
  [[nodiscard]] bool flush();
  // Flushes and closes the descriptor; false when anything failed.
  [[nodiscard]] bool close();
  // The errno of the first failure, 0 when none.
  int error() const { return error_; }

 private:
  void appendSlow(std::string_view s);
  void release();

  int fd_ = -1;
  size_t block_ = kBlock;
  std::string buffer_;
  int error_ = 0;
};

}  // namespace rt
