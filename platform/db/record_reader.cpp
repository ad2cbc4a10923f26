#include "platform/db/record_reader.hpp"

#include <algorithm>

namespace db {

RecordReader::RecordReader(rt::OsFile& file, std::uint64_t firstOffset, std::uint32_t recordLength,
                           std::uint32_t recordCount)
    : file_(file), firstOffset_(firstOffset), recordLength_(recordLength), recordCount_(recordCount) {}

Status RecordReader::fetch(std::uint32_t n, const std::uint8_t*& record) {
  if (n < first_ || n >= first_ + count_ || first_ == 0) {
    if (Status s = fill(n); !s.isOk()) return s;
  }
  record = buffer_.data() + kRecordPadding + static_cast<std::size_t>(n - first_) * recordLength_;
  return Status::ok();
}

void RecordReader::invalidate() {
  first_ = 0;
  count_ = 0;
  takeAhead(0);
}

std::size_t RecordReader::blockBytes(std::uint32_t n) const {
  // Never more than the records the header still promises: the buffer is
  // sized by what is read, not by what the header claims.
  const std::uint64_t perBlock = std::max<std::uint64_t>(1, kBlockBytes / recordLength_);
  const std::uint64_t wanted = std::min<std::uint64_t>(perBlock, std::uint64_t{recordCount_} - n + 1);
  return static_cast<std::size_t>(wanted * recordLength_);
}

void RecordReader::readAhead(std::uint32_t n) {
  if (n == 0 || n > recordCount_) return;
  worker_.wait();
  aheadFirst_ = n;
  aheadWanted_ = blockBytes(n);
  if (ahead_.size() < aheadWanted_ + 2 * kRecordPadding) ahead_.resize(aheadWanted_ + 2 * kRecordPadding);
  const std::uint64_t offset = offsetOf(n);
  worker_.run([this, offset] {
    aheadGot_ = 0;
    aheadStatus_ = file_.readAt(offset, ahead_.data() + kRecordPadding, aheadWanted_, aheadGot_);
  });
}

bool RecordReader::takeAhead(std::uint32_t n) {
  if (aheadFirst_ == 0) return false;
  worker_.wait();
  const bool whole = aheadFirst_ == n && aheadStatus_.isOk() && aheadGot_ == aheadWanted_;
  aheadFirst_ = 0;
  if (!whole) return false;
  buffer_.swap(ahead_);
  first_ = n;
  count_ = static_cast<std::uint32_t>(aheadWanted_ / recordLength_);
  return true;
}

Status RecordReader::fill(std::uint32_t n) {
  // Reading on from the block before (or from the start) is what a run
  // through the table does: the block after this one is read meanwhile.
  // A reader that jumps about (a sample) reads just what it asks for.
  const bool onward = n == 1 || (first_ != 0 && n == first_ + count_);
  first_ = 0;
  count_ = 0;
  if (takeAhead(n)) {
    if (onward) readAhead(n + count_);
    return Status::ok();
  }
  const std::size_t bytes = blockBytes(n);
  if (buffer_.size() < bytes + 2 * kRecordPadding) buffer_.resize(bytes + 2 * kRecordPadding);
  std::size_t got = 0;
  if (Status s = file_.readAt(offsetOf(n), buffer_.data() + kRecordPadding, bytes, got); !s.isOk()) return s;
  const auto whole = static_cast<std::uint32_t>(got / recordLength_);
  if (whole == 0) {
    const std::uint64_t size = file_.size();
    const std::uint64_t there = size > firstOffset_ ? (size - firstOffset_) / recordLength_ : 0;
    return Status::beyondEnd("the file ends before it (it holds " + std::to_string(there) +
                        " whole records of the " + std::to_string(recordCount_) +
                        " its header counts)");
  }
  first_ = n;
  count_ = whole;
  if (onward && got == bytes) readAhead(n + whole);
  return Status::ok();
}

}  // namespace db
