// The armed files: slots of fixed room that a handler reads as they are,
// without locks or allocation. A slot is taken, filled, then marked armed,
// so a handler never reads a name half written.
#include "platform/rt/interrupt_cleanup.hpp"

#include <atomic>
#include <cstring>
#include <mutex>

#include "platform/rt/interrupt_cleanup_system.hpp"

namespace rt {

namespace {

enum SlotState : int { kFree, kFilling, kArmed };
static_assert(std::atomic<int>::is_always_lock_free, "a handler may read only lock-free atomics");

struct Slot {
  std::atomic<int> state{kFree};
  char path[RemovedOnInterrupt::kPathBytes];
};

Slot slots[RemovedOnInterrupt::kFiles];
std::mutex handlersMutex;  // over armedCount and the handlers' installation
int armedCount = 0;

}  // namespace

void removeArmedFiles() {
  for (Slot& slot : slots)
    if (slot.state.load() == kArmed) sys::removeNow(slot.path);
}

void RemovedOnInterrupt::arm(const std::string& path) {
  disarm();
  if (path.size() >= kPathBytes) return;
  for (int i = 0; i < kFiles; ++i) {
    int expected = kFree;
    if (!slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
    std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
    const std::lock_guard lock(handlersMutex);
    if (armedCount++ == 0) sys::catchInterrupts();
    slots[i].state.store(kArmed);
    slot_ = i;
    return;
  }
}

void RemovedOnInterrupt::disarm() {
  if (slot_ < 0) return;
  const std::lock_guard lock(handlersMutex);
  slots[slot_].state.store(kFree);
  if (--armedCount == 0) sys::releaseInterrupts();
  slot_ = -1;
}

}  // namespace rt
