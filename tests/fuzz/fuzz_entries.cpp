#include "platform/db/workarea_test_helper.hpp"
#include "tests/fuzz/fuzz_entries.hpp"
#include <stdlib.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>
#include <vector>
#include "platform/db/workarea.hpp"
#include "platform/rt/error_block.hpp"
#include "platform/rt/program_end.hpp"
#include "platform/ui/headless/headless_toolkit.hpp"
#include "platform/rt/code_page_guess.hpp"
#include "src/app/code_page_choice.hpp"
#include "src/app/export_table.hpp"
#include "src/app/job_file.hpp"
#include "src/app/line_writer.hpp"
#include "src/app/options.hpp"
#include "src/app/open_table.hpp"
#include "src/app/values_renderer.hpp"
#include "src/app/where_eval.hpp"
#include "src/app/where_syntax.hpp"
#include "src/runtime/detail.hpp"
#include "src/runtime/startup.hpp"
#include "tests/support/dbf_writer.hpp"

namespace fuzz {
namespace {

namespace fs = std::filesystem;

// The directory of this process where each input is laid out as files (the
// engines read tables by name), removed when the process ends normally.
class Scratch {
 public:
  Scratch() {
    std::string pattern = (fs::temp_directory_path() / "dbf2csv-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch directory");
    path_ = pattern;
  }
  ~Scratch() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string operator/(const char* name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The runtime as the program sets it up, once per process: its settings, the
// engines and drivers, and a headless toolkit whose messages are kept, not
// printed.
class Runtime {
 public:
  Runtime() {
    ui::setToolkit(std::make_unique<ui::HeadlessToolkit>(messages_));
    runtime::appSys();
    if (!runtime::loadDatabaseDrivers("DBFNTX")) throw std::runtime_error("cannot load the engines");
  }
  void forgetMessages() { messages_.str(std::string()); }

 private:
  std::ostringstream messages_;
};

Scratch& scratch() {
  static Scratch dir;
  return dir;
}

void ensureRuntime() {
  static Runtime runtime;
  runtime.forgetMessages();
}

void writeFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void removeFile(const std::string& path) { ::unlink(path.c_str()); }

// Every record of the table open under INPUT rendered through DBF2ARRAY and
// VARTOCHAR, as the export's lines would be without their fast path.
std::string routineLines() {
  app::LineWriter out(app::LineFormat::standard());
  out.begin();
  for (int nField = 1; nField <= db::fCount(); ++nField) out.name(db::fieldName(nField));
  std::string lines(out.end());
  rt::Array aRecord;
  for (db::dbGoTop(); !db::eof(); db::dbSkip()) {
    app::dbf2Array(aRecord);
    lines += app::valuesLine(out, aRecord);
  }
  return lines;
}

std::uint64_t countLines(const std::string& text) {
  std::uint64_t n = 0;
  for (std::size_t pos = 0; (pos = text.find("\r\n", pos)) != std::string::npos; pos += 2) ++n;
  return n;
}

// Opens and exports `table` (a path ending in ".DBF") as the program does,
// then reads it again through the routines and compares the lines. Every
// runtime error is answered with the default and counted.
ReadSummary exportAndCompare(const std::string& table, const std::string& output) {
  ensureRuntime();
  ReadSummary s;
  rt::errorLevel(0);
  rt::ErrorBlockGuard guard([&s](const rt::ErrorPtr&) {
    ++s.errors;
    return rt::Value(false);
  });
  try {
    removeFile(output);
    if (!app::openTable(s.driver, table, "INPUT", true)) return s;
    s.opened = true;
    s.guessed = app::guessTableCodePage(*db::currentTable(), "").codePage;
    if (!app::exportTable(table, true, app::Options{})) s.exported = false;
    const std::string csv = readFile(output);
    s.bytes = csv.size();
    s.records = csv.empty() ? 0 : countLines(csv) - 1;
    if (s.exported && app::openTable(s.driver, table, "INPUT", true)) {
      s.consistent = routineLines() == csv;
    }
  } catch (rt::QuitSignal&) {
    s.ended = true;  // an error with no way to go on ended the program
  }
  db::closeAll();
  return s;
}

// Lays out a memo file beside T.DBF under `extensions`, or removes them all
// when there is none.
void placeMemo(const std::optional<std::string_view>& memo,
               const std::vector<const char*>& extensions) {
  for (const char* name : {"T.DBT", "T.FPT"}) removeFile(scratch() / name);
  if (!memo) return;
  for (const char* name : extensions) writeFile(scratch() / name, *memo);
}

// The table of a memo target: the layout's version, a character field and
// two memo fields, two records pointing at the four blocks.
test_support::TableShape memoTableSpec(MemoTarget target) {
  test_support::TableShape shape;
  switch (target) {
    case MemoTarget::DbtIII:
      shape.version = 0x83;
      shape.fields = {{"NAME", 'C', 8}, {"NOTES", 'M', 10}, {"MORE", 'M', 10}};
      break;
    case MemoTarget::DbtIV:
      shape.version = 0x8B;
      shape.fields = {{"NAME", 'C', 8}, {"NOTES", 'M', 10}, {"IMAGE", 'B', 10}};
      break;
    case MemoTarget::Fpt:
      // Visual FoxPro keeps binary pointers, FoxPro 2 right-aligned digits.
      shape.version = 0x30;
      shape.fields = {{"NAME", 'C', 8}, {"NOTES", 'M', 4}, {"OLD", 'M', 10}};
      break;
  }
  return shape;
}

std::string pointerBytes(std::uint32_t block, int fieldLength) {
  if (fieldLength == 4) return test_support::le32(static_cast<std::int32_t>(block));
  const std::string digits = std::to_string(block);
  return std::string(static_cast<std::size_t>(fieldLength) - digits.size(), ' ') + digits;
}

std::uint32_t le32At(std::string_view data, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const std::size_t pos = at + i;
    const auto byte = pos < data.size() ? static_cast<unsigned char>(data[pos]) : 0u;
    v |= static_cast<std::uint32_t>(byte) << (8 * i);
  }
  return v;
}

// Whether `parts` are what splitting `text` at `separator` must give.
bool followsSplitRules(std::string_view text, std::string_view separator,
                       const std::vector<std::string>& parts) {
  if (separator.empty()) return parts.empty() ? text.empty() : parts.size() == 1 && parts[0] == text;
  std::string joined;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (parts[i].find(separator) != std::string::npos) return false;
    if (i > 0) joined += separator;
    joined += parts[i];
  }
  // A separator at the very end gives no empty last element.
  return joined == text || joined + std::string(separator) == text;
}

bool splitFollowsRules(std::string_view text, std::optional<std::string_view> separator) {
  static const std::string kDefault(2, static_cast<char>(222));
  const std::vector<std::string> parts = app::str2Array(text, separator);
  return followsSplitRules(text, separator ? *separator : std::string_view(kDefault), parts);
}

// Puts the current directory back when it leaves scope.
class EnterDirectory {
 public:
  explicit EnterDirectory(const std::string& dir) : previous_(fs::current_path()) {
    fs::current_path(dir);
  }
  ~EnterDirectory() {
    std::error_code ec;
    fs::current_path(previous_, ec);
  }
  EnterDirectory(const EnterDirectory&) = delete;
  EnterDirectory& operator=(const EnterDirectory&) = delete;

 private:
  fs::path previous_;
};

// The job file read as the export run reads it: consumed whatever it holds,
// incomplete below three elements, else element 1 the table and element 3
// the field-name flag.
bool jobFileReadAsSplit(std::string_view data) {
  ensureRuntime();
  EnterDirectory inside(scratch().path());
  writeFile(scratch() / app::kJobFile, data);
  std::optional<std::string> cTable;
  bool lFieldLine = false;
  const app::JobFile result = app::readJobFile(cTable, lFieldLine);
  const std::vector<std::string> parts = app::str2Array(data, "|");
  if (fs::exists(scratch() / app::kJobFile)) return false;
  if (parts.size() < 3) return result == app::JobFile::Incomplete && !cTable;
  return result == app::JobFile::Read && cTable == parts[0] &&
         lFieldLine == (parts[2].rfind('T', 0) == 0);
}

// The table of the condition target, written once per process.
const std::string& conditionTable() {
  static const std::string path = [] {
    const std::string table = scratch() / "W.DBF";
    test_support::TableShape shape;
    shape.version = 0x30;
    shape.fields = {{"NAME", 'C', 8}, {"N", 'N', 8, 2}, {"D", 'D', 8},  {"L", 'L', 1},  {"I", 'I', 4},
                    {"T", 'T', 8},    {"Y", 'Y', 8},    {"B", 'B', 8},  {"OPT", 'C', 4, 0, 0x02},
                    {"_NullFlags", '0', 1, 0, 0x05}};
    test_support::DbfWriter w(table, shape);
    using test_support::le32;
    using test_support::le64;
    w.append({"Ann", "12.50", "20240229", "T", le32(7), le32(2460000) + le32(3600000), le64(125000),
              test_support::leDouble(0.1), "ab", std::string(1, '\0')});
    w.append({"b%_", "-3", "        ", "?", le32(-7), std::string(8, '\0'), le64(0),
              test_support::leDouble(-2.5), "", std::string(1, '\1')});
    w.append({"", "", "19991231", "f", le32(0), le32(2451545) + le32(0), le64(-1), test_support::leDouble(1e300),
              "zz", std::string(1, '\0')}, true);
    w.finish();
    return table;
  }();
  return path;
}

// Whether a refusal is the three lines, the caret within the expression's.
bool pointsAtThePlace(const std::string& message) {
  const std::size_t first = message.find('\n');
  const std::size_t second = first == std::string::npos ? first : message.find('\n', first + 1);
  if (second == std::string::npos || message.find('\n', second + 1) != std::string::npos) return false;
  return message.starts_with("dbf2csv: --where: ") && message.ends_with("^") &&
         message.size() - second - 1 <= second - first + 1;
}

}  // namespace

bool evaluateCondition(std::string_view data) {
  const std::string expression(data), negated = "NOT (" + expression + ")";
  app::where::Node tree;
  const rt::Status parsed = app::where::parseCondition(expression, tree);
  if (!parsed.isOk()) return pointsAtThePlace(parsed.message());
  // A text that closes the parenthesis early ("a) OR (b") is no negation.
  if (!app::where::parseCondition(negated, tree).isOk()) return true;
  ensureRuntime();
  std::string driver;
  if (!app::openTable(driver, conditionTable(), "INPUT", true)) return false;
  db::Table& table = *db::currentTable();
  const std::unique_ptr<app::RecordCondition> yes = app::whereCondition(expression, app::LineFormat::standard());
  const std::unique_ptr<app::RecordCondition> no = app::whereCondition(negated, app::LineFormat::standard());
  bool sound = true;
  if (yes->bind(table).isOk() && no->bind(table).isOk()) {
    for (db::dbGoTop(); !db::eof(); db::dbSkip()) sound = sound && !(yes->holds() && no->holds());
  }
  db::closeAll();
  return sound;
}

TableInput splitTableInput(std::string_view data) {
  const std::size_t marker = data.find(kMemoMarker);
  if (marker == std::string_view::npos) return {data, std::nullopt};
  return {data.substr(0, marker), data.substr(marker + kMemoMarker.size())};
}

ReadSummary readWholeTable(std::string_view data) {
  const TableInput input = splitTableInput(data);
  writeFile(scratch() / "T.DBF", input.table);
  placeMemo(input.memo, {"T.DBT", "T.FPT"});
  return exportAndCompare(scratch() / "T.DBF", scratch() / "T.CSV");
}

ReadSummary readMemoTable(MemoTarget target, std::string_view data) {
  constexpr std::size_t kPointerBytes = 16;
  const test_support::TableShape shape = memoTableSpec(target);
  {
    test_support::DbfWriter table(scratch() / "T.DBF", shape);
    for (std::size_t record = 0; record < 2; ++record) {
      const std::uint32_t first = le32At(data, record * 8), second = le32At(data, record * 8 + 4);
      table.append({"rec " + std::to_string(record + 1), pointerBytes(first, shape.fields[1].length),
                    pointerBytes(second, shape.fields[2].length)});
    }
    table.finish();
  }
  const std::string_view memo = data.size() > kPointerBytes ? data.substr(kPointerBytes) : "";
  placeMemo(memo, {target == MemoTarget::Fpt ? "T.FPT" : "T.DBT"});
  return exportAndCompare(scratch() / "T.DBF", scratch() / "T.CSV");
}

bool splitJobFile(std::string_view data) {
  bool ok = splitFollowsRules(data, "|") && splitFollowsRules(data, std::nullopt);
  if (!data.empty()) {
    // The first byte chooses a separator of 0 to 3 bytes from what follows.
    const std::size_t length = static_cast<unsigned char>(data[0]) % 4;
    const std::string_view rest = data.substr(1);
    const std::string_view separator = rest.substr(0, length);
    ok = splitFollowsRules(rest.substr(separator.size()), separator) && ok;
  }
  return jobFileReadAsSplit(data) && ok;
}

bool guessFromBytes(std::string_view data) {
  const std::vector<rt::CodePageScore> ranking = rt::guessCodePage(data);
  const bool high = std::any_of(data.begin(), data.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  if (ranking.empty() != !high) return false;
  std::set<std::string> seen;
  for (const rt::CodePageScore& s : ranking) {
    if (!seen.insert(s.name).second || !(s.sure >= 0 && s.sure <= 1)) return false;
  }
  return true;
}

}  // namespace fuzz
