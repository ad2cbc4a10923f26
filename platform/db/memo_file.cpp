// DBT header: 0 next free block (u32 LE); dBase IV and later: 20 block size
//   (u16 LE, 0 meaning 512). A IV memo block: FF FF 08 00, then its length
//   (u32 LE) counting these 8 bytes, then the data.
// FPT header: 0 next free block (u32 BE), 6 block size (u16 BE). A memo block:
//   type (u32 BE), data length (u32 BE) without these 8 bytes, the data.
// A memo occupies consecutive blocks from its pointer: no layout chains
// blocks, so a reader never follows a pointer inside the memo file.
#include "platform/db/memo_file.hpp"

#include <algorithm>
#include <cstring>

#include "platform/db/byte_order.hpp"

namespace db {

namespace {

constexpr std::uint8_t kIvSignature[4] = {0xFF, 0xFF, 0x08, 0x00};

std::string bytesText(std::uint64_t n) { return std::to_string(n) + " bytes"; }

Status pastEnd(std::uint64_t end, std::uint64_t fileSize) {
  return Status::corrupt("the memo runs to byte " + std::to_string(end) +
                      " but the memo file ends at " + bytesText(fileSize));
}

}  // namespace

Status memoBlockSize(const std::uint8_t* header, MemoLayout layout, bool fixedBlocks,
                     std::uint32_t& blockSize) {
  if (layout == MemoLayout::Fpt) {
    blockSize = readBe16(header + 6);
    if (blockSize == 0) return Status::corrupt("the memo file gives a block size of 0");
    return Status::ok();
  }
  const std::uint16_t stated = readLe16(header + 20);
  blockSize = fixedBlocks || stated == 0 ? 512 : stated;
  return Status::ok();
}

Status memoExtent(const std::uint8_t* head, std::size_t got, MemoLayout layout, MemoExtent& out) {
  out = MemoExtent{};
  if (layout == MemoLayout::Fpt) {
    if (got < 8) return Status::corrupt("the memo's 8-byte block header is cut off");
    out = MemoExtent{true, 8, readBe32(head + 4)};
    return Status::ok();
  }
  if (got < 8 || std::memcmp(head, kIvSignature, 4) != 0) return Status::ok();
  const std::uint32_t stated = readLe32(head + 4);
  if (stated < 8) {
    return Status::corrupt("the memo's length " + std::to_string(stated) +
                        " is shorter than its 8-byte block header");
  }
  out = MemoExtent{true, 8, stated - 8u};
  return Status::ok();
}

Status MemoFile::open(const std::string& path, MemoLayout layout, bool fixedBlocks) {
  path_ = path;
  layout_ = layout;
  if (Status s = file_.open(path); !s.isOk()) return s;
  std::uint8_t header[32] = {};
  std::size_t got = 0;
  if (Status s = file_.readAt(0, header, sizeof header, got); !s.isOk()) return s;
  const std::uint64_t size = file_.size();
  size_ = size;
  windowBytes_ = 0;
  if (size < kHeaderSize) {
    return Status::corrupt("the memo file is shorter than its " + bytesText(kHeaderSize) +
                        " header (" + bytesText(size) + ")");
  }
  return memoBlockSize(header, layout, fixedBlocks, blockSize_);
}

Status MemoFile::read(std::uint64_t block, std::string& out) {
  Status s = readMemo(block, out);
  if (s.isOk()) return s;
  // The window and the size may be older than the file: look again once.
  windowBytes_ = 0;
  const std::uint64_t now = file_.size();
  if (now == size_) return s;
  size_ = now;
  return readMemo(block, out);
}

Status MemoFile::view(std::uint64_t offset, const std::uint8_t*& bytes, std::size_t& got) {
  if (offset < windowStart_ || offset >= windowStart_ + windowBytes_) {
    // No larger than what the file holds from there: a small memo file
    // costs a small window.
    const std::uint64_t left = size_ > offset ? size_ - offset : 0;
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(kWindowBytes, std::max<std::uint64_t>(left, 8)));
    if (window_.size() < want) window_.resize(want);
    windowBytes_ = 0;
    windowStart_ = offset;
    if (Status s = file_.readAt(offset, window_.data(), want, windowBytes_); !s.isOk()) return s;
  }
  const auto skip = static_cast<std::size_t>(offset - windowStart_);
  bytes = window_.data() + skip;
  got = windowBytes_ - skip;
  return Status::ok();
}

Status MemoFile::copyOut(std::uint64_t offset, void* buf, std::size_t n, std::size_t& got) {
  // A memo larger than the window is read straight into place.
  if (n >= kWindowBytes) return file_.readAt(offset, buf, n, got);
  auto* to = static_cast<std::uint8_t*>(buf);
  for (got = 0; got < n;) {
    const std::uint8_t* bytes = nullptr;
    std::size_t have = 0;
    if (Status s = view(offset + got, bytes, have); !s.isOk()) return s;
    if (have == 0) break;
    const std::size_t take = std::min(have, n - got);
    std::memcpy(to + got, bytes, take);
    got += take;
  }
  return Status::ok();
}

Status MemoFile::readMemo(std::uint64_t block, std::string& out) {
  out.clear();
  const std::uint64_t fileSize = size_;
  if (block >= (fileSize + blockSize_ - 1) / blockSize_) {
    return Status::beyondEnd("the memo file ends at " + bytesText(fileSize));
  }
  const std::uint64_t offset = block * blockSize_;
  std::uint8_t head[8] = {};
  std::size_t got = 0;
  if (Status s = copyOut(offset, head, sizeof head, got); !s.isOk()) return s;
  if (offset < kHeaderSize) {
    // Writers have left pointers into the header where it is all zero (a
    // real FPT's G field): eight zero bytes read as an empty memo and nothing
    // is misread. Any other bytes there belong to the header, not to a memo.
    static constexpr std::uint8_t kZero[8] = {};
    if (got == 8 && std::memcmp(head, kZero, 8) == 0) return Status::ok();
    return Status::beyondEnd("the block lies inside the memo file's " + bytesText(kHeaderSize) + " header");
  }
  // A block cut off before its 8 header bytes: the memo runs past the end.
  if (layout_ == MemoLayout::Fpt && got < 8) return pastEnd(offset + 8, fileSize);
  MemoExtent extent;
  if (Status s = memoExtent(head, got, layout_, extent); !s.isOk()) return s;
  if (extent.counted) return readCounted(offset, extent.headerSize, extent.length, fileSize, out);
  return readToTerminator(offset, fileSize, out);
}

Status MemoFile::readCounted(std::uint64_t offset, std::uint64_t headerSize, std::uint64_t length,
                             std::uint64_t fileSize, std::string& out) {
  const std::uint64_t end = offset + headerSize + length;
  if (end > fileSize) return pastEnd(end, fileSize);
  out.resize(length);
  std::size_t got = 0;
  if (Status s = copyOut(offset + headerSize, out.data(), out.size(), got); !s.isOk()) return s;
  if (got < length) {
    out.clear();
    return pastEnd(end, offset + headerSize + got);
  }
  return Status::ok();
}

Status MemoFile::readToTerminator(std::uint64_t offset, std::uint64_t fileSize, std::string& out) {
  // The dBase III layout has no length: the memo ends at the first 0x1A, or
  // at the end of the file when its writer left the terminator out.
  for (std::uint64_t pos = offset; pos < fileSize;) {
    const std::uint8_t* bytes = nullptr;
    std::size_t got = 0;
    if (Status s = view(pos, bytes, got); !s.isOk()) return s;
    if (got == 0) break;
    const void* stop = std::memchr(bytes, 0x1A, got);
    const std::size_t take = stop ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(stop) - bytes) : got;
    out.append(reinterpret_cast<const char*>(bytes), take);
    if (stop) break;
    pos += got;
  }
  return Status::ok();
}

}  // namespace db
