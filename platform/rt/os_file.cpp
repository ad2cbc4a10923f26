// The parts of the file layer every system shares; the calls into the
// system itself are in os_file_posix.cpp (and its twin for other systems).
#include "platform/rt/os_file.hpp"
#include "platform/rt/os_file_test_helper.hpp"

#include <utility>

namespace rt {

namespace {

// The injected failure (tests only): bytes still allowed, and the osCode.
struct InjectedFailure {
  std::size_t okBytes = 0;
  int osCode = 0;
};
InjectedFailure injected;

// How many of `size` bytes may be written before the injected failure; 0
// once the allowance is spent.
std::size_t allowance(std::size_t size) {
  if (injected.osCode == 0) return size;
  const std::size_t ok = size < injected.okBytes ? size : injected.okBytes;
  injected.okBytes -= ok;
  return ok;
}

}  // namespace

void failWritesAfter(std::size_t okBytes, int osCode) { injected = {okBytes, osCode}; }

OsFile::~OsFile() { (void)close(); }

OsFile::OsFile(OsFile&& other) noexcept : handle_(std::exchange(other.handle_, kNone)) {}

OsFile& OsFile::operator=(OsFile&& other) noexcept {
  if (this != &other) {
    (void)close();
    handle_ = std::exchange(other.handle_, kNone);
  }
  return *this;
}

Status OsFile::write(std::string_view data, std::size_t* written) {
  std::size_t done = 0;
  Status status = Status::ok();
  while (done < data.size()) {
    const std::size_t allowed = allowance(data.size() - done);
    if (allowed == 0) {
      status = Status::fromOsCode(injected.osCode);
      break;
    }
    std::size_t took = 0;
    status = writeSome(data.data() + done, allowed, took);
    if (!status.isOk()) break;
    done += took;
  }
  if (written) *written = done;
  return status;
}

}  // namespace rt
