// Buffered output to an open file: the one write path of the file layer
// (FWRITE, MEMOWRIT, AtomicFile). Data is gathered in a large block and
// written with few system calls; the first failure is kept (sticky) and
// reported by flush(), close() and status(). A caller that fills blocks of
// its own hands them over with appendBlock(), and they are written in the
// background while it fills the next.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform/rt/os_file.hpp"
#include "platform/rt/status.hpp"
#include "platform/rt/worker.hpp"

namespace rt {

class OutputFile {
 public:
  static constexpr std::size_t kBlock = std::size_t{1} << 20;

  OutputFile() = default;
  // Takes over the file opened for writing.
  explicit OutputFile(OsFile file, std::size_t block = kBlock);
  // Flushes and closes; a failure here is lost, so callers that care call close().
  ~OutputFile();
  OutputFile(OutputFile&& other) noexcept;
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
  // Writes the bytes of `block` after what was appended before, in the
  // background, and gives back in `block` a buffer to fill again (its bytes
  // undefined). A failure shows in status() by the next call at the latest.
  void appendBlock(std::string& block);
  // Writes the block to the file; false when this or an earlier write failed.
  [[nodiscard]] bool flush();
  // Flushes and closes the file; false when anything failed.
  [[nodiscard]] bool close();
  // The first failure; ok when none.
  const Status& status() const { return status_; }

 private:
  void appendSlow(std::string_view s);
  void release();
  // Waits for the block in the background and takes its failure, if any.
  void settle();

  // A block being written in the background: its bytes, and how it went.
  struct Behind {
    std::string block;
    Status status = Status::ok();
    Worker worker;
  };

  OsFile file_;
  std::size_t block_ = kBlock;
  std::string buffer_;
  Status status_ = Status::ok();
  std::unique_ptr<Behind> behind_;  // made with the first appendBlock()
};

}  // namespace rt
