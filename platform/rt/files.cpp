#include "platform/rt/files.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <map>

#include "platform/rt/error_codes.hpp"
#include "platform/rt/output_file.hpp"

namespace rt {

namespace {

int lastError = 0;

std::map<int, OutputFile>& openFiles() {
  static std::map<int, OutputFile> files;
  return files;
}

// Records the outcome of a file function: the errno of a failure, or success.
bool note(bool ok, int errnoValue) {
  lastError = ok ? 0 : osCodeFromErrno(errnoValue);
  return ok;
}

int createForWriting(std::string_view name) {
  std::string path = resolvePath(name);
  int fd = path.empty() ? -1 : ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  note(fd >= 0, path.empty() ? ENOENT : errno);
  return fd;
}

}  // namespace

int fError() { return lastError; }

int fCreate(std::string_view name) {
  int fd = createForWriting(name);
  if (fd >= 0) openFiles().insert_or_assign(fd, OutputFile(fd));
  return fd;
}

size_t fWrite(int handle, std::string_view data, long long count) {
  auto it = openFiles().find(handle);
  if (it == openFiles().end()) {
    note(false, EBADF);
    return 0;
  }
  if (count >= 0 && static_cast<unsigned long long>(count) < data.size())
    data = data.substr(0, static_cast<size_t>(count));
  it->second.append(data);
  if (!note(it->second.error() == 0, it->second.error())) return 0;
  return data.size();
}

bool fClose(int handle) {
  auto it = openFiles().find(handle);
  if (it == openFiles().end()) return note(false, EBADF);
  bool ok = it->second.close();
  int error = it->second.error();
  openFiles().erase(it);
  return note(ok, error);
}

std::string memoRead(std::string_view name) {
  std::string path = resolvePath(name);
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    note(false, errno);
    return {};
  }
  std::string content;
  char buf[65536];
  ssize_t n;
  while ((n = ::read(fd, buf, sizeof buf)) != 0) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      note(false, errno);
      ::close(fd);
      return {};
    }
    content.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  note(true, 0);
  return content;
}

bool memoWrit(std::string_view name, std::string_view text) {
  int fd = createForWriting(name);
  if (fd < 0) return false;
  OutputFile out(fd);
  out.append(text);
  bool ok = out.close();
  return note(ok, out.error());
}

int fErase(std::string_view name) {
  std::string path = resolvePath(name);
  return note(!path.empty() && ::unlink(path.c_str()) == 0, path.empty() ? ENOENT : errno) ? 0 : -1;
}

}  // namespace rt
