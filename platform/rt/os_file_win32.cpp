// The file layer on Windows: handles of the wide API, share modes for
// locks, and Windows' own error numbers, which are the osCodes.
#include <windows.h>

#include <cwctype>
#include <random>
#include <utility>

#include "platform/rt/os_file.hpp"
#include "platform/rt/win32_api.hpp"

namespace rt {

namespace {

HANDLE asHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

Status lastFailure() { return systemFailure(static_cast<int>(::GetLastError())); }

DWORD dispositionOf(OpenMode mode) {
  switch (mode) {
    case OpenMode::Read: return OPEN_EXISTING;
    case OpenMode::Write: return CREATE_ALWAYS;
    case OpenMode::Append: return OPEN_ALWAYS;
    case OpenMode::CreateNew: return CREATE_NEW;
  }
  return OPEN_EXISTING;
}

// Whether `path` lies in the device namespace once made whole, as NUL, CON
// and COM1 do in any folder ("\\.\NUL") and as pipes do ("\\.\pipe\NAME"):
// there is no file there to replace. "\\.\C:\..." is a drive's file.
bool isDeviceName(const std::wstring& path) {
  const DWORD n = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  std::wstring full(n, L'\0');
  const DWORD got = n == 0 ? 0 : ::GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
  full.resize(got < n ? got : 0);
  if (full.compare(0, 4, L"\\\\.\\") != 0) return false;
  return !(full.size() >= 6 && full[5] == L':' && std::iswalpha(full[4]));
}

// Opens `path` with `share` as the share mode.
HANDLE openShared(const std::wstring& path, OpenMode mode, DWORD share) {
  const DWORD access = mode == OpenMode::Read ? GENERIC_READ
                       : mode == OpenMode::Append ? FILE_APPEND_DATA
                                                  : GENERIC_WRITE;
  return ::CreateFileW(path.c_str(), access, share, nullptr, dispositionOf(mode), FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

// A shared opening lets others read and write the file meanwhile; one that
// another program holds exclusively (share mode 0) fails with the sharing
// violation, osCode 32.
// A read-only file is refused for writing here as Windows itself refuses it
// (Wine run as root would write into it).
Status OsFile::open(const std::string& path, OpenMode mode) {
  (void)close();
  if (mode == OpenMode::Write || mode == OpenMode::Append) {
    const Status writable = checkReplaceable(path);
    if (!writable.isOk()) return writable;
  }
  const std::wstring name = win32::wide(path);
  // A new file may be removed while it is open: that is how an interrupt
  // takes a temporary file away (interrupt_cleanup.hpp).
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | (mode == OpenMode::CreateNew ? FILE_SHARE_DELETE : 0);
  HANDLE h = openShared(name, mode, share);
  if (h == INVALID_HANDLE_VALUE) return lastFailure();
  handle_ = reinterpret_cast<std::intptr_t>(h);
  if (mode == OpenMode::Read && ::GetFileType(h) != FILE_TYPE_DISK) {
    (void)close();
    return Status::notAFile("it is not a regular file");
  }
  return Status::ok();
}

// A device is opened as it is, never created; a name of the device namespace
// that is a disk file after all is written the ordinary way.
std::optional<Status> OsFile::openInPlace(const std::string& path) {
  (void)close();
  const std::wstring name = win32::wide(path);
  if (!isDeviceName(name)) return std::nullopt;
  HANDLE h = ::CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return lastFailure();
  handle_ = reinterpret_cast<std::intptr_t>(h);
  if (::GetFileType(h) != FILE_TYPE_DISK) return Status::ok();
  (void)close();
  return std::nullopt;
}

// Windows locks by share mode: an exclusive lock opens the file again with
// none (by the path the system gives for the open handle, so that it is the
// same file), which fails while any other handle is open on it and keeps
// every later opening out. When it is refused the file is opened again as
// before, shared, so that it stays open and can be locked later.
Status OsFile::lock(bool shared) {
  if (shared) return Status::ok();
  std::wstring path(32768, L'\0');
  const DWORD n = ::GetFinalPathNameByHandleW(asHandle(handle_), path.data(), static_cast<DWORD>(path.size()), 0);
  if (n == 0 || n >= path.size()) return lastFailure();
  path.resize(n);
  (void)close();
  HANDLE h = openShared(path, OpenMode::Read, 0);
  if (h == INVALID_HANDLE_VALUE) {
    const Status refused = lastFailure();
    h = openShared(path, OpenMode::Read, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (h != INVALID_HANDLE_VALUE) handle_ = reinterpret_cast<std::intptr_t>(h);
    return refused;
  }
  handle_ = reinterpret_cast<std::intptr_t>(h);
  return Status::ok();
}

Status OsFile::readAt(std::uint64_t offset, void* buf, std::size_t n, std::size_t& got) {
  got = 0;
  auto* out = static_cast<char*>(buf);
  while (got < n) {
    OVERLAPPED at{};
    const std::uint64_t position = offset + got;
    at.Offset = static_cast<DWORD>(position);
    at.OffsetHigh = static_cast<DWORD>(position >> 32);
    const std::size_t want = n - got;
    const DWORD chunk = want > (DWORD{1} << 30) ? (DWORD{1} << 30) : static_cast<DWORD>(want);
    DWORD r = 0;
    if (!::ReadFile(asHandle(handle_), out + got, chunk, &r, &at)) {
      if (::GetLastError() == ERROR_HANDLE_EOF) break;
      return lastFailure();
    }
    if (r == 0) break;
    got += r;
  }
  return Status::ok();
}

Status OsFile::writeSome(const char* data, std::size_t n, std::size_t& done) {
  const DWORD chunk = n > (DWORD{1} << 30) ? (DWORD{1} << 30) : static_cast<DWORD>(n);
  DWORD wrote = 0;
  const BOOL ok = ::WriteFile(asHandle(handle_), data, chunk, &wrote, nullptr);
  done = wrote;
  return ok ? Status::ok() : lastFailure();
}

std::uint64_t OsFile::size() const {
  LARGE_INTEGER size{};
  if (handle_ == kNone || !::GetFileSizeEx(asHandle(handle_), &size)) return 0;
  return static_cast<std::uint64_t>(size.QuadPart);
}

// A handle of its own on the same file, pipe or console, so that closing it
// leaves standard output as it was.
OsFile OsFile::standardOutput() {
  OsFile f;
  HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  HANDLE own = nullptr;
  if (out != nullptr && out != INVALID_HANDLE_VALUE &&
      ::DuplicateHandle(::GetCurrentProcess(), out, ::GetCurrentProcess(), &own, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
    f.handle_ = reinterpret_cast<std::intptr_t>(own);
  }
  return f;
}

Status OsFile::close() {
  if (handle_ == kNone) return Status::ok();
  HANDLE h = asHandle(handle_);
  handle_ = kNone;
  return ::CloseHandle(h) ? Status::ok() : lastFailure();
}

Status removeFile(const std::string& path) {
  return ::DeleteFileW(win32::wide(path).c_str()) ? Status::ok() : lastFailure();
}

Status renameFile(const std::string& from, const std::string& to) {
  return ::MoveFileExW(win32::wide(from).c_str(), win32::wide(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? Status::ok()
             : lastFailure();
}

// A new file takes the permissions its directory passes on, as the file it
// replaces did; there is nothing of the old one to carry over.
Status copyPermissions(const std::string&, const std::string&) { return Status::ok(); }

// A read-only file is not written over, as Windows itself would refuse.
Status checkReplaceable(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(win32::wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return Status::ok();
  return (attributes & FILE_ATTRIBUTE_READONLY) != 0 ? systemFailure(ERROR_ACCESS_DENIED) : Status::ok();
}

namespace {

// The volume and the index of the file `path` names, as one identity.
std::optional<std::pair<DWORD, std::uint64_t>> identityOf(const std::string& path) {
  const std::wstring name = win32::wide(path);
  if (isDeviceName(name)) return std::nullopt;
  // No access asked: attributes only, whoever holds the file and however.
  HANDLE h = ::CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  const BOOL ok = ::GetFileInformationByHandle(h, &info);
  ::CloseHandle(h);
  if (!ok) return std::nullopt;
  return std::make_pair(info.dwVolumeSerialNumber, (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow);
}

}  // namespace

bool sameFile(const std::string& a, const std::string& b) {
  const auto ia = identityOf(a);
  return ia && ia == identityOf(b);
}

bool namesStandardOutput(const std::string&) { return false; }

std::uint64_t unpredictableBits() {
  std::random_device source;  // the system's cryptographic generator on MinGW-w64
  return (std::uint64_t{source()} << 32) ^ source();
}

}  // namespace rt
