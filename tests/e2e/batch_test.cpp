// Whole data folders through the built program: good tables converted
// exactly as single runs convert them, bad ones reported with their reasons
// and logs that never overwrite each other, the output folder keeping the
// folder structure, usage errors, and an interrupt that leaves nothing
// half-written.
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "src/batch/processes.hpp"
#include "platform/rt/strings.hpp"
#include "tests/support/program_run.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_environment.hpp"
#include "tests/support/dbf_writer.hpp"

namespace {

namespace fs = std::filesystem;

// Good corpus tables of four families, with their memo files.
const std::pair<const char*, const char*> kGood[] = {
    {"infused-dbf", "dbase_83.dbf"},  // dBase III + DBT
    {"infused-dbf", "dbase_8b.dbf"},  // dBase IV + DBT
    {"infused-dbf", "dbase_f5.dbf"},  // FoxPro 2 + FPT
    {"infused-dbf", "dbase_30.dbf"},  // Visual FoxPro + FPT
};

// Whether the program under test is dbf2csv.exe, run under Wine by
// tests/windows/run.sh.
bool testingWindows() {
  const char* launcher = std::getenv("DBF2CSV_TEST_LAUNCHER");
  return launcher && *launcher;
}

// `path` as the program under test shows it: with the system's separator.
std::string shownPath(std::string path) {
  if (testingWindows()) std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

// The table `path` (its folders as on disk, its file name upper-cased) as
// a run names it in its messages: upper-cased whole on Windows.
std::string tableInMessages(const std::string& path) {
  return testingWindows() ? rt::upper(shownPath(path)) : path;
}

void copyWithCompanions(const std::string& folder, const std::string& table, const fs::path& to) {
  const fs::path from = fs::path(DBF2CSV_CORPUS_DIR) / folder;
  const std::string stem = fs::path(table).stem().string();
  fs::create_directories(to);
  for (const auto& e : fs::directory_iterator(from))
    if (e.path().stem().string() == stem) fs::copy_file(e.path(), to / e.path().filename());
}

// The CSV the oracle gives for a corpus table with `options` (its own
// spelling of them, --names included).
std::string oracle(const std::string& folder, const std::string& table, const std::string& out,
                   const std::vector<std::string>& options = {"--names"}) {
  std::string command = "/usr/bin/python3 '" + std::string(DBF2CSV_ORACLE) + "'";
  for (const std::string& o : options) command += " '" + o + "'";
  command += " -o '" + out + "' '" + DBF2CSV_CORPUS_DIR + "/" + folder + "/" + table + "' 2>/dev/null";
  if (std::system(command.c_str()) != 0) return "(the oracle failed)";
  return rt_test::readFile(out);
}

// A table that breaks off mid-file: its header counts `counted` records of
// which the file holds `held`, so its run ends in a runtime error.
void writeCutTable(const std::string& path, std::uint32_t counted, std::uint32_t held) {
  test_support::TableShape shape;
  shape.fields = {{"ID", 'N', 6}, {"NAME", 'C', 10}};
  test_support::DbfWriter w(path, shape);
  for (std::uint32_t i = 1; i <= counted; ++i) w.append({std::to_string(i), "name"});
  w.finish();
  test_support::truncateFile(path, w.headerLength() + std::uint64_t{held} * w.recordLength());
}

std::string tree(const fs::path& folder) { return rt_test::treeListing(folder); }

// The words of `text` sorted, as tree() gives them.
std::string sorted(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  std::sort(words.begin(), words.end());
  std::string out;
  for (const auto& w : words) out += (out.empty() ? "" : " ") + w;
  return out;
}

// The lines of `text`, sorted: tables finish in any order.
std::vector<std::string> tableLines(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::sort(lines.begin(), lines.end());
  return lines;
}

std::string logDescription(const std::string& log) {
  std::smatch m;
  static const std::regex line("oError:description  : (.*)\r");
  return std::regex_search(log, m, line) ? m[1].str() : "(no description)";
}

class Batch : public testing::Test {
 protected:
  Batch() {
    for (const auto& [folder, table] : kGood) copyWithCompanions(folder, table, dir_ / "data");
    copyWithCompanions("SebastiaanKlippert-go-foxpro-dbf", "TEST.DBF", dir_ / "data/sub");
    copyWithCompanions("infused-dbf", "dbase_83_missing_memo.dbf", dir_ / "data");
    dir_.write("data/BROKEN.DBF", "not a table at all");
    writeCutTable(dir_ / "data/CUT.DBF", 100, 50);
    writeCutTable(dir_ / "data/sub/CUT.DBF", 90, 20);
    before_ = tree(dir_ / "data");
  }

  void expectGoodTablesLikeTheOracle(const std::string& outFolder) {
    for (const auto& [folder, table] : kGood) {
      const std::string csv = outFolder + "/" + rt::upper(fs::path(table).stem().string()) + ".CSV";
      EXPECT_EQ(rt_test::readFile(dir_ / csv), oracle(folder, table, dir_ / "oracle.csv")) << csv;
    }
  }

  rt_test::TempDir dir_;
  std::string before_;
};

TEST_F(Batch, AFolderOfGoodAndBadTablesConvertsTheGoodOnesAndTellsWhyNotTheOthers) {
  const test_support::ProgramRun run = test_support::runProgram(dir_.path(), {"--batch", "data"});
  EXPECT_EQ(run.exitCode, 1);
  expectGoodTablesLikeTheOracle("data");
  const std::string cutLog = rt_test::readFile(dir_ / "data/CUT.LOG");
  EXPECT_EQ(logDescription(cutLog),
            "Record 51 of CUT.DBF lies beyond the end of the file: the file ends before it "
            "(it holds 50 whole records of the 100 its header counts)");
  EXPECT_EQ(tableLines(run.err),
            (std::vector<std::string>{
                "7 tables: 4 converted, 3 failed",
                "Error logs: data/CUT.LOG",
                "data/BROKEN.DBF: Not able to open data/BROKEN.DBF. Table data/BROKEN.DBF has version "
                "byte 0x6E, which this driver does not read",
                "data/CUT.DBF: Record 51 of data/CUT.DBF lies beyond the end of the file: the file ends "
                "before it (it holds 50 whole records of the 100 its header counts) (error log data/CUT.LOG)",
                "data/dbase_30.dbf: 34 records",
                "data/dbase_83.dbf: 67 records",
                "data/dbase_83_missing_memo.dbf: Not able to open data/DBASE_83_MISSING_MEMO.DBF. "
                "Memo file data/dbase_83_missing_memo.DBT of the table not found",
                "data/dbase_8b.dbf: 10 records",
                "data/dbase_f5.dbf: 975 records",
            }));
  EXPECT_EQ(tree(dir_ / "data"), sorted(before_ + " CUT.LOG DBASE_30.CSV DBASE_83.CSV DBASE_8B.CSV DBASE_F5.CSV"))
      << "nothing else beside the tables: no temporary file, no private folder";
}

TEST_F(Batch, IntoAnOutputFolderARecursiveBatchKeepsTheStructureAndEachLogItsOwn) {
  const test_support::ProgramRun run = test_support::runProgram(dir_.path(), {"-r", "-j", "3", "--output=out", "--batch", "data"});
  EXPECT_EQ(run.exitCode, 1);
  expectGoodTablesLikeTheOracle("out");
  EXPECT_EQ(tree(dir_ / "data"), before_);
  EXPECT_EQ(tree(dir_ / "out"),
            "CUT.LOG DBASE_30.CSV DBASE_83.CSV DBASE_8B.CSV DBASE_F5.CSV sub sub/CUT.LOG sub/TEST.CSV");
  EXPECT_NE(run.err.find("data/sub/TEST.DBF: 3 records\n"), std::string::npos) << run.err;
  EXPECT_TRUE(run.err.ends_with("9 tables: 5 converted, 4 failed\nError logs: out/CUT.LOG out/sub/CUT.LOG\n") ||
              run.err.ends_with("9 tables: 5 converted, 4 failed\nError logs: out/sub/CUT.LOG out/CUT.LOG\n"))
      << run.err;
  EXPECT_NE(logDescription(rt_test::readFile(dir_ / "out/CUT.LOG")).find("Record 51 of CUT.DBF"),
            std::string::npos);
  EXPECT_NE(logDescription(rt_test::readFile(dir_ / "out/sub/CUT.LOG")).find("Record 21 of CUT.DBF"),
            std::string::npos);
}

TEST_F(Batch, UsageErrorsRunNothingAndEndWithExitCode2) {
  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"--batch"}, "dbf2csv: --batch needs a table or a folder (dbf2csv --help)\n"},
      {{"-j", "0", "--batch", "data"}, "dbf2csv: --jobs 0: takes a whole number above 0 (dbf2csv --help)\n"},
      {{"-o", "-", "--batch", "data"},
       "dbf2csv: --output -: a batch writes to a folder, not to standard output (dbf2csv --help)\n"},
      {{"--batch", "data", "N"},
       "dbf2csv: N after --batch: --no-names leaves out the field-name line, N.DBF names a table N "
       "(dbf2csv --help)\n"},
      {{"-r", "data"}, "dbf2csv: --recursive needs --batch (dbf2csv --help)\n"},
      {{"--bom", "--batch", "data"}, "dbf2csv: --bom needs --encoding (dbf2csv --help)\n"},
      {{"-e", "nosuch", "--batch", "data"},
       "dbf2csv: --encoding nosuch: not a code page that can be converted here (dbf2csv --help)\n"},
      {{"-d", "\"", "--batch", "data"},
       "dbf2csv: --delimiter \": cannot be a double quote, CR or LF (dbf2csv --help)\n"},
      {{"--fields=", "--batch", "data"}, "dbf2csv: --fields needs a value (dbf2csv --help)\n"},
      {{"--batch", "data", "--limit=-1"}, "dbf2csv: --limit -1: takes a whole number, 0 or more (dbf2csv --help)\n"},
      {{"--deleted=all", "--batch", "data"},
       "dbf2csv: --deleted all: takes skip, include, only or mark (dbf2csv --help)\n"},
  };
  for (const auto& c : cases) {
    const test_support::ProgramRun run = test_support::runProgram(dir_.path(), c.args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, c.message);
  }
  EXPECT_EQ(tree(dir_ / "data"), before_);
}

// An output that is a file a table's run reads (here through a hard link)
// fails that table alone, before anything is written.
TEST(BatchOutput, AnOutputThatIsATablesOwnFileFailsThatTableOnly) {
  rt_test::TempDir dir;
  test_support::TableShape shape;
  shape.fields = {{"NAME", 'C', 4}};
  for (const char* table : {"data/a.dbf", "data/b.dbf"}) {
    fs::create_directories(dir / "data");
    test_support::DbfWriter w(dir / table, shape);
    w.append({"one"});
    w.finish();
  }
  fs::create_directory(dir / "out");
  fs::create_hard_link(dir / "data/a.dbf", dir / "out/A.CSV");
  const std::string table = rt_test::readFile(dir / "data/a.dbf");
  const test_support::ProgramRun run = test_support::runProgram(dir.path(), {"--batch", "-o", "out", "data"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(tableLines(run.err),
            (std::vector<std::string>{"2 tables: 1 converted, 1 failed",
                                      shownPath("data/a.dbf") + ": Not converted: the output " +
                                          shownPath("out/A.CSV") + " is the table " + shownPath("data/a.dbf") +
                                          " itself.",
                                      shownPath("data/b.dbf") + ": 1 records"}));
  EXPECT_EQ(rt_test::readFile(dir / "out/A.CSV"), table);
  EXPECT_EQ(rt_test::readFile(dir / "out/B.CSV"), "\"NAME\"\r\n\"one\"\r\n");
}

// The choice of fields and records is every table's; a table that lacks a
// field named fails alone.
TEST(BatchOutput, EveryTableTakesTheSameChoiceAndOneThatLacksAFieldFailsAlone) {
  rt_test::TempDir dir;
  fs::create_directories(dir / "data");
  test_support::TableShape shape;
  for (const char* table : {"data/a.dbf", "data/b.dbf"}) {
    shape.fields.push_back({shape.fields.empty() ? "QTY" : "NAME", shape.fields.empty() ? 'N' : 'C', 4});
    test_support::DbfWriter w(dir / table, shape);
    for (const char* n : {"1", "2", "3"}) w.append(std::vector<std::string>(shape.fields.size(), n), n[0] == '2');
    w.finish();
  }
  const test_support::ProgramRun run =
      test_support::runProgram(dir.path(), {"--batch", "--fields=name,qty", "--deleted=only", "--recno", "data"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(tableLines(run.err),
            (std::vector<std::string>{"2 tables: 1 converted, 1 failed",
                                      shownPath("data/a.dbf") + ": " + tableInMessages("data/A.DBF") + " has no field named \"name\".",
                                      shownPath("data/b.dbf") + ": 1 of 3 records"}));
  EXPECT_EQ(rt_test::readFile(dir / "data/B.CSV"), "\"_RECNO\",\"NAME\",\"QTY\"\r\n\"2\",\"2\",\"2\"\r\n");
  EXPECT_FALSE(fs::exists(dir / "data/A.CSV"));
}

// A name that is neither a folder nor a table is told once, and the other
// inputs are converted; an output folder that cannot be made stops the
// batch before any table.
TEST_F(Batch, AnInputThatNamesNothingIsToldOnceAndAnOutputFolderThatCannotBeMadeStopsAll) {
  const test_support::ProgramRun run =
      test_support::runProgram(dir_.path(), {"--batch", "nowhere", "data/sub/TEST.DBF", "data/nothing"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "nowhere: No such folder or table.\n" + shownPath("data/nothing") +
                         ": No such folder or table.\n" + shownPath("data/sub/TEST.DBF") +
                         ": 3 records\n1 table: 1 converted, 0 failed\n");
  EXPECT_EQ(tree(dir_ / "data"), sorted(before_ + " sub/TEST.CSV"));

  dir_.write("blocked", "a file where the output folder would be");
  const test_support::ProgramRun blocked =
      test_support::runProgram(dir_.path(), {"-o", "blocked/out", "--batch", "data", "nowhere"});
  EXPECT_EQ(blocked.exitCode, 1);
  // The reason is the system's.
  const std::string told = "nowhere: No such folder or table.\nNot able to create the output folder " +
                           shownPath("blocked/out") + ": ";
  EXPECT_TRUE(blocked.err.starts_with(told) && blocked.err.ends_with(".\n") &&
              std::count(blocked.err.begin(), blocked.err.end(), '\n') == 2)
      << blocked.err;
  EXPECT_EQ(tree(dir_ / "data"), sorted(before_ + " sub/TEST.CSV"));
}

// The options that shape a table's CSV apply to every table of a batch:
// each CSV is the oracle's with the same options, and a table they cannot
// apply to is refused with the single run's reason.
TEST(BatchOptions, EveryTableIsConvertedAsTheOracleConvertsItWithTheSameOptions) {
  const std::pair<const char*, const char*> tables[] = {
      {"infused-dbf", "cp1251.dbf"},              // declares code page 1251
      {"infused-dbf", "dbase_03_cyrillic.dbf"},   // declares code page 866, Cyrillic field names
      {"infused-dbf", "dbase_30.dbf"},            // declares code page 1252, FPT memos
      {"incubus-DBD-XBase", "test.dbf"},          // declares none, DBT memos, a deleted record
  };
  const struct {
    std::vector<std::string> options, oracleOptions;
    std::vector<std::string> refused;  // tables given no CSV
    std::string end;                   // the last lines of standard error
    std::string refusal;               // the line of a refused table
  } cases[] = {
      {{"-e", "auto", "--rfc4180", "-d", ";"},
       {"--names", "--encoding", "auto", "--rfc4180", "--delimiter", ";"},
       {"test.dbf"},
       "4 tables: 3 converted, 1 failed\n",
       shownPath("coded/test.dbf") + ": " + tableInMessages("coded/TEST.DBF") +
           " declares no code page: let dbf2csv read its text with --encoding=guess, or name it with "
           "--encoding=CODEPAGE.\n"},
      {{"--rfc4180", "--delimiter=tab", "--no-names"},
       {"--rfc4180", "--delimiter", "tab"},
       {},
       "4 tables: 4 converted, 0 failed\n",
       ""},
      {{"--encoding=cp1251", "--bom", "-d|"},
       {"--names", "--encoding", "1251", "--bom", "--delimiter", "|"},
       {},
       "4 tables: 4 converted, 0 failed\n",
       ""},
  };
  rt_test::TempDir dir;
  for (const auto& [folder, table] : tables) copyWithCompanions(folder, table, dir / "coded");
  int n = 0;
  for (const auto& c : cases) {
    const std::string out = "out" + std::to_string(++n);
    SCOPED_TRACE(out);
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {"-o", out, "--batch", "coded"});
    const test_support::ProgramRun run = test_support::runProgram(dir.path(), args);
    EXPECT_EQ(run.exitCode, c.refused.empty() ? 0 : 1);
    EXPECT_TRUE(run.err.ends_with(c.end)) << run.err;
    if (!c.refusal.empty()) {
      EXPECT_NE(run.err.find(c.refusal), std::string::npos) << run.err;
    }
    for (const auto& [folder, table] : tables) {
      const std::string csv = dir / (out + "/" + rt::upper(fs::path(table).stem().string()) + ".CSV");
      if (std::find(c.refused.begin(), c.refused.end(), table) != c.refused.end()) {
        EXPECT_FALSE(fs::exists(csv)) << csv;
      } else {
        EXPECT_EQ(rt_test::readFile(csv), oracle(folder, table, dir / "oracle.csv", c.oracleOptions)) << csv;
      }
    }
  }
}

// ---- Interrupts -------------------------------------------------------------

constexpr int kBigTables = 4;
constexpr std::uint32_t kBigRecords = 1'000'000;

// `count` tables alike in `folder`, T0.DBF and on, of `records` records:
// a whole CSV file of one is 5 + records * 14 bytes. kBigRecords take a
// while.
void writeTables(const fs::path& folder, int count, std::uint32_t records) {
  fs::create_directories(folder);
  for (int i = 0; i < count; ++i) {
    test_support::TableShape shape;
    shape.fields = {{"N", 'N', 10}};
    test_support::DbfWriter w(folder / ("T" + std::to_string(i) + ".DBF"), shape);
    for (std::uint32_t r = 0; r < records; ++r) w.appendRaw("1234567890");
    w.finish();
  }
}

// The files of `folder` whose name says they are being written.
bool conversionUnderway(const fs::path& folder) {
  std::error_code ec;
  for (const auto& e : fs::recursive_directory_iterator(folder, ec))
    if (e.path().extension() == ".tmp") return true;
  return false;
}

// The children of process `pid`, from the kernel's list.
std::vector<pid_t> childrenOf(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children");
  std::vector<pid_t> pids;
  for (pid_t p; in >> p;) pids.push_back(p);
  return pids;
}

class BatchInterrupt : public testing::TestWithParam<bool> {};

// Ctrl-C on a terminal reaches the batch and its children; SIGTERM only
// the batch, which must end its children itself.
TEST_P(BatchInterrupt, StartsNoMoreTablesAndLeavesNoTemporaryFileAndNoHalfWrittenCsv) {
  const bool wholeGroup = GetParam();
  rt_test::TempDir dir;
  writeTables(dir / "data", kBigTables, kBigRecords);

  batch::ProcessId id{};
  std::optional<batch::ChildEnd> end;
  {
    batch::Children children;
    const rt::Status started =
        children.start({DBF2CSV_BIN, {"-j", "2", "--batch"}, {"data"}, dir.path(), dir / "messages",
                        {{"DBF2CSV_UI", "headless"}}},
                       id);
    ASSERT_TRUE(started.isOk()) << started.message();
    const auto pid = static_cast<pid_t>(id);
    while (!conversionUnderway(dir / "data") && ::kill(pid, 0) == 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (wholeGroup)
      for (pid_t child : childrenOf(pid)) ::kill(child, SIGINT);
    ::kill(pid, wholeGroup ? SIGINT : SIGTERM);
    end = children.waitNext();
  }
  ASSERT_TRUE(end);
  EXPECT_FALSE(end->crashed);
  EXPECT_EQ(end->code, 130);
  const std::string told = rt_test::readFile(dir / "messages");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(told, m, std::regex("4 tables: ([0-9]) converted, 0 failed, ([0-9]) not "
                                                    "converted \\(interrupted\\)\n$")))
      << told;
  // The tables are alike: a CSV file there is whole when it has every line.
  // Nothing else may lie beside the tables.
  int converted = 0;
  for (const auto& e : fs::directory_iterator(dir / "data")) {
    if (e.path().extension() == ".DBF") continue;
    EXPECT_EQ(e.path().extension(), ".CSV") << "left behind: " << e.path();
    EXPECT_EQ(fs::file_size(e.path()), 5 + std::uint64_t{kBigRecords} * 14) << e.path();
    ++converted;
  }
  EXPECT_EQ(std::to_string(converted), m[1].str());
  EXPECT_EQ(std::to_string(kBigTables - converted), m[2].str());
}

INSTANTIATE_TEST_SUITE_P(Interrupt, BatchInterrupt, testing::Values(true, false),
                         [](const auto& info) { return info.param ? "CtrlC" : "SigTerm"; });

// ---- A batch killed -----------------------------------------------------------

// The processes a killed batch leaves come to this one while it lives: an
// orphan goes to the nearest ancestor that asked for orphans. So the test
// sees every one end, whatever the system (under Wine a batch's children
// are not even its own processes, nor are the Wine processes it starts).
class Orphans {
 public:
  Orphans() { ::prctl(PR_SET_CHILD_SUBREAPER, 1); }
  ~Orphans() { ::prctl(PR_SET_CHILD_SUBREAPER, 0); }

  // Waits until none remains, `limit` at most, and gives how many were
  // still there then (ended now).
  std::size_t waitAll(std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (pid_t pid; (pid = ::waitpid(-1, nullptr, WNOHANG)) >= 0;) {
      if (pid > 0) continue;
      if (std::chrono::steady_clock::now() > deadline) {
        const std::vector<pid_t> left = childrenOf(::getpid());
        for (pid_t child : left) ::kill(child, SIGKILL);
        while (::waitpid(-1, nullptr, 0) > 0) {
        }
        return left.size();
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return 0;
  }
};

// A table's run learns its batch's process id from DBF2CSV_BATCH. One
// whose batch has ended before the run could ask to end with it (it has
// another parent by then) ends at once, converting nothing, and says so
// (a variable left in a user's environment must not silence every run). On Windows the
// batch's job object does it all.
TEST(BatchKilled, ARunWhoseBatchHasAlreadyEndedConvertsNothing) {
  if (testingWindows()) GTEST_SKIP() << "a Linux child's own check";
  rt_test::TempDir dir;
  writeTables(dir.path(), 1, 1);
  // The batch, for the run: a process that is not its parent, then this one.
  for (const pid_t batch : {::getppid(), ::getpid()}) {
    test_support::setEnvironment("DBF2CSV_BATCH", std::to_string(batch));
    const test_support::ProgramRun run = test_support::runProgram(dir.path(), {"T0"});
    test_support::unsetEnvironment("DBF2CSV_BATCH");
    const bool alive = batch == ::getpid();
    EXPECT_EQ(run.exitCode, alive ? 0 : 1) << run.err;
    if (!alive) {
      EXPECT_EQ(run.err, "dbf2csv: the batch that started this run has ended (DBF2CSV_BATCH); nothing converted\n");
    }
    EXPECT_EQ(fs::exists(dir / "T0.CSV"), alive);
  }
}

// SIGKILL gives a batch no chance to end its children or remove its
// private folders. Its children must end with it, before converting their
// tables to the end (no whole CSV file is left in a private folder), and
// the next batch in the same output folder removes the folders it left.
TEST(BatchKilled, ItsChildrenEndWithItAndTheNextBatchRemovesTheFoldersItLeft) {
  rt_test::TempDir dir;
  writeTables(dir / "data", kBigTables, kBigRecords);
  writeTables(dir / "small", 1, 1);
  {
    Orphans orphans;
    test_support::RunningProgram batch(
        {dir.path(), {"-j", "2", "-o", "out", "--batch", "data"}, std::nullopt, std::nullopt}, {});
    while (!conversionUnderway(dir / "out") && ::kill(batch.pid(), 0) == 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ::kill(batch.pid(), SIGKILL);
    EXPECT_EQ(batch.finish().signal, SIGKILL);
    EXPECT_EQ(orphans.waitAll(std::chrono::seconds(60)), 0u) << "processes of the batch still running";
  }
  const std::string left = tree(dir / "out");
  EXPECT_TRUE(left.starts_with(".dbf2csv-")) << "the killed batch had no time to remove its folders";
  EXPECT_FALSE(std::regex_search(left, std::regex("\\.CSV( |$)"))) << "converted by an orphan: " << left;

  const test_support::ProgramRun next = test_support::runProgram(dir.path(), {"-o", "out", "--batch", "small"});
  EXPECT_EQ(next.exitCode, 0) << next.err;
  EXPECT_EQ(tree(dir / "out"), "T0.CSV");
}

}  // namespace
