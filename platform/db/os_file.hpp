// A file opened read-only at the operating-system level, with advisory
// locking and positioned reads. Move-only; closing releases the lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/db/status.hpp"

namespace db {

class OsFile {
 public:
  OsFile() = default;
  ~OsFile();
  OsFile(OsFile&& other) noexcept;
  OsFile& operator=(OsFile&& other) noexcept;
  OsFile(const OsFile&) = delete;
  OsFile& operator=(const OsFile&) = delete;

  // Opens an existing regular file for reading; fails with the system's
  // reason, or because the name is a directory, device or FIFO.
  [[nodiscard]] Status open(const std::string& path);
  // Takes a shared or an exclusive advisory lock without waiting; fails when
  // another open file holds a conflicting one.
  [[nodiscard]] Status lock(bool shared);
  // Reads up to `n` bytes at `offset` into `buf`; `got` is less than `n` only
  // at the end of the file. Fails when the system refuses the read.
  [[nodiscard]] Status readAt(std::uint64_t offset, void* buf, std::size_t n, std::size_t& got);
  // The file's current size, 0 when it cannot be had.
  std::uint64_t size() const;
  void close();

  bool isOpen() const { return fd_ >= 0; }
  // errno of the last failure, 0 when none.
  int lastErrno() const { return errno_; }

 private:
  int fd_ = -1;
  int errno_ = 0;
};

}  // namespace db
