// Private folders' locks on POSIX systems: flock() on a descriptor of the
// folder, closed on exec so that no child keeps a lock its batch has let go.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "src/batch/folder_lock.hpp"

namespace batch {

namespace {

int openFolder(const std::string& folder) {
  return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

bool sameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

FolderLock FolderLock::hold(const std::string& folder) {
  const int fd = openFolder(folder);
  if (fd < 0) return {};
  FolderLock lock(fd);
  // A file system that keeps no locks leaves the folder unlocked, and
  // another batch then cannot take it either: it is held all the same.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) return {};
  // Locked only after another batch had taken it, removed it and let it
  // go: the name then stands for nothing, or for another folder.
  struct stat held {}, named {};
  if (::fstat(fd, &held) != 0 || ::stat(folder.c_str(), &named) != 0 || !sameFile(held, named)) {
    return {};
  }
  return lock;
}

void removeIfAbandoned(const std::string& folder) {
  const int fd = openFolder(folder);
  if (fd < 0) return;
  const FolderLock lock(fd);
  // Removed under the lock: a batch that makes a folder of the same name
  // meanwhile cannot lock it, and one that locks it after finds it gone.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return;
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
}

void FolderLock::release() {
  if (handle_ == kNone) return;
  ::close(static_cast<int>(handle_));
  handle_ = kNone;
}

}  // namespace batch
