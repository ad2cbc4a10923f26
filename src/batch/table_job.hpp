// One table of a batch: the child run that converts it, in a folder of its
// own beside the output, and what is made of the child's end.
//
// The private folder holds links to the table and its companions (memo
// file, code page file) under their own names, and the child runs
// `dbf2csv [options] TABLE [N]` there, exactly as a single run in the
// table's folder: the CSV file (and its temporary file), an error log
// APPERROR.LOG and the messages it prints all land in the private folder
// and nowhere else. So two tables' logs never meet, a job file or
// MEMOS.SYS in the user's folder is never touched, and whatever becomes of
// the child (done, failed, crashed, ended by an interrupt) nothing of it is
// left once the folder is emptied. Only a complete CSV file is moved to its
// place, by a rename on the same file system. The folder comes from, and
// goes back emptied to, the batch's PrivateFolders.
#pragma once

#include <optional>
#include <system_error>
#include <string>
#include <vector>

#include "src/batch/discovery.hpp"
#include "src/batch/private_folders.hpp"
#include "src/batch/processes.hpp"

namespace batch {

struct JobSettings {
  std::string program;                    // the program a child runs
  std::vector<std::string> childOptions;  // given before the table; text in UTF-8
  bool fieldNames = true;
  PrivateFolders* folders = nullptr;      // where the children's folders come from
  std::string extension = ".CSV";         // of the output
  bool schema = false;                    // a script NAME.SQL beside the output
  std::string database{};                 // the one database of every table; "": none
};

// What became of one table.
struct Outcome {
  bool converted = false;
  std::string detail;  // "12,345 records", or why it was not converted
  std::string log;     // where its error log lies now; "" when it left none
  std::string guessed; // the code page -e guess chose ("866"); "" when none
};

class TableJob {
 public:
  TableJob(const Table& table, const JobSettings& settings);
  // Gives back the private folder, emptied, if it still has one.
  ~TableJob();
  TableJob(TableJob&&) noexcept;
  TableJob(const TableJob&) = delete;
  TableJob& operator=(const TableJob&) = delete;

  const Table& table() const { return table_; }

  // Makes the output folder when missing and the private folder in it, and
  // gives the child's command. nullopt when the table has a problem or the
  // folders cannot be made; failure() then tells why.
  std::optional<ChildCommand> prepare();
  // The child has ended: a converted table's CSV file replaces the output
  // (keeping the permissions of the file it replaces), or its table is
  // copied into the batch's one database; an error log becomes NAME.LOG
  // beside the output. The private folder is given back emptied.
  Outcome finish(const ChildEnd& end);
  // The table was not converted for `reason` (its child could not start,
  // or nothing could be prepared): the private folder is given back emptied.
  Outcome failure(const std::string& reason);
  // The reason prepare() failed.
  const std::string& prepareFailure() const { return prepareFailure_; }
  // Empties the private folder and gives it back.
  void discard();

 private:
  std::string linkTable(std::error_code& ec);

  Table table_;
  const JobSettings* settings_;
  std::string folder_;      // the private folder, "" when none
  std::string childTable_;  // the table's name in it
  std::string prepareFailure_;
};

// ---- Reading what a child left (reachable by tests) --------------------------

// "12,345 records" from the final report among `messages`; "" when absent.
std::string recordsOf(const std::string& messages);
// The code page a guess chose ("866") from its line among `messages`; ""
// when there is none.
std::string guessedOf(const std::string& messages);
// The description line of an error log; "" when it has none.
std::string logDescription(const std::string& log);
// A name by which a child named a file of its table, in its own folder,
// and the name a single run given the user's name for the table gives it.
struct Renaming {
  std::string child;
  std::string shown;
};

// The renamings of the files of `table`, whose name in its private folder
// is `childTable`: the name given (folders as on disk, file name
// upper-cased), the name on disk, the memo files looked for and the
// companions. Longest child's name first.
std::vector<Renaming> renamingsOf(const Table& table, const std::string& childTable);

// Why a table was not converted, from what its child printed, its error
// log's text ("" when none) and its end, each of the child's names of the
// table's files replaced as `names` say.
std::string failureReason(const std::string& messages, const std::string& log,
                          const ChildEnd& end, const std::vector<Renaming>& names);

}  // namespace batch
