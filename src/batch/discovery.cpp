// The tables of a batch. Names are found as the program finds them for one
// table: the output is the name `dbf2csv TABLE` writes (upper-cased, ".CSV"),
// in the folder it would resolve to, so a batch replaces exactly the files
// the single runs would have replaced.
#include "src/batch/discovery.hpp"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <system_error>

#include "platform/rt/paths.hpp"
#include "platform/rt/strings.hpp"
#include "src/app/run_parameters.hpp"

namespace batch {

namespace fs = std::filesystem;

namespace {

bool isTableName(const fs::path& p) { return rt::upper(p.extension().string()) == ".DBF"; }

// The table's bytes and those of the files read beside it.
std::uint64_t workBytes(const std::string& table, const std::vector<std::string>& companions) {
  std::error_code ec;
  std::uint64_t bytes = fs::file_size(table, ec);
  if (ec) return 0;
  for (const std::string& companion : companions) {
    const auto size = fs::file_size(companion, ec);
    if (!ec) bytes += size;
  }
  return bytes;
}

constexpr char kSeparator = static_cast<char>(fs::path::preferred_separator);

bool isSeparator(char c) { return c == '/' || c == kSeparator; }

// `folder` and `name` joined by the system's separator; `name` alone when
// `folder` is "".
std::string joined(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return isSeparator(folder.back()) ? folder + name : folder + kSeparator + name;
}

// The CSV file of `table` (as named) in `folder`: beside the table when
// `folder` is empty.
std::string csvName(const std::string& table, const std::string& folder, const std::string& extension) {
  const std::string beside = app::outputName(app::normaliseName(table), extension);
  if (folder.empty()) return rt::resolvePath(beside);
  return rt::resolvePath(joined(folder, rt::baseName(beside)));
}

// The names in one folder, read once: a file is found in it as
// rt::resolvePath finds it (the name as given where it exists, else the
// first in byte order that differs only in letter case), without reading
// the folder again for every table, memo file and output.
class FolderNames {
 public:
  explicit FolderNames(const std::vector<fs::directory_entry>& entries) {
    for (const auto& e : entries) {
      const std::string name = e.path().filename().string();
      exact_.insert(name);
      auto [it, isNew] = folded_.try_emplace(rt::upper(name), name);
      if (!isNew && name < it->second) it->second = name;
    }
  }
  // `name` as it is in the folder; "" when it is not there.
  std::string find(const std::string& name) const {
    if (exact_.contains(name)) return name;
    const auto it = folded_.find(rt::upper(name));
    return it == folded_.end() ? "" : it->second;
  }

 private:
  std::set<std::string> exact_;
  std::map<std::string, std::string> folded_;  // upper-cased name -> name
};

// The folder part of `path`, with its last "/".
std::string folderPart(const std::string& path) {
  return path.substr(0, path.size() - rt::baseName(path).size());
}

// The files read beside `table`, each found by `find` (the path of a file
// of that name in any letter case, or "" when there is none).
template <class Find>
std::vector<std::string> companionsBy(const std::string& table, const Find& find) {
  std::vector<std::string> files;
  const std::string stem = folderPart(table) + fs::path(rt::baseName(table)).stem().string();
  std::error_code ec;
  for (const std::string_view ext : app::kCompanionExtensions) {
    const std::string companion = find(stem + std::string(ext));
    if (!companion.empty() && fs::is_regular_file(companion, ec)) files.push_back(companion);
  }
  return files;
}

std::string logName(const std::string& output) {
  return output.substr(0, output.rfind('.')) + ".LOG";
}

class Finder {
 public:
  explicit Finder(const BatchOptions& options) : options_(options) {}

  void add(const std::string& input) {
    std::error_code ec;
    if (!fs::is_directory(input, ec)) {
      const std::string file = app::tableName(input).cFile;
      if (!fs::exists(file, ec)) return found_.missing.push_back(input);
      return addTable(file, systemSeparators(input), "", nullptr);
    }
    std::string shownFolder = systemSeparators(input);
    while (shownFolder.size() > 1 && isSeparator(shownFolder.back())) shownFolder.pop_back();
    if (shownFolder == ".") shownFolder.clear();
    addFolder(input, shownFolder, "");
  }

  Found take() { return std::move(found_); }

 private:
  // The tables of `folder` (shown as `shown`), whose CSV files go to `sub`
  // under the output folder.
  void addFolder(const fs::path& folder, const std::string& shown, const std::string& sub) {
    std::vector<fs::directory_entry> entries;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
      entries.push_back(*it);
    if (ec) {
      Table t;
      t.path = folder.string();
      t.shown = shown.empty() ? "." : shown;
      t.problem = "Not able to read the folder: " + ec.message() + ".";
      found_.tables.push_back(std::move(t));
      return;
    }
    std::sort(entries.begin(), entries.end());
    const FolderNames names(entries);
    for (const auto& e : entries) {
      const std::string name = e.path().filename().string();
      const std::string shownPath = joined(shown, name);
      if (e.is_regular_file(ec) && isTableName(e.path())) {
        addTable(e.path().lexically_normal().string(), shownPath, sub, &names);
      } else if (options_.recursive && e.is_directory(ec) && !e.is_symlink(ec)) {
        // Linked folders are not followed: a link back up would never end.
        addFolder(e.path(), shownPath, joined(sub, name));
      }
    }
  }

  // The table `path` (the file as found), whose CSV file goes to `sub`
  // under the output folder. `names`: those of the table's folder when it
  // was found there by name.
  void addTable(const std::string& path, const std::string& shown, const std::string& sub,
                const FolderNames* names) {
    Table t;
    t.path = path;
    t.shown = shown;
    std::error_code ec;
    const auto inFolder = [&](const std::string& name) {
      const std::string found = names->find(rt::baseName(name));
      return found.empty() ? found : folderPart(path) + found;
    };
    if (fs::is_regular_file(path, ec)) {
      t.companions = names ? companionsBy(path, inFolder) : companionsOf(path);
    }
    t.bytes = workBytes(path, t.companions);
    std::string folder;
    if (options_.outputFolder) folder = joined(systemSeparators(*options_.outputFolder), sub);
    if (names && folder.empty()) {
      const std::string csv = rt::baseName(app::outputName(app::normaliseName(rt::baseName(path)), options_.extension));
      const std::string found = inFolder(csv);
      t.output = found.empty() ? folderPart(path) + csv : found;
    } else {
      t.output = csvName(path, folder, options_.extension);
    }
    t.output = systemSeparators(t.output);
    t.log = logName(t.output);
    // The child never sees this output, which only the batch writes.
    t.problem = app::outputClash(t.output, t.output, path, t.companions, t.shown).message();
    std::vector<Table>& tables = found_.tables;
    const auto [earlier, isNew] =
        outputs_.try_emplace(fs::absolute(t.output).lexically_normal(), tables.size());
    if (!isNew) {
      const Table& first = tables[earlier->second];
      if (fs::equivalent(first.path, path, ec)) return;  // the same table again
      t.problem = "Not converted: " + first.shown + " gives the same file " + t.output + ".";
    }
    tables.push_back(std::move(t));
  }

  const BatchOptions& options_;
  Found found_;
  std::map<fs::path, std::size_t> outputs_;  // each output and the table that gives it
};

}  // namespace

std::vector<std::string> companionsOf(const std::string& table) {
  return companionsBy(table, [](const std::string& name) { return rt::resolvePath(name); });
}

Found findTables(const BatchOptions& options) {
  Finder finder(options);
  for (const std::string& input : options.inputs) finder.add(input);
  return finder.take();
}

void largestFirst(std::vector<Table>& tables) {
  std::stable_sort(tables.begin(), tables.end(),
                   [](const Table& a, const Table& b) { return a.bytes > b.bytes; });
}

std::string systemSeparators(std::string path) {
  std::replace(path.begin(), path.end(), '/', kSeparator);
  return path;
}

}  // namespace batch
