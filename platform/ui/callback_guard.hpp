// Keeps exceptions of the program's callbacks (validations, pop-ups) from
// crossing a toolkit's event loop (Qt's, or Windows' window procedures),
// which is not exception-safe.
#pragma once

#include <exception>
#include <functional>
#include <utility>

namespace ui {

// Runs callbacks inside an event loop. The first exception a callback throws
// (a break or quit signal, or any other) is kept, `onFailure` closes the
// window so the loop returns, and rethrow() raises it again outside the loop.
class CallbackGuard {
 public:
  explicit CallbackGuard(std::function<void()> onFailure) : onFailure_(std::move(onFailure)) {}

  // Runs `f`; false when it threw (the exception is kept, the window closed).
  template <class F>
  bool run(F&& f) noexcept {
    if (pending_) return false;
    try {
      f();
      return true;
    } catch (...) {  // the event loop must not see it; rethrown after the loop
      pending_ = std::current_exception();
    }
    if (onFailure_) onFailure_();
    return false;
  }

  bool failed() const { return static_cast<bool>(pending_); }
  // Rethrows the kept exception, if any.
  void rethrowIfFailed() {
    if (pending_) std::rethrow_exception(std::exchange(pending_, nullptr));
  }

 private:
  std::function<void()> onFailure_;
  std::exception_ptr pending_;
};

}  // namespace ui
