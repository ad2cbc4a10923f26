// The private folders the children of a batch run in, ".dbf2csv-" and 16
// hex digits beside each output. A folder emptied after one table is kept
// for the next table of the same output folder: making and removing a
// folder costs more than the whole run of a small table. Each is locked
// (FolderLock) while the batch lives, and the first time a batch makes
// one in a folder it removes there those a batch that died left.
#pragma once

#include <map>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "src/batch/folder_lock.hpp"

namespace batch {

class PrivateFolders {
 public:
  PrivateFolders() = default;
  // Removes every folder it made, with whatever is in it.
  ~PrivateFolders();
  PrivateFolders(const PrivateFolders&) = delete;
  PrivateFolders& operator=(const PrivateFolders&) = delete;

  // An empty private folder in `parent` ("." when empty): one given back
  // before, else a new one. The first time, the private folders in
  // `parent` that no live batch holds are removed. "" with `ec` set when
  // none can be made.
  std::string take(const std::string& parent, std::error_code& ec);
  // Empties `folder` (taken from here) and keeps it for the next table in
  // its parent; removes it when it cannot be emptied.
  void giveBack(const std::string& folder);
  // Removes every folder it made.
  void removeAll();

 private:
  std::map<std::string, std::vector<std::string>> free_;  // by parent
  std::map<std::string, FolderLock> made_;                // each folder made and its lock
  std::set<std::string> cleared_;  // the parents rid of abandoned folders
};

}  // namespace batch
