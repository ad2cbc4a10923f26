#include "platform/ui/terminal/progress_line.hpp"

#include <algorithm>
#include <ostream>

namespace ui {
namespace {

constexpr int kBarWidth = 30;
constexpr auto kMinInterval = std::chrono::milliseconds(100);

// Keeps the end of a long caption (the file name is the telling part).
std::string fitCaption(const std::string& caption, std::size_t room) {
  if (caption.size() <= room) return caption;
  if (room <= 3) return caption.substr(caption.size() - room);
  return "..." + caption.substr(caption.size() - (room - 3));
}

}  // namespace

ProgressLine::ProgressLine(std::ostream& out, std::string caption, int columns, Clock clock)
    : out_(out), caption_(std::move(caption)), columns_(std::max(columns, 40)),
      clock_(std::move(clock)) {}

std::string ProgressLine::format(std::uint64_t position) const {
  const std::uint64_t max = maximum();
  const std::uint64_t shown = std::min(position, max);
  const int percent = max == 0 ? 100 : static_cast<int>(shown * 100 / max);
  std::string pct = std::to_string(percent);
  const std::string numbers = " " + std::string(3 - std::min<std::size_t>(3, pct.size()), ' ') +
                              pct + "% " + std::to_string(position) + "/" + std::to_string(max) +
                              (keptText().empty() ? "" : ", " + keptText());

  // One column is left free so the line never wraps on the terminal. The
  // bar gives up room to the caption first, down to a third of its width.
  const int width = columns_ - 1;
  const int spare = width - static_cast<int>(caption_.size() + numbers.size() + 3);
  const int barWidth = std::clamp(spare, kBarWidth / 3, kBarWidth);
  const int filled = max == 0 ? barWidth : static_cast<int>(shown * barWidth / max);
  const std::string bar = " [" + std::string(filled, '#') + std::string(barWidth - filled, '.') + "]";

  const int room = width - static_cast<int>(bar.size() + numbers.size());
  return fitCaption(caption_, static_cast<std::size_t>(std::max(room, 0))) + bar + numbers;
}

void ProgressLine::redraw(std::uint64_t position) {
  if (finished_) return;
  const auto now = clock_();
  if (drawn_ && now - last_ < kMinInterval) return;
  last_ = now;
  draw(position);
}

void ProgressLine::draw(std::uint64_t position) {
  out_ << '\r' << format(position) << std::flush;
  drawn_ = true;
}

void ProgressLine::start() {
  if (finished_) return;
  last_ = clock_();
  draw(position());
}

void ProgressLine::interrupt() {
  if (finished_ || !drawn_) return;
  draw(position());
  out_ << '\n' << std::flush;
  drawn_ = false;
}

void ProgressLine::finish() {
  interrupt();
  finished_ = true;
}

}  // namespace ui
