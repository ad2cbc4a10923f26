#include "platform/rt/output_file.hpp"

#include <utility>

namespace rt {

OutputFile::OutputFile(OsFile file, std::size_t block)
    : file_(std::move(file)), block_(block == 0 ? 1 : block) {
  buffer_.reserve(block_);
}

OutputFile::~OutputFile() { release(); }

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
  if (this != &other) {
    release();
    file_ = std::move(other.file_);
    block_ = other.block_;
    buffer_ = std::move(other.buffer_);
    status_ = std::move(other.status_);
  }
  return *this;
}

void OutputFile::release() {
  if (!file_.isOpen()) return;
  (void)flush();
  (void)file_.close();
}

void OutputFile::appendSlow(std::string_view s) {
  if (!flush()) return;
  if (s.size() >= block_) {
    status_ = file_.write(s);
    return;
  }
  buffer_.append(s);
}

bool OutputFile::flush() {
  if (status_.isOk() && !file_.isOpen() && !buffer_.empty())
    status_ = Status::fromOsCode(dos::BadHandle);
  if (status_.isOk() && !buffer_.empty()) status_ = file_.write(buffer_);
  buffer_.clear();
  return status_.isOk();
}

bool OutputFile::close() {
  if (!file_.isOpen()) return status_.isOk();
  const bool ok = flush();
  Status closed = file_.close();
  if (status_.isOk()) status_ = std::move(closed);
  return ok && status_.isOk();
}

}  // namespace rt
