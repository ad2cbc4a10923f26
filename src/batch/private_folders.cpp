#include "src/batch/private_folders.hpp"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>

namespace batch {

namespace fs = std::filesystem;

namespace {

constexpr int kNameTries = 100;

// A new folder ".dbf2csv-" and 16 hex digits in `parent`; "" when none can
// be made, with `ec` telling why.
std::string makePrivateFolder(const fs::path& parent, std::error_code& ec) {
  static std::mt19937_64 random{std::random_device{}()};
  for (int i = 0; i < kNameTries; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, ".dbf2csv-%016llx",
                  static_cast<unsigned long long>(random()));
    const fs::path folder = parent / name;
    if (fs::create_directory(folder, ec)) return folder.string();
    if (ec) return {};
  }
  ec = std::make_error_code(std::errc::file_exists);
  return {};
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
  std::vector<std::string>& free = free_[where];
  if (!free.empty()) {
    std::string folder = std::move(free.back());
    free.pop_back();
    return folder;
  }
  std::string folder = makePrivateFolder(where, ec);
  if (!folder.empty()) made_.push_back(folder);
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
  fs::remove_all(folder, ec);
  made_.erase(std::remove(made_.begin(), made_.end(), folder), made_.end());
}

void PrivateFolders::removeAll() {
  std::error_code ec;
  for (const std::string& folder : made_) fs::remove_all(folder, ec);
  made_.clear();
  free_.clear();
}

}  // namespace batch
