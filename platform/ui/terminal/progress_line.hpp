// The progress bar of the terminal backend: one line on the terminal that
// names the caption and shows a bar, the percentage, the record count and
// the kept count when there is one, redrawn in place with a carriage return.
#pragma once

#include <chrono>
#include <functional>
#include <iosfwd>
#include <string>

#include "platform/ui/toolkit.hpp"

namespace ui {

class ProgressLine : public ProgressBar {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  // `columns` is the terminal width the line must fit in; `clock` tells the
  // time (tests hand in their own).
  ProgressLine(std::ostream& out, std::string caption, int columns,
               Clock clock = &std::chrono::steady_clock::now);

  // The line for `position`, without the leading carriage return.
  std::string format(std::uint64_t position) const;
  // Draws the line at once at the current position (when the window shows).
  void start();
  // Draws the line at the current position and ends it, so that a message
  // can follow on a line of its own; the next redraw starts a new line.
  void interrupt();
  // Ends the line for good (the window is destroyed): later redraws do
  // nothing.
  void finish();

 protected:
  // Draws at most about ten times a second; the update step already keeps
  // the calls few, so reading the clock here costs next to nothing.
  void redraw(std::uint64_t position) override;

 private:
  void draw(std::uint64_t position);

  std::ostream& out_;
  std::string caption_;
  int columns_;
  Clock clock_;
  bool drawn_ = false;
  bool finished_ = false;
  std::chrono::steady_clock::time_point last_{};
};

}  // namespace ui
