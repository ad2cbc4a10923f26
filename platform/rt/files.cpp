#include "platform/rt/files.hpp"

#include <map>

#include "platform/rt/os_file.hpp"
#include "platform/rt/output_file.hpp"
#include "platform/rt/status.hpp"

namespace rt {

namespace {

int lastError = 0;

constexpr std::uint64_t kMemoReadLimit = std::uint64_t{64} << 20;

// The files FCREATE opened, by handle number.
struct OpenFiles {
  std::map<int, OutputFile> byHandle;
  int next = 1;
};

OpenFiles& openFiles() {
  static OpenFiles files;
  return files;
}

// Records the outcome of a file function: the osCode of a failure, or 0.
bool note(const Status& status) {
  lastError = status.osCode();
  return status.isOk();
}

Status noName() { return Status::fromOsCode(dos::FileNotFound); }

// Opens the file `name` stands for, created or emptied, for writing.
Status createForWriting(std::string_view name, OsFile& file) {
  const std::string path = resolvePath(name);
  return path.empty() ? noName() : file.open(path, OpenMode::Write);
}

// Reads the whole of a regular file of at most kMemoReadLimit bytes into
// `content`; a device, a FIFO or a larger file could make the program wait
// or fill memory without end.
Status readRegularFile(const std::string& path, std::string& content) {
  OsFile file;
  Status status = file.open(path);
  // FERROR tells a device or FIFO by the code of an invalid parameter.
  if (status.code() == StatusCode::NotAFile) return Status::fromOsCode(dos::InvalidParameter);
  if (!status.isOk()) return status;
  const std::uint64_t size = file.size();
  if (size > kMemoReadLimit) return Status::fromOsCode(dos::FileTooLarge);
  content.reserve(static_cast<std::size_t>(size));
  char buf[65536];
  for (;;) {
    std::size_t got = 0;
    status = file.readAt(content.size(), buf, sizeof buf, got);
    if (!status.isOk() || got == 0) return status;
    // The file may have grown since its size was taken.
    if (content.size() + got > kMemoReadLimit) return Status::fromOsCode(dos::FileTooLarge);
    content.append(buf, got);
  }
}

}  // namespace

int fError() { return lastError; }

int fCreate(std::string_view name) {
  OsFile file;
  if (!note(createForWriting(name, file))) return -1;
  OpenFiles& files = openFiles();
  const int handle = files.next++;
  files.byHandle.insert_or_assign(handle, OutputFile(std::move(file)));
  return handle;
}

size_t fWrite(int handle, std::string_view data, long long count) {
  auto& files = openFiles().byHandle;
  auto it = files.find(handle);
  if (it == files.end()) {
    note(Status::fromOsCode(dos::BadHandle));
    return 0;
  }
  if (count >= 0 && static_cast<unsigned long long>(count) < data.size())
    data = data.substr(0, static_cast<size_t>(count));
  it->second.append(data);
  if (!note(it->second.status())) return 0;
  return data.size();
}

bool fClose(int handle) {
  auto& files = openFiles().byHandle;
  auto it = files.find(handle);
  if (it == files.end()) return note(Status::fromOsCode(dos::BadHandle));
  (void)it->second.close();
  const Status status = it->second.status();
  files.erase(it);
  return note(status);
}

std::string memoRead(std::string_view name) {
  std::string content;
  if (!note(readRegularFile(resolvePath(name), content))) content.clear();
  return content;
}

bool memoWrit(std::string_view name, std::string_view text) {
  OsFile file;
  if (!note(createForWriting(name, file))) return false;
  OutputFile out(std::move(file));
  out.append(text);
  (void)out.close();
  return note(out.status());
}

int fErase(std::string_view name) {
  const std::string path = resolvePath(name);
  return note(path.empty() ? noName() : removeFile(path)) ? 0 : -1;
}

}  // namespace rt
