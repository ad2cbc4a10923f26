// Jobs on a thread of their own, started with the first job.
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/rt/worker.hpp"

namespace rt {

struct Worker::State {
  std::mutex mutex;
  std::condition_variable changed;
  std::function<void()> job;
  bool busy = false;      // a job is handed over and not finished
  bool stop = false;
  bool inline_ = false;   // no thread could be started: jobs run at once
  std::thread thread;

  void loop() {
    std::unique_lock lock(mutex);
    for (;;) {
      changed.wait(lock, [this] { return busy || stop; });
      if (!busy) return;
      std::function<void()> next = std::move(job);
      lock.unlock();
      next();
      lock.lock();
      busy = false;
      changed.notify_all();
    }
  }
};

Worker::Worker() : state_(std::make_unique<State>()) {}

Worker::~Worker() {
  {
    std::unique_lock lock(state_->mutex);
    state_->changed.wait(lock, [this] { return !state_->busy; });
    state_->stop = true;
  }
  state_->changed.notify_all();
  if (state_->thread.joinable()) state_->thread.join();
}

void Worker::run(std::function<void()> job) {
  wait();
  if (!state_->thread.joinable() && !state_->inline_) {
    try {
      state_->thread = std::thread([s = state_.get()] { s->loop(); });
    } catch (const std::system_error&) {
      state_->inline_ = true;
    }
  }
  if (state_->inline_) {
    job();
    return;
  }
  {
    const std::lock_guard lock(state_->mutex);
    state_->job = std::move(job);
    state_->busy = true;
  }
  state_->changed.notify_all();
}

void Worker::wait() {
  std::unique_lock lock(state_->mutex);
  state_->changed.wait(lock, [this] { return !state_->busy; });
}

}  // namespace rt
