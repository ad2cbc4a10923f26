#include "src/batch/report.hpp"

#include <algorithm>
#include <ostream>

namespace batch {

namespace {
constexpr int kBarWidth = 20;
}

Report::Report(std::ostream& out, bool terminal, std::size_t tables, std::uint64_t bytes)
    : out_(out), terminal_(terminal), tables_(tables), bytes_(bytes) {}

std::string Report::progressLine() const {
  const int percent = bytes_ == 0 ? 100 : static_cast<int>(bytesDone_ * 100 / bytes_);
  const int filled = percent * kBarWidth / 100;
  return "Converting " + std::to_string(std::min(started_, tables_)) + " of " +
         std::to_string(tables_) + " tables [" + std::string(filled, '#') +
         std::string(kBarWidth - filled, ' ') + "] " + std::to_string(percent) + "%";
}

void Report::draw() {
  if (!terminal_) return;
  const std::string line = progressLine();
  out_ << '\r' << line;
  if (drawn_ > line.size()) out_ << std::string(drawn_ - line.size(), ' ') << '\r' << line;
  out_ << std::flush;
  drawn_ = line.size();
}

// Blanks the progress line so that a message can take its place.
void Report::clearLine() {
  if (drawn_ == 0) return;
  out_ << '\r' << std::string(drawn_, ' ') << '\r';
  drawn_ = 0;
}

void Report::started(const Table&) {
  ++started_;
  draw();
}

void Report::finished(const Table& table, const Outcome& outcome) {
  bytesDone_ += table.bytes;
  (outcome.converted ? converted_ : failed_) += 1;
  if (!outcome.log.empty()) logs_.push_back(outcome.log);
  if (outcome.converted && !outcome.guessed.empty()) ++guessed_[outcome.guessed];
  if (!terminal_ || !outcome.converted) {
    clearLine();
    out_ << table.shown << ": " << outcome.detail
         << (outcome.log.empty() ? "" : " (error log " + outcome.log + ")") << '\n';
  }
  draw();
}

void Report::summary(bool interrupted) {
  clearLine();
  out_ << tables_ << (tables_ == 1 ? " table: " : " tables: ") << converted_ << " converted, "
       << failed_ << " failed";
  if (interrupted)
    out_ << ", " << tables_ - converted_ - failed_ << " not converted (interrupted)";
  out_ << '\n';
  if (!guessed_.empty()) {
    // The most frequent first; equal counts in the order of their names.
    std::vector<std::pair<std::string, std::size_t>> pages(guessed_.begin(), guessed_.end());
    std::stable_sort(pages.begin(), pages.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    out_ << "Code pages guessed:";
    for (std::size_t i = 0; i < pages.size(); ++i) {
      out_ << (i ? ", " : " ") << pages[i].first << " for " << pages[i].second;
    }
    out_ << '\n';
  }
  if (!logs_.empty()) {
    out_ << "Error logs:";
    for (const std::string& log : logs_) out_ << ' ' << log;
    out_ << '\n';
  }
  out_ << std::flush;
}

int Report::exitCode() const { return tables_ > 0 && converted_ == tables_ ? 0 : 1; }

}  // namespace batch
