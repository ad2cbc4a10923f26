// AtomicFile: an output that replaces its target only when it is complete.
// The data goes to a new temporary file beside the target; commit() renames
// it over the target, and a file never committed is removed, so a run that
// fails midway, or is interrupted (interrupt_cleanup.hpp), leaves the
// previous target as it was. A target that no file can replace (a device,
// FIFO or socket; NUL, CON or a pipe on Windows) is written where it is.
#pragma once

#include <string>
#include <string_view>

#include "platform/rt/interrupt_cleanup.hpp"
#include "platform/rt/output_file.hpp"
#include "platform/rt/status.hpp"

namespace rt {

class AtomicFile {
 public:
  // Creates the temporary file in the target's (resolved) directory, by
  // exclusive creation under an unpredictable name, with the permissions a
  // new file gets; or opens the target itself when it is written in place.
  // An existing target that grants no write is refused (access denied),
  // even to root. On failure ok() is false and status() tells why; appends
  // then do nothing.
  explicit AtomicFile(std::string_view target);
  // Without a commit, removes the temporary file.
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // False once creating or writing the temporary file has failed.
  bool ok() const { return status_.isOk() && out_.status().isOk(); }
  // The first failure; ok when none.
  const Status& status() const { return status_.isOk() ? out_.status() : status_; }

  // Adds bytes to the output (buffered in large blocks).
  void append(std::string_view s) { out_.append(s); }
  // Hands a filled block over to be written in the background; see
  // OutputFile::appendBlock().
  void appendBlock(std::string& block) { out_.appendBlock(block); }

  // Writes what is buffered, closes the temporary file and renames it over
  // the target, which keeps the permissions of the file it replaces. On any
  // failure (the first, as status() gives it) the temporary file is gone and
  // the target untouched. Written in place: writes what is buffered and
  // closes.
  Status commit();

  // The resolved target path and the temporary file's path ("" when the
  // target is written in place).
  const std::string& target() const { return target_; }
  const std::string& tempPath() const { return temp_; }

 private:
  void discard();

  std::string target_;
  std::string temp_;
  OutputFile out_;
  RemovedOnInterrupt armed_;  // the temporary file, while it may go
  Status status_ = Status::ok();
  bool done_ = false;
};

}  // namespace rt
