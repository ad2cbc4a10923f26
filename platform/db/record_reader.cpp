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
}

Status RecordReader::fill(std::uint32_t n) {
  invalidate();
  // Never more than the records the header still promises: the buffer is
  // sized by what is read, not by what the header claims.
  const std::uint64_t perBlock = std::max<std::uint64_t>(1, kBlockBytes / recordLength_);
  const std::uint64_t wanted = std::min<std::uint64_t>(perBlock, std::uint64_t{recordCount_} - n + 1);
  const std::size_t bytes = static_cast<std::size_t>(wanted * recordLength_);
  if (buffer_.size() < bytes + 2 * kRecordPadding) buffer_.resize(bytes + 2 * kRecordPadding);
  std::size_t got = 0;
  const std::uint64_t offset = firstOffset_ + std::uint64_t{n - 1} * recordLength_;
  if (Status s = file_.readAt(offset, buffer_.data() + kRecordPadding, bytes, got); !s.isOk()) return s;
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
  return Status::ok();
}

}  // namespace db
