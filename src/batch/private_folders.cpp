#include "src/batch/private_folders.hpp"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string_view>

namespace batch {

namespace fs = std::filesystem;

namespace {

constexpr int kNameTries = 100;
constexpr std::string_view kPrefix = ".dbf2csv-";
constexpr std::size_t kDigits = 16;

bool isPrivateFolderName(const std::string& name) {
  return name.size() == kPrefix.size() + kDigits && name.starts_with(kPrefix) &&
         std::all_of(name.begin() + kPrefix.size(), name.end(),
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

// A new folder ".dbf2csv-" and 16 hex digits in `parent`, held by `lock`;
// "" when none can be made, with `ec` telling why.
std::string makePrivateFolder(const fs::path& parent, FolderLock& lock, std::error_code& ec) {
  static std::mt19937_64 random{std::random_device{}()};
  for (int i = 0; i < kNameTries; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%016llx", kPrefix.data(),
                  static_cast<unsigned long long>(random()));
    const fs::path folder = parent / name;
    if (!fs::create_directory(folder, ec)) {
      if (ec) return {};
      continue;
    }
    lock = FolderLock::hold(folder.string());
    if (lock) return folder.string();
    // Another batch starting took it for abandoned before it was locked,
    // and removes it.
  }
  ec = std::make_error_code(std::errc::file_exists);
  return {};
}

// Removes the private folders in `parent` that no live batch holds: those
// of a batch that died. Folders of other names, and links, are not touched.
void removeAbandoned(const fs::path& parent) {
  std::error_code ec;
  std::vector<fs::path> found;
  for (fs::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeEc;
    if (isPrivateFolderName(it->path().filename().string()) && !it->is_symlink(typeEc) &&
        it->is_directory(typeEc)) {
      found.push_back(it->path());
    }
  }
  for (const fs::path& folder : found) removeIfAbandoned(folder.string());
}

// The folders kept for reuse are filed by their parent, spelt as the
// parent of a folder made in it is.
std::string keyOf(const std::string& parent) {
  return (fs::path(parent.empty() ? "." : parent) / "x").parent_path().string();
}

}  // namespace

PrivateFolders::~PrivateFolders() { removeAll(); }

std::string PrivateFolders::take(const std::string& parent, std::error_code& ec) {
  const std::string where = keyOf(parent);
  if (cleared_.insert(where).second) removeAbandoned(where);
  std::vector<std::string>& free = free_[where];
  if (!free.empty()) {
    std::string folder = std::move(free.back());
    free.pop_back();
    return folder;
  }
  FolderLock lock;
  std::string folder = makePrivateFolder(where, lock, ec);
  if (!folder.empty()) made_.emplace(folder, std::move(lock));
  return folder;
}

void PrivateFolders::giveBack(const std::string& folder) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    fs::remove_all(it->path(), ec);
    if (ec) break;
  }
  if (!ec && fs::is_empty(folder, ec) && !ec) {
    free_[fs::path(folder).parent_path().string()].push_back(folder);
    return;
  }
  // Let go first: on Windows the lock's own handle keeps the folder.
  made_.erase(folder);
  fs::remove_all(folder, ec);
}

void PrivateFolders::removeAll() {
  std::error_code ec;
  for (auto& [folder, lock] : made_) {
    lock.release();
    fs::remove_all(folder, ec);
  }
  made_.clear();
  free_.clear();
}

}  // namespace batch
