// Interrupts on POSIX systems: SIGINT, SIGTERM and SIGHUP. The handler
// calls only what a signal handler may (unlink, signal, raise).
#include <signal.h>
#include <unistd.h>

#include "platform/rt/interrupt_cleanup_system.hpp"

namespace rt::sys {

namespace {

constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kCount = sizeof kInterrupts / sizeof kInterrupts[0];

struct sigaction previous[kCount];
bool caught[kCount];

// The armed files go, then the signal comes again with its default action,
// which ends the program once the handler returns (the signal is blocked
// until then).
void onInterrupt(int signal) {
  removeArmedFiles();
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

}  // namespace

void catchInterrupts() {
  struct sigaction handler {};
  handler.sa_handler = onInterrupt;
  // One interrupt at a time: a second waits until the first has ended the program.
  sigemptyset(&handler.sa_mask);
  for (const int s : kInterrupts) sigaddset(&handler.sa_mask, s);
  for (int i = 0; i < kCount; ++i) {
    caught[i] = false;
    if (::sigaction(kInterrupts[i], nullptr, &previous[i]) != 0) continue;
    const bool ignored = !(previous[i].sa_flags & SA_SIGINFO) && previous[i].sa_handler == SIG_IGN;
    if (!ignored) caught[i] = ::sigaction(kInterrupts[i], &handler, nullptr) == 0;
  }
}

void releaseInterrupts() {
  for (int i = 0; i < kCount; ++i)
    if (caught[i]) ::sigaction(kInterrupts[i], &previous[i], nullptr);
}

void removeNow(const char* path) { ::unlink(path); }

}  // namespace rt::sys
