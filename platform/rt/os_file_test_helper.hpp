// What tests do to the file layer: stand between it and the system's
// writes, to make them fail as on a full disk. Not for the program.
#pragma once

#include <cstddef>

#include "platform/rt/os_file.hpp"
#include "platform/rt/status.hpp"

namespace rt {

// Sees every write of the file layer before the system does.
class WriteSeam {
 public:
  virtual ~WriteSeam() = default;
  // How many of `size` bytes the system may be given now; 0 fails the
  // write with failure().
  virtual std::size_t allow(std::size_t size) = 0;
  virtual Status failure() const = 0;
};

// Puts `seam` (nullptr: none) before every write; returns the one before.
WriteSeam* setWriteSeam(WriteSeam* seam);

// A disk that fills after `okBytes` more bytes: every write then fails with
// `osCode` (dos::DiskFull for a full disk).
class FullDiskAfter : public WriteSeam {
 public:
  FullDiskAfter(std::size_t okBytes, int osCode) : okBytes_(okBytes), osCode_(osCode) {}
  std::size_t allow(std::size_t size) override {
    const std::size_t ok = size < okBytes_ ? size : okBytes_;
    okBytes_ -= ok;
    return ok;
  }
  Status failure() const override { return Status::fromOsCode(osCode_); }

 private:
  std::size_t okBytes_;
  int osCode_;
};

// A FullDiskAfter for every write until the next call; an osCode of 0
// takes it away.
inline void failWritesAfter(std::size_t okBytes, int osCode) {
  static FullDiskAfter disk(0, 0);
  disk = FullDiskAfter(okBytes, osCode);
  setWriteSeam(osCode == 0 ? nullptr : &disk);
}

}  // namespace rt
