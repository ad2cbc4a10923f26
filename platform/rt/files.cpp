#include "platform/rt/files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>

#include "platform/rt/error_codes.hpp"
#include "platform/rt/output_file.hpp"

namespace rt {

namespace {

int lastError = 0;

constexpr off_t kMemoReadLimit = off_t{64} << 20;

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
  int fd = path.empty() ? -1 : openNoWait(path, O_WRONLY | O_CREAT | O_TRUNC);
  note(fd >= 0, path.empty() ? ENOENT : errno);
  return fd;
}

// Reads the whole of a regular file of at most kMemoReadLimit bytes into
// `content`; a device, a FIFO or a larger file could make the program wait
// or fill memory without end. Returns 0 or the errno of the failure.
int readRegularFile(int fd, std::string& content) {
  struct stat st;
  if (::fstat(fd, &st) != 0) return errno;
  if (!S_ISREG(st.st_mode)) return S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
  if (st.st_size > kMemoReadLimit) return EFBIG;
  content.reserve(static_cast<size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return 0;
    if (content.size() + static_cast<size_t>(n) > static_cast<size_t>(kMemoReadLimit)) return EFBIG;
    content.append(buf, static_cast<size_t>(n));
  }
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
  int fd = openNoWait(resolvePath(name), O_RDONLY);
  if (fd < 0) {
    note(false, errno);
    return {};
  }
  std::string content;
  int error = readRegularFile(fd, content);
  ::close(fd);
  if (!note(error == 0, error)) content.clear();
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
