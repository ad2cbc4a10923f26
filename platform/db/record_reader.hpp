// Sequential access to the fixed-length records of a table file: large
// positioned reads of whole records into one buffer, so that moving to the
// next record is mostly a pointer step. While the records of one block are
// read through, the next block is read in the background.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/rt/os_file.hpp"
#include "platform/rt/worker.hpp"
#include "platform/db/record_view.hpp"
#include "platform/db/status.hpp"

namespace db {

class RecordReader {
 public:
  // The size of one read. Large enough that reading costs about what copying
  // the file costs, small enough to stay in the cache.
  static constexpr std::size_t kBlockBytes = std::size_t{1} << 20;

  // Records of `recordLength` bytes start at `firstOffset` of `file`; the
  // header promises `recordCount` of them.
  RecordReader(rt::OsFile& file, std::uint64_t firstOffset, std::uint32_t recordLength,
               std::uint32_t recordCount);

  // Points `record` at the bytes of record `n` (1-based, at most the record
  // count), with kRecordPadding readable bytes on either side; they stay
  // valid until the next fetch. Fails (BeyondEnd) when the
  // file ends before the record does, or when the system refuses the read.
  [[nodiscard]] Status fetch(std::uint32_t n, const std::uint8_t*& record);
  // The bytes of record `n` when the last read brought them, as fetch()
  // gives them; null when only a fetch can.
  const std::uint8_t* buffered(std::uint32_t n) const {
    if (n < first_ || n - first_ >= count_) return nullptr;
    return buffer_.data() + kRecordPadding + static_cast<std::size_t>(n - first_) * recordLength_;
  }
  // Forgets the buffered records, so the next fetch reads the file again.
  void invalidate();

 private:
  Status fill(std::uint32_t n);
  // The bytes to read for the block that starts at record `n`.
  std::size_t blockBytes(std::uint32_t n) const;
  // Where record `n` starts in the file.
  std::uint64_t offsetOf(std::uint32_t n) const { return firstOffset_ + std::uint64_t{n - 1} * recordLength_; }
  // Starts reading the block at record `n` into ahead_; takes it over when
  // it is there whole (true), or forgets it.
  void readAhead(std::uint32_t n);
  bool takeAhead(std::uint32_t n);

  rt::OsFile& file_;
  std::uint64_t firstOffset_;
  std::uint32_t recordLength_;
  std::uint32_t recordCount_;
  std::vector<std::uint8_t> buffer_;
  std::uint32_t first_ = 0;  // number of the first buffered record, 0 when none
  std::uint32_t count_ = 0;  // whole records in the buffer

  // The block read in the background: the bytes wanted, the bytes got, how
  // the read went. A block short of what was wanted is read again the
  // ordinary way, which says why.
  std::vector<std::uint8_t> ahead_;
  std::uint32_t aheadFirst_ = 0;  // its first record, 0 when none is under way
  std::size_t aheadWanted_ = 0, aheadGot_ = 0;
  Status aheadStatus_ = Status::ok();
  rt::Worker worker_;  // last: it ends before the buffers it fills go
};

}  // namespace db
