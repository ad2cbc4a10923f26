#include "platform/rt/atomic_file.hpp"

#include <cstdint>
#include <cstdio>

#include "platform/rt/os_file.hpp"
#include "platform/rt/paths.hpp"
#include "platform/rt/paths_system.hpp"

namespace rt {

namespace {

constexpr int kNameTries = 100;

// 16 hex digits no other user can guess, so no one can plant a file or
// link under the name first.
std::string randomSuffix() {
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(unpredictableBits()));
  return buf;
}

}  // namespace

// A symbolic link stays a link: the file it names is the one replaced, as
// writing through the link would (a rename onto the link's own name would
// turn it into a file and leave the one it names stale; /dev/stderr
// redirected to a file would leave /dev).
AtomicFile::AtomicFile(std::string_view target) : target_(sys::linkTarget(resolvePath(target))) {
  if (target_.empty() || target_.back() == '/') {
    status_ = Status::fromOsCode(dos::AccessDenied, "the name is a directory");
    return;
  }
  OsFile device;
  if (const std::optional<Status> opened = device.openInPlace(target_)) {
    status_ = *opened;
    if (status_.isOk()) out_ = OutputFile(std::move(device));
    return;
  }
  // A rename replaces a file whatever its permissions: one that grants no
  // write must stay as it is, as it would if it were opened for writing.
  status_ = checkReplaceable(target_);
  if (!status_.isOk()) return;
  // Beside the target, in its folder as written: a name beginning "\\?\"
  // goes to Windows as it is, where only "\" separates.
  const std::string base = baseName(target_);
  const std::string stem = target_.substr(0, target_.size() - base.size()) + "." + base + ".";
  for (int i = 0; i < kNameTries; ++i) {
    std::string name = stem + randomSuffix() + ".tmp";
    // Armed before it exists: an interrupt between the creation and the
    // arming would leave the file. (A name taken by someone else is
    // disarmed at once; its 64 random bits make that all but impossible.)
    armed_.arm(name);
    // CreateNew: never open a file (or follow a link) someone else put there.
    OsFile file;
    status_ = file.open(name, OpenMode::CreateNew);
    if (status_.isOk()) {
      temp_ = std::move(name);
      out_ = OutputFile(std::move(file));
      return;
    }
    armed_.disarm();
    if (status_.code() != StatusCode::Exists) return;
  }
}

AtomicFile::~AtomicFile() {
  if (!done_) discard();
}

void AtomicFile::discard() {
  done_ = true;
  (void)out_.close();
  if (temp_.empty()) return;
  (void)removeFile(temp_);
  armed_.disarm();
}

Status AtomicFile::commit() {
  if (done_) return Status::invalidArgument("committed already");
  if (status_.isOk() && !out_.close()) status_ = out_.status();
  if (temp_.empty()) {  // written in place, or never opened
    done_ = true;
    return status_;
  }
  if (status_.isOk()) status_ = copyPermissions(target_, temp_);
  if (status_.isOk()) status_ = renameFile(temp_, target_);
  if (!status_.isOk()) {
    discard();
    return status_;
  }
  done_ = true;
  armed_.disarm();
  return Status::ok();
}

}  // namespace rt
