// Temporary files an interrupt takes away. While a file is armed, an
// interrupt that would end the program (SIGINT, SIGTERM or SIGHUP; on
// Windows Ctrl-C, Ctrl-Break or the console closing) first removes it, and
// the program then ends as that interrupt ends it by default, so that a
// shell or a parent process sees the same end. An interrupt the program was
// started ignoring (nohup) stays ignored. The handlers are in place only
// while a file is armed.
#pragma once

#include <cstddef>
#include <string>

namespace rt {

class RemovedOnInterrupt {
 public:
  // The removal runs where almost nothing may be called: the names live in
  // room set aside beforehand, this many of them, each shorter than this.
  static constexpr int kFiles = 4;
  static constexpr std::size_t kPathBytes = 4096;

  RemovedOnInterrupt() = default;
  ~RemovedOnInterrupt() { disarm(); }
  RemovedOnInterrupt(const RemovedOnInterrupt&) = delete;
  RemovedOnInterrupt& operator=(const RemovedOnInterrupt&) = delete;

  // Arms the file `path` (in place of any armed before). A file beyond
  // kFiles at once, or with a longer name, is not armed: an interrupt then
  // leaves it.
  void arm(const std::string& path);
  // The file is the caller's again: an interrupt leaves it alone.
  void disarm();

 private:
  int slot_ = -1;
};

}  // namespace rt
