// What a person sees of a batch: on a terminal one progress line over the
// whole batch by bytes and a line for each table that fails; otherwise one
// line for each finished table. Then the summary.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "src/batch/discovery.hpp"
#include "src/batch/table_job.hpp"

namespace batch {

class Report {
 public:
  // `tables` and `bytes`: how many tables and how many bytes the batch has.
  Report(std::ostream& out, bool terminal, std::size_t tables, std::uint64_t bytes);

  // A table's child has started.
  void started(const Table& table);
  // A table is done with.
  void finished(const Table& table, const Outcome& outcome);
  // Ends the progress line and writes the summary ("120 tables: 118
  // converted, 2 failed"), what an interrupt left unconverted, the code
  // pages guessed ("code pages guessed: 866 for 80, 1251 for 38"), and
  // where the error logs are.
  void summary(bool interrupted);
  // 0 when every table was converted (and there was one), else 1.
  int exitCode() const;

  // The progress line for the counts so far.
  std::string progressLine() const;

 private:
  void draw();
  void clearLine();

  std::ostream& out_;
  bool terminal_;
  std::size_t tables_, started_ = 0, converted_ = 0, failed_ = 0;
  std::uint64_t bytes_, bytesDone_ = 0;
  std::size_t drawn_ = 0;  // the length of the progress line on the screen
  std::vector<std::string> logs_;
  std::map<std::string, std::size_t> guessed_;  // code page: tables that read as it
};

}  // namespace batch
