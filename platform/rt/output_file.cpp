#include "platform/rt/output_file.hpp"

#include <utility>

namespace rt {

OutputFile::OutputFile(OsFile file, std::size_t block)
    : file_(std::move(file)), block_(block == 0 ? 1 : block) {
  buffer_.reserve(block_);
}

OutputFile::~OutputFile() { release(); }

OutputFile::OutputFile(OutputFile&& other) noexcept { *this = std::move(other); }

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
  if (this != &other) {
    release();
    // A background write refers to the file where it is: it ends first.
    other.settle();
    file_ = std::move(other.file_);
    block_ = other.block_;
    buffer_ = std::move(other.buffer_);
    status_ = std::move(other.status_);
    behind_ = std::move(other.behind_);
  }
  return *this;
}

void OutputFile::settle() {
  if (!behind_) return;
  behind_->worker.wait();
  if (status_.isOk() && !behind_->status.isOk()) status_ = std::move(behind_->status);
  behind_->status = Status::ok();
}

void OutputFile::appendBlock(std::string& block) {
  if (!flush()) return;
  if (!file_.isOpen()) {
    status_ = Status::fromOsCode(dos::BadHandle);
    return;
  }
  if (!behind_) behind_ = std::make_unique<Behind>();
  // flush() has waited for the block before: its buffer is free again.
  block.swap(behind_->block);
  behind_->worker.run([this] { behind_->status = file_.write(behind_->block); });
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
  settle();
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
