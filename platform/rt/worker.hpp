// One background thread that does one job at a time: the next block of a
// table read while the current one is converted, the last block of output
// written while the next one is filled. Where no thread can be had (the web
// build, or a system out of threads) each job is done at once, in the
// caller's thread, so a caller is written the same way everywhere.
#pragma once

#include <functional>
#include <memory>

namespace rt {

class Worker {
 public:
  Worker();
  // Waits for the job in hand, then ends the thread.
  ~Worker();
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  // Hands `job` over once the previous one has finished. A job reports
  // through what it captures, never by throwing, and touches nothing the
  // caller uses until wait() has returned.
  void run(std::function<void()> job);
  // Returns once the job handed over last has finished.
  void wait();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace rt
