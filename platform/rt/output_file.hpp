// Buffered output to an open file: the one write path of the file layer
// (FWRITE, MEMOWRIT, AtomicFile). Data is gathered in a large block and
// written with few system calls; the first failure is kept (sticky) and
// reported by flush(), close() and status().
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/rt/os_file.hpp"
#include "platform/rt/status.hpp"

namespace rt {

class OutputFile {
 public:
  static constexpr std::size_t kBlock = std::size_t{1} << 20;

  OutputFile() = default;
  // Takes over the file opened for writing.
  explicit OutputFile(OsFile file, std::size_t block = kBlock);
  // Flushes and closes; a failure here is lost, so callers that care call close().
  ~OutputFile();
  OutputFile(OutputFile&& other) noexcept = default;
  OutputFile& operator=(OutputFile&& other) noexcept;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool isOpen() const { return file_.isOpen(); }
  // Adds `s` to the block; a full block goes to the file. After a failure
  // nothing more is written.
  void append(std::string_view s) {
    if (buffer_.size() + s.size() <= block_) buffer_.append(s);
    else appendSlow(s);
  }
  // Writes the block to the file; false when this or an earlier write failed.
  [[nodiscard]] bool flush();
  // Flushes and closes the file; false when anything failed.
  [[nodiscard]] bool close();
  // The first failure; ok when none.
  const Status& status() const { return status_; }

 private:
  void appendSlow(std::string_view s);
  void release();

  OsFile file_;
  std::size_t block_ = kBlock;
  std::string buffer_;
  Status status_ = Status::ok();
};

}  // namespace rt
