// A fresh temporary directory for one test, removed with everything in it
// afterwards; the current directory is put back if a test changed it.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace rt_test {

// Makes a directory of a new name, PREFIX-XXXXXXXX (random letters and
// digits), in the temporary directory, for this user alone; throws when it
// cannot.
inline std::string makeTempDirectory(const std::string& prefix) {
  static constexpr char kSymbols[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = prefix + "-";
    for (int i = 0; i < 8; ++i) name += kSymbols[random() % (sizeof kSymbols - 1)];
    const std::filesystem::path path = std::filesystem::temp_directory_path() / name;
    std::error_code ec;
    if (std::filesystem::create_directory(path, ec)) {
      std::filesystem::permissions(path, std::filesystem::perms::owner_all, ec);
      return path.string();
    }
  }
  throw std::runtime_error("cannot make a temporary directory");
}

// The entries of `directory`, sorted, as one text "a b c".
inline std::string listing(const std::string& directory) {
  std::string out;
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(directory)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  for (const auto& n : names) out += (out.empty() ? "" : " ") + n;
  return out;
}

class TempDir {
 public:
  TempDir() : previous_(std::filesystem::current_path()) {
    path_ = makeTempDirectory("rt-test");
  }
  ~TempDir() {
    std::filesystem::current_path(previous_);
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  // Writes `content` to `name` (relative to the directory), making folders.
  void write(const std::string& name, const std::string& content) const {
    std::filesystem::path p = std::filesystem::path(path_) / name;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << content;
  }
  void enter() const { std::filesystem::current_path(path_); }

  // The entries of the directory, sorted, as one text "a b c".
  std::string listing() const;

 private:
  std::string path_;
  std::filesystem::path previous_;
};

// The files and folders under `folder` (relative to it, sorted) as one text
// "a b b/c".
inline std::string treeListing(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder))
    names.push_back(e.path().lexically_relative(folder).generic_string());
  std::sort(names.begin(), names.end());
  std::string out;
  for (const auto& n : names) out += (out.empty() ? "" : " ") + n;
  return out;
}

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline std::string TempDir::listing() const { return rt_test::listing(path_); }

}  // namespace rt_test
