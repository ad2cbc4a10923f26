// What every export writes through: its output file (or standard output)
// and the words of its final report.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/rt/atomic_file.hpp"
#include "platform/rt/os_file.hpp"
#include "platform/rt/output_file.hpp"
#include "src/app/line_writer.hpp"
#include "src/app/output_format.hpp"
#include "src/app/progress_window.hpp"

namespace app {

// Where the lines go: a file replaced only when complete, or standard
// output, which takes each block as it fills.
class ExportOutput {
 public:
  explicit ExportOutput(const std::string& cOutput) {
    if (cOutput == kStandardOutput) {
      stream_ = rt::OutputFile(rt::OsFile::standardOutput());
    } else {
      file_.emplace(cOutput);
    }
  }
  bool ok() const { return file_ ? file_->ok() : stream_.isOpen() && stream_.status().isOk(); }
  // Why it failed, in the system's words.
  const rt::Status& status() const { return file_ ? file_->status() : stream_.status(); }
  void append(std::string_view s) { file_ ? file_->append(s) : stream_.append(s); }
  // A block of lines, written in the background; `block` comes back as a
  // buffer to fill again.
  void appendBlock(std::string& block) { file_ ? file_->appendBlock(block) : stream_.appendBlock(block); }
  [[nodiscard]] bool commit() { return file_ ? file_->commit().isOk() : stream_.close(); }
  // Whether the output is written where it is (standard output, a device,
  // a FIFO) rather than replaced when complete.
  bool inPlace() const { return !file_ || file_->tempPath().empty(); }

 private:
  std::optional<rt::AtomicFile> file_;
  rt::OutputFile stream_;
};

// Makes room in `writer` for a block of lines at once, before the first
// record: grown line by line, its buffer would double past the block, and
// the other buffer would be filled out to that size at every hand-over.
inline void reserveBlock(LineWriter& writer) { writer.reserve(rt::OutputFile::kBlock); }

// Keeps the line just ended in `writer`'s buffer and hands the kept lines
// to `out` from there a block at a time, without a copy (`block` is the
// one being written meanwhile); false once the output has failed, as
// nothing more can reach it.
inline bool keepLine(ExportOutput& out, LineWriter& writer, std::string& block) {
  writer.keep();
  // A little short of the block, so that the next line fits the room made
  // with reserveBlock().
  if (writer.kept().size() < rt::OutputFile::kBlock - rt::OutputFile::kBlock / 16) return true;
  writer.swapKept(block);
  out.appendBlock(block);
  return out.ok();
}
// Hands the lines still kept to `out`.
inline void flushKept(ExportOutput& out, LineWriter& writer) {
  out.append(writer.kept());
  writer.clearKept();
}

// Commits `out`; on a failure closes the progress window, tells the user
// and returns false.
bool commitOutput(ExportOutput& out, const std::string& cShown, ProgressWindow& window);

// The report of a completed export: the records `choice` wrote (and read,
// when it passed some over); with a code page, how many characters it left
// undefined, when there were any.
class RecordChoice;
std::string finalReport(const std::string& cOutput, const RecordChoice& choice, std::uint64_t nReplaced);

}  // namespace app
