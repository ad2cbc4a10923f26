// The conversion in the browser: the export run of the program in steps, so
// that the page can show progress, stop it and take the output in chunks
// instead of a file. The table and its companions are files of the virtual
// file system the web worker mounts (web/worker.js).
#pragma once

#include <cstdint>
#include <memory>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rt/status.hpp"
#include "src/app/bytes_renderer.hpp"
#include "src/app/line_writer.hpp"
#include "src/app/typed_values.hpp"

namespace app {
struct Options;
}

namespace web {

class WebExport {
 public:
  // Starts the runtime as the program starts: its settings, the database
  // engines, a headless toolkit whose messages the page shows.
  WebExport();
  ~WebExport();

  // Opens the table the command-line `args` name (the table, the field-name
  // flag, the options, as dbf2csv takes them) and writes the first lines
  // (the byte order mark, the field-name line). False, with message(), when
  // the arguments are refused or the table cannot be opened or converted.
  bool open(const std::vector<std::string>& args);
  // Writes the lines of the next records into the output until it holds at
  // least `want` bytes or the table has ended. False, with message(), when
  // the table proves damaged; the table is then closed.
  bool next(std::size_t want);
  // The output written since the last take; emptied by takeOutput().
  std::string_view output() const { return output_; }
  void takeOutput() { output_.clear(); }

  bool finished() const { return finished_; }
  std::uint64_t records() const { return written_; }
  std::uint64_t recordCount() const { return count_; }
  // How many characters the code page leaves undefined were written as U+FFFD.
  std::uint64_t replacements() const;
  // The output's file name: the table's, upper-cased, with ".CSV" (".JSONL"
  // for JSON Lines).
  const std::string& outputName() const { return outputName_; }
  // What the program would say: the reason of a failure or, once a typed
  // output is finished, the lines of its final report on the values it
  // changed (one a line; none when it changed none).
  const std::string& message() const { return message_; }
  // Closes the table; nothing more can be written.
  void close();

 private:
  bool fail(const std::string& text);
  // open() of a typed output (the table open and current).
  rt::Status openTyped(const app::Options& options, const std::string& cName, bool lFieldLine);

  std::unique_ptr<std::ostringstream> told_;  // what the toolkit said
  std::optional<app::LineWriter> writer_;
  std::optional<app::BytesRenderer> renderer_;
  std::optional<app::TypedReader> reader_;  // typed values: CSV or, with json_, JSON Lines
  bool json_ = false;
  std::string output_, outputName_, message_;
  std::uint64_t written_ = 0, count_ = 0;
  bool open_ = false, finished_ = false;
};

}  // namespace web
