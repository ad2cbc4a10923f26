// The lock by which a batch holds its private folders for as long as it
// lives, so that a later batch tells the folders a batch left when it died
// (killed, its console closed: no time to remove them) from the folders of
// a batch that runs. On POSIX systems an flock() on the folder, on Windows
// an open handle to it that does not share deletion: the system lets both
// go when the process ends, however it ends.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace batch {

class FolderLock {
 public:
  FolderLock() = default;
  ~FolderLock() { release(); }
  FolderLock(FolderLock&& other) noexcept : handle_(std::exchange(other.handle_, kNone)) {}
  FolderLock& operator=(FolderLock&& other) noexcept {
    if (this != &other) {
      release();
      handle_ = std::exchange(other.handle_, kNone);
    }
    return *this;
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // Holds `folder`, which this process has just made, for as long as the
  // lock lives. An empty lock when another batch took it for one a dead
  // batch left in the moment between (it is removing it) or it is gone:
  // the caller makes another.
  static FolderLock hold(const std::string& folder);
  explicit operator bool() const { return handle_ != kNone; }
  // Lets the folder go.
  void release();

 private:
  friend void removeIfAbandoned(const std::string& folder);
  static constexpr std::intptr_t kNone = -1;
  explicit FolderLock(std::intptr_t handle) : handle_(handle) {}

  std::intptr_t handle_ = kNone;  // a file descriptor, or a HANDLE's value
};

// Removes `folder`, with all it holds, when no live batch holds it: a
// folder a batch left when it died. Nothing happens to a folder a live
// batch holds, nor to one that cannot be opened.
void removeIfAbandoned(const std::string& folder);

}  // namespace batch
