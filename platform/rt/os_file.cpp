// The parts of the file layer every system shares; the calls into the
// system itself are in os_file_posix.cpp (and its twin for other systems).
#include "platform/rt/os_file.hpp"
#include "platform/rt/os_file_test_helper.hpp"

#include <utility>

namespace rt {

namespace {

// What stands before the system's writes; none but in tests.
WriteSeam* seam = nullptr;

}  // namespace

WriteSeam* setWriteSeam(WriteSeam* next) { return std::exchange(seam, next); }

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
    const std::size_t allowed = seam ? seam->allow(data.size() - done) : data.size() - done;
    if (allowed == 0) {
      status = seam->failure();
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
