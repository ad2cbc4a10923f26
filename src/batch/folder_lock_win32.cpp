// Private folders' locks on Windows: a handle to the folder that shares
// reading and writing but not deletion. While it is open nobody can open
// the folder for deletion, which a batch asks for to find out whether a
// folder is one a dead batch left; and while such a batch has it open, a
// handle that does not share deletion cannot be had. The handles are not
// inherited by the children.
#include <windows.h>

#include <filesystem>
#include <system_error>

#include "platform/rt/win32_api.hpp"
#include "src/batch/folder_lock.hpp"

namespace batch {

namespace {

// The handle's value; INVALID_HANDLE_VALUE, an empty lock's -1, when the
// folder cannot be opened so.
std::intptr_t openFolder(const std::string& folder, DWORD access, DWORD share) {
  // Backup semantics open a folder; a link named as a private folder is
  // opened itself, not what it points to.
  const HANDLE handle = ::CreateFileW(rt::win32::wide(folder).c_str(), access, share, nullptr,
                                      OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                      nullptr);
  return reinterpret_cast<std::intptr_t>(handle);
}

}  // namespace

FolderLock FolderLock::hold(const std::string& folder) {
  return FolderLock(openFolder(folder, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE));
}

void removeIfAbandoned(const std::string& folder) {
  // Opened for deletion only to find out: with that handle open the folder
  // could not even be listed to be emptied. A folder a starting batch makes
  // is held the moment after it is made, before anything is put in it.
  if (!FolderLock(openFolder(folder, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE))) {
    return;
  }
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
}

void FolderLock::release() {
  if (handle_ == kNone) return;
  ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = kNone;
}

}  // namespace batch
