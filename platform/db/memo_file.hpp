// Memo files: the DBT of dBase (III layout: 512-byte blocks, text ended by
// 0x1A; IV layout: a block size in the header and a length in each memo's
// block header) and the FPT of FoxPro (big-endian block size and lengths).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/rt/os_file.hpp"
#include "platform/db/status.hpp"

namespace db {

enum class MemoLayout { Dbt, Fpt };

// The block size a memo file's first 32 header bytes give: an FPT's own, a
// dBase IV DBT's (512 when it says 0), always 512 for the DBT of a dBase III
// table (`fixedBlocks`). Fails on an FPT block size of 0.
[[nodiscard]] Status memoBlockSize(const std::uint8_t* header, MemoLayout layout, bool fixedBlocks,
                                   std::uint32_t& blockSize);

// Where a memo lies, from the first bytes of its block: a counted memo's
// data starts `headerSize` bytes into the block and is `length` bytes long;
// an uncounted one (a dBase III block) runs from the block's start to the
// first 0x1A or the end of the file.
struct MemoExtent {
  bool counted = false;
  std::uint64_t headerSize = 0;
  std::uint64_t length = 0;
};
// Reads the extent from the `got` bytes at the block's start (at most 8 are
// looked at; a DBT block with fewer is uncounted). Fails when an FPT block
// has fewer than its 8 header bytes, or a dBase IV length is shorter than
// its 8-byte header.
[[nodiscard]] Status memoExtent(const std::uint8_t* head, std::size_t got, MemoLayout layout,
                                MemoExtent& out);

class MemoFile {
 public:
  // The header every memo file begins with; no memo lives in it.
  static constexpr std::uint64_t kHeaderSize = 512;

  // Opens the memo file at `path` and reads its block size. A DBT of a
  // dBase III table (`fixedBlocks`) has 512-byte blocks whatever its header
  // says. Fails when the file cannot be opened, is shorter than its header or
  // gives an FPT block size of 0.
  [[nodiscard]] Status open(const std::string& path, MemoLayout layout, bool fixedBlocks);

  // Reads the memo that starts at `block` into `out`. A DBT block that begins
  // with FF FF 08 00 holds its length; any other runs to the first 0x1A or
  // the end of the file. Fails when the block lies beyond the end of the file
  // or in its header (BeyondEnd), or the memo's stated length runs past the
  // end (Corrupt), or the system refuses the read. Memos
  // come from a window of the file read ahead in large blocks, as a table
  // keeps its memos in about the order of its records; a failed read looks
  // at the file afresh before it fails, so a retry sees a mended file.
  [[nodiscard]] Status read(std::uint64_t block, std::string& out);

  std::uint32_t blockSize() const { return blockSize_; }
  const std::string& path() const { return path_; }

 private:
  // The size of one read ahead.
  static constexpr std::size_t kWindowBytes = std::size_t{1} << 20;

  Status readMemo(std::uint64_t block, std::string& out);
  Status readCounted(std::uint64_t offset, std::uint64_t headerSize, std::uint64_t length,
                     std::uint64_t fileSize, std::string& out);
  Status readToTerminator(std::uint64_t offset, std::uint64_t fileSize, std::string& out);
  // The bytes of the file from `offset` on that the window holds, read into
  // it when it holds none; `got` is 0 at the end of the file.
  Status view(std::uint64_t offset, const std::uint8_t*& bytes, std::size_t& got);
  // Reads up to `n` bytes at `offset`, less only at the end of the file.
  Status copyOut(std::uint64_t offset, void* buf, std::size_t n, std::size_t& got);

  rt::OsFile file_;
  std::uint64_t size_ = 0;  // the file's size when last looked at
  std::vector<std::uint8_t> window_;
  std::uint64_t windowStart_ = 0;  // file offset of window_[0]
  std::size_t windowBytes_ = 0;    // bytes of the file in the window
  std::string path_;
  MemoLayout layout_ = MemoLayout::Dbt;
  std::uint32_t blockSize_ = 512;
};

}  // namespace db
