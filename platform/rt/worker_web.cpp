// The page's build has no threads: every job is done at once.
#include "platform/rt/worker.hpp"

namespace rt {

struct Worker::State {};

Worker::Worker() = default;
Worker::~Worker() = default;

void Worker::run(std::function<void()> job) { job(); }

void Worker::wait() {}

}  // namespace rt
