// The private folders the children of a batch run in, ".dbf2csv-" and 16
// hex digits beside each output. A folder emptied after one table is kept
// for the next table of the same output folder: making and removing a
// folder costs more than the whole run of a small table.
#pragma once

#include <map>
#include <string>
#include <system_error>
#include <vector>

namespace batch {

class PrivateFolders {
 public:
  PrivateFolders() = default;
  // Removes every folder it made, with whatever is in it.
  ~PrivateFolders();
  PrivateFolders(const PrivateFolders&) = delete;
  PrivateFolders& operator=(const PrivateFolders&) = delete;

  // An empty private folder in `parent` ("." when empty): one given back
  // before, else a new one. "" with `ec` set when none can be made.
  std::string take(const std::string& parent, std::error_code& ec);
  // Empties `folder` (taken from here) and keeps it for the next table in
  // its parent; removes it when it cannot be emptied.
  void giveBack(const std::string& folder);
  // Removes every folder it made.
  void removeAll();

 private:
  std::map<std::string, std::vector<std::string>> free_;  // by parent
  std::vector<std::string> made_;
};

}  // namespace batch
