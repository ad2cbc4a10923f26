#include "platform/rt/atomic_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "platform/rt/paths.hpp"

namespace rt {

namespace {

constexpr int kNameTries = 100;

// 16 hex digits from the kernel's random source, so no other user can
// guess the name and plant a file or link there first.
std::string randomSuffix() {
  uint64_t bits = 0;
  if (::getrandom(&bits, sizeof bits, 0) != static_cast<ssize_t>(sizeof bits))
    bits ^= static_cast<uint64_t>(::getpid()) * 0x9E3779B97F4A7C15ull ^ reinterpret_cast<uintptr_t>(&bits);
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(bits));
  return buf;
}

}  // namespace

AtomicFile::AtomicFile(std::string_view target) : target_(resolvePath(target)) {
  if (target_.empty() || target_.back() == '/') {
    error_ = EISDIR;
    return;
  }
  std::string dir = dirName(target_);
  std::string stem = dir + "/." + baseName(target_) + ".";
  for (int i = 0; i < kNameTries; ++i) {
    std::string name = stem + randomSuffix() + ".tmp";
    // O_EXCL: never open a file (or follow a link) someone else put there.
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      temp_ = std::move(name);
      out_ = OutputFile(fd);
      return;
    }
    if (errno != EEXIST) break;
  }
  error_ = errno;
}

AtomicFile::~AtomicFile() {
  if (!done_) discard();
}

void AtomicFile::discard() {
  done_ = true;
  if (temp_.empty()) return;
  (void)out_.close();
  ::unlink(temp_.c_str());
}

// A file that replaces an earlier one keeps the earlier one's permissions:
// an output its owner had made private must not become readable by others
// because it was written again.
void AtomicFile::keepTargetPermissions() {
  struct stat st;
  if (error_ != 0 || ::stat(target_.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
  if (::chmod(temp_.c_str(), st.st_mode & 07777) != 0) error_ = errno;
}

bool AtomicFile::commit() {
  if (done_) return false;
  if (error_ == 0 && !out_.close()) error_ = out_.error();
  keepTargetPermissions();
  if (error_ == 0 && ::rename(temp_.c_str(), target_.c_str()) != 0) error_ = errno;
  if (error_ != 0) {
    discard();
    return false;
  }
  done_ = true;
  return true;
}

}  // namespace rt
