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
  const int filled = max == 0 ? kBarWidth : static_cast<int>(shown * kBarWidth / max);

  std::string tail = " [" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "] ";
  std::string pct = std::to_string(percent);
  tail += std::string(3 - std::min<std::size_t>(3, pct.size()), ' ') + pct + "% ";
  tail += std::to_string(position) + "/" + std::to_string(max);

  // One column is left free so the line never wraps on the terminal.
  const std::size_t width = static_cast<std::size_t>(columns_ - 1);
  const std::size_t room = width > tail.size() ? width - tail.size() : 0;
  return fitCaption(caption_, room) + tail;
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
