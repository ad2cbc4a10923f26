#include "src/batch/table_job.hpp"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <system_error>

#include "platform/rt/paths.hpp"
#include "platform/rt/strings.hpp"
#include "src/app/run_parameters.hpp"
#include "src/app/schema.hpp"
#include "src/app/sqlite_output.hpp"
#include "src/app/typed_export.hpp"

namespace batch {

namespace fs = std::filesystem;

namespace {

constexpr const char* kMessagesFile = "messages.txt";  // lower case: no table's output name
constexpr const char* kLogPrefix = "APPERROR.";
constexpr const char* kProgramPrefix = "dbf2csv: ";

std::string readWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The error log the child left: APPERROR.LOG, or APPERROR.001 and on when
// that name was taken; "" when none.
std::string childLog(const std::string& folder) {
  std::error_code ec;
  std::string found;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.starts_with(kLogPrefix) && (found.empty() || name < found)) found = it->path().string();
  }
  return found;
}

// Moves `from` over `to`, which keeps its permissions if it exists.
void replaceFile(const fs::path& from, const fs::path& to, std::error_code& ec) {
  std::error_code ignored;
  const fs::file_status previous = fs::status(to, ignored);
  if (fs::is_regular_file(previous)) fs::permissions(from, previous.permissions(), ec);
  if (!ec) fs::rename(from, to, ec);
}

// `text` with the child's names replaced as `names` say, in one pass, so
// that a name put in is never replaced again.
std::string renamed(const std::string& text, const std::vector<Renaming>& names) {
  std::string out;
  for (std::size_t pos = 0; pos < text.size();) {
    const auto match = std::find_if(names.begin(), names.end(), [&](const Renaming& name) {
      return !name.child.empty() && text.compare(pos, name.child.size(), name.child) == 0;
    });
    if (match == names.end()) {
      out += text[pos++];
      continue;
    }
    out += match->shown;
    pos += match->child.size();
  }
  return out;
}

// The path without its file name's extension.
std::string stemOf(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  return dot == std::string::npos || dot < path.size() - rt::baseName(path).size() ? path
                                                                                 : path.substr(0, dot);
}

// The lines of `messages` that say something, joined by blanks, without
// the program's name before a reason (the batch's line names the table);
// the notice that a log was written says nothing the log's own line does
// not.
std::string messageText(const std::string& messages) {
  std::string text, line;
  std::istringstream in(messages);
  while (std::getline(in, line)) {
    for (char& c : line) c = c == '\r' ? ' ' : c;
    line = rt::allTrim(line);
    if (line.empty() || line.starts_with("Error log was written to the file")) continue;
    if (line.starts_with(kProgramPrefix)) line.erase(0, std::strlen(kProgramPrefix));
    text += (text.empty() ? "" : " ") + line;
  }
  return text;
}

}  // namespace

std::string recordsOf(const std::string& messages) {
  static const std::regex created("Created with ([0-9,]+(?: of [0-9,]+)?) records\\.");
  std::smatch m;
  return std::regex_search(messages, m, created) ? m[1].str() + " records" : "";
}

std::string guessedOf(const std::string& messages) {
  static const std::regex line("(?:reads as|beyond ASCII:|for sure \\([^)]*\\):) code page (\\S+)");
  std::smatch m;
  return std::regex_search(messages, m, line) ? m[1].str() : "";
}

std::string logDescription(const std::string& log) {
  static const std::regex description("oError:description  :\\s*(.*?)\\s*\r?$",
                                      std::regex::multiline);
  std::smatch m;
  return std::regex_search(log, m, description) ? m[1].str() : "";
}

std::vector<Renaming> renamingsOf(const Table& table, const std::string& childTable) {
  const app::TableName single = app::tableName(table.shown);
  const auto folderOf = [](const std::string& path) {
    return path.substr(0, path.size() - rt::baseName(path).size());
  };
  std::vector<Renaming> names{{app::normaliseName(childTable), single.cName},
                              {childTable, single.cFile}};
  // A memo file that is not there is named after the table as the run opened it.
  for (const char* memo : {".DBT", ".FPT"})
    names.push_back({stemOf(childTable) + memo, stemOf(single.cFile) + memo});
  for (const std::string& companion : table.companions) {
    const std::string name = rt::baseName(companion);
    names.push_back({folderOf(childTable) + name, folderOf(single.cFile) + name});
  }
  std::stable_sort(names.begin(), names.end(), [](const Renaming& a, const Renaming& b) {
    return a.child.size() > b.child.size();
  });
  return names;
}

std::string failureReason(const std::string& messages, const std::string& log,
                          const ChildEnd& end, const std::vector<Renaming>& names) {
  std::string reason = logDescription(log);
  if (reason.empty()) reason = messageText(messages);
  reason = renamed(reason, names);
  if (end.crashed) {
    reason = "The conversion ended by " + crashDescription(end.code) + "." +
             (reason.empty() ? "" : " " + reason);
  } else if (reason.empty()) {
    reason = "The conversion ended with exit code " + std::to_string(end.code) + ".";
  }
  return reason;
}

TableJob::TableJob(const Table& table, const JobSettings& settings)
    : table_(table), settings_(&settings) {}

TableJob::~TableJob() { discard(); }

TableJob::TableJob(TableJob&& other) noexcept
    : table_(std::move(other.table_)), settings_(other.settings_),
      folder_(std::exchange(other.folder_, {})), childTable_(std::move(other.childTable_)),
      prepareFailure_(std::move(other.prepareFailure_)) {}

// `to` stands for the file `from`: a symbolic link where the file system
// and the user may make one, else a copy (a FAT drive has no links at all,
// and Windows gives symbolic links only to administrators and developers).
// Not a hard link: it is the table itself, and Windows would refuse to
// remove it from the private folder when the table is read-only. A copy is
// made writable for the same reason.
namespace {
void standIn(const fs::path& from, const fs::path& to, std::error_code& ec) {
  fs::create_symlink(from, to, ec);
  if (!ec) return;
  if (fs::copy_file(from, to, ec)) fs::permissions(to, fs::perms::owner_write, fs::perm_options::add, ec);
}
}  // namespace

// Links in the private folder stand for the table and the files the
// program reads beside it (its memo file, a code page file), under their
// own names, so the child finds them as a run in the table's folder would.
// Returns the name the child is given; "" when a link cannot be made.
std::string TableJob::linkTable(std::error_code& ec) {
  const std::string& table = table_.path;
  const std::string name = rt::baseName(table);
  if (fs::is_regular_file(table, ec)) {
    std::vector<std::string> files = table_.companions;
    files.insert(files.begin(), table);
    for (const std::string& file : files) {
      standIn(fs::absolute(file), fs::path(folder_) / rt::baseName(file), ec);
      if (ec) return {};
    }
  }
  ec.clear();  // a table that is not there is the child's to report
  // A name that begins with "-" must not be read as an option.
  return name.starts_with("-") ? "./" + name : name;
}

void TableJob::discard() {
  if (folder_.empty()) return;
  settings_->folders->giveBack(folder_);
  folder_.clear();
}

std::optional<ChildCommand> TableJob::prepare() {
  if (!table_.problem.empty()) {
    prepareFailure_ = table_.problem;
    return std::nullopt;
  }
  const fs::path parent = fs::path(table_.output).parent_path();
  std::error_code ec;
  if (!parent.empty()) fs::create_directories(parent, ec);
  if (!ec) folder_ = settings_->folders->take(parent.string(), ec);
  if (folder_.empty()) {
    prepareFailure_ = "Not able to create " + table_.output + ": " + ec.message() + ".";
    return std::nullopt;
  }

  childTable_ = linkTable(ec);
  if (childTable_.empty()) {
    prepareFailure_ = "Not able to link " + table_.shown + " into " + folder_ + ": " + ec.message() + ".";
    discard();
    return std::nullopt;
  }

  ChildCommand command;
  command.program = settings_->program;
  command.options = settings_->childOptions;
  command.args.push_back(childTable_);
  if (!settings_->fieldNames) command.args.emplace_back("N");
  command.directory = folder_;
  command.messagesFile = (fs::path(folder_) / kMessagesFile).string();
  // A batch never waits for a person, on any system.
  command.environment = {{"DBF2CSV_UI", "headless"}};
  return command;
}

Outcome TableJob::finish(const ChildEnd& end) {
  Outcome outcome;
  const fs::path folder(folder_);
  const std::string messages = readWhole(folder / kMessagesFile);
  const fs::path csv = folder / rt::baseName(app::outputName(app::normaliseName(childTable_), settings_->extension));
  std::error_code ec;
  if (!end.crashed && end.code == 0 && fs::is_regular_file(csv, ec)) {
    std::string problem;
    if (!settings_->database.empty()) {
      if (!app::copySqliteTable(csv.string(), settings_->database, table_.sqlTable, problem)) {
        problem = "Not able to write " + systemSeparators(settings_->database) + ": " + problem + ".";
      }
    } else {
      // The script first: it names the CSV by the name they share.
      if (settings_->schema) replaceFile(app::schemaName(csv.string()), app::schemaName(table_.output), ec);
      if (!ec) replaceFile(csv, table_.output, ec);
      if (ec) problem = "Not able to write " + table_.output + ": " + ec.message() + ".";
    }
    outcome.converted = problem.empty();
    outcome.detail = outcome.converted ? recordsOf(messages) : problem;
    if (outcome.converted && outcome.detail.empty()) outcome.detail = "converted";
    if (outcome.converted && !settings_->database.empty() && table_.sqlTable != app::tableNameOf(table_.path)) {
      outcome.detail += ", as table " + table_.sqlTable;
    }
    outcome.guessed = guessedOf(messages);
    if (outcome.converted && !outcome.guessed.empty()) outcome.detail += ", code page " + outcome.guessed;
  } else {
    const std::string log = childLog(folder_);
    const std::string logText = log.empty() ? "" : readWhole(log);
    outcome.detail = failureReason(messages, logText, end, renamingsOf(table_, childTable_));
    if (!log.empty()) {
      replaceFile(log, table_.log, ec);
      if (!ec) outcome.log = table_.log;
    }
  }
  discard();
  return outcome;
}

Outcome TableJob::failure(const std::string& reason) {
  discard();
  return Outcome{false, reason, "", ""};
}

}  // namespace batch
