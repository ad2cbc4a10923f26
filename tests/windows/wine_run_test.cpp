// dbf2csv.exe under Wine in what only Windows has: drive letters and
// backslashes in a job file, a table another Windows process holds
// exclusively (share mode 0), the Windows line of the error log. Run by
// tests/windows/run.sh, which sets DBF2CSV_TEST_PROGRAM, DBF2CSV_TEST_LAUNCHER
// and DBF2CSV_TEST_HOLD_FILE (the helper hold_file.exe).
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/program_run.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/dbf_writer.hpp"

namespace {

namespace fs = std::filesystem;

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The Windows name of a Linux path: Wine's drive Z: is the root.
std::string windowsName(const std::string& path) {
  std::string name = "Z:" + path;
  for (char& c : name)
    if (c == '/') c = '\\';
  return name;
}

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

const std::string kPrevious = "\"previous\",\"output\"\r\n";

class WineRun : public testing::Test {
 protected:
  void SetUp() override {
    if (environment("DBF2CSV_TEST_LAUNCHER").empty()) GTEST_SKIP() << "run by tests/windows/run.sh";
    test_support::TableShape shape;
    shape.fields = {{"NAME", 'C', 10}, {"QTY", 'N', 5}};
    test_support::DbfWriter w(dir_ / "ORDERS.DBF", shape);
    w.append({"Smith", "12"});
    w.append({"Jones", "-3"});
    w.finish();
  }

  rt_test::TempDir dir_;
  const std::string kLines = "\"Smith\",\"12\"\r\n\"Jones\",\"-3\"\r\n";
};

// Holds a file through hold_file.exe in the same Wine prefix until destroyed.
class WindowsHolder {
 public:
  WindowsHolder(const std::string& file, const std::string& scratch)
      : ready_(scratch + "/ready"), stop_(scratch + "/stop") {
    const std::string launcher = environment("DBF2CSV_TEST_LAUNCHER");
    const std::string helper = environment("DBF2CSV_TEST_HOLD_FILE");
    const std::string log = scratch + "/hold.log";
    pid_ = ::fork();
    if (pid_ == 0) {
      // Standard streams to a file: Wine's helper processes would keep a pipe open.
      if (!std::freopen(log.c_str(), "w", stdout) || !std::freopen(log.c_str(), "a", stderr)) _exit(127);
      ::execl(launcher.c_str(), launcher.c_str(), helper.c_str(), windowsName(file).c_str(),
              windowsName(ready_).c_str(), windowsName(stop_).c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int i = 0; i < 300 && !fs::exists(ready_); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ~WindowsHolder() {
    std::ofstream(stop_).put('\n');
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
  WindowsHolder(const WindowsHolder&) = delete;
  WindowsHolder& operator=(const WindowsHolder&) = delete;
  bool holding() const { return fs::exists(ready_); }

 private:
  std::string ready_, stop_;
  pid_t pid_ = -1;
};

// A drive letter with backslashes, a UNC name (drive Z: shared as
// \\localhost\z$ by tests/windows/run.sh, as Windows shares its drives), and
// names that begin with "\\?\" or "\\.\", which Windows takes without
// parsing them (only "\" separates there): each must reach the system as
// given, and the output lie beside the table.
TEST_F(WineRun, AJobFileNamesTheTableWithADriveLetterOrAUncName) {
  const std::string name = windowsName(dir_ / "orders");
  const std::string server = environment("DBF2CSV_TEST_SERVER");
  ASSERT_FALSE(server.empty()) << "tests/windows/run.sh shares the drives";
  const std::string unc = "\\\\" + server + "\\z$" + name.substr(2);
  const std::string tables[] = {name, "\\\\.\\" + name, "\\\\?\\" + name, unc, "\\\\?\\UNC" + unc.substr(1)};
  for (const std::string& table : tables) {
    dir_.write("RAZAVOZ.INP", table + "||T\r\n");
    const test_support::ProgramRun r = test_support::runProgram(dir_.path(), {});
    EXPECT_EQ(r.exitCode, 0) << table << ": " << r.err;
    EXPECT_EQ(r.err, "Program Ended Normally\n\nFile " + upper(table) + ".CSV Created with 2 records.\n");
    EXPECT_EQ(rt_test::readFile(dir_ / "ORDERS.CSV"), "\"NAME\",\"QTY\"\r\n" + kLines) << table;
    EXPECT_EQ(dir_.listing(), "ORDERS.CSV ORDERS.DBF") << table;
    fs::remove(dir_ / "ORDERS.CSV");
  }
}

// The Windows suite runs without a display, where Wine can make no window:
// left to choose its dialogs, the program converts as an unattended run
// instead of waiting for a window nobody can see.
TEST_F(WineRun, WhereNoWindowCanBeMadeTheProgramRunsUnattended) {
  test_support::ProgramJob job;
  job.directory = dir_.path();
  job.args = {"orders", "N"};
  job.ui = "";
  test_support::Limits limits;
  limits.wallSeconds = 60;
  const test_support::ProgramRun r = test_support::runProgram(job, limits);
  EXPECT_EQ(r.signal, 0) << "it waited for a window";
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "Program Ended Normally\n\nFile ORDERS.CSV Created with 2 records.\n");
  EXPECT_EQ(rt_test::readFile(dir_ / "ORDERS.CSV"), kLines);
}

TEST_F(WineRun, ATableHeldExclusivelyByAnotherWindowsProcessIsNotAbleToOpen) {
  dir_.write("ORDERS.CSV", kPrevious);
  rt_test::TempDir scratch;
  test_support::ProgramRun r;
  {
    WindowsHolder holder(dir_ / "ORDERS.DBF", scratch.path());
    ASSERT_TRUE(holder.holding()) << rt_test::readFile(scratch / "hold.log");
    r = test_support::runProgram(dir_.path(), {"orders"});
  }
  EXPECT_EQ(r.exitCode, 1);
  // The table as the program names it: the name given with the extension
  // added, found whatever its case.
  EXPECT_EQ(r.err, "Not able to open ORDERS.DBF.\ndbf2csv: Table orders.DBF is held by another process\n");
  EXPECT_EQ(rt_test::readFile(dir_ / "ORDERS.CSV"), kPrevious);
  EXPECT_EQ(dir_.listing(), "ORDERS.CSV ORDERS.DBF");
  // Once the other process lets go, the same run converts it.
  const test_support::ProgramRun again = test_support::runProgram(dir_.path(), {"orders", "N"});
  EXPECT_EQ(again.exitCode, 0) << again.err;
  EXPECT_EQ(rt_test::readFile(dir_ / "ORDERS.CSV"), kLines);
}

TEST_F(WineRun, TheErrorLogNamesTheWindowsProgramAndSystem) {
  dir_.write("ORDERS.CSV", kPrevious);
  test_support::truncateFile(dir_ / "ORDERS.DBF", fs::file_size(dir_ / "ORDERS.DBF") - 8);
  const test_support::ProgramRun r = test_support::runProgram(dir_.path(), {"orders"});
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_EQ(rt_test::readFile(dir_ / "ORDERS.CSV"), kPrevious);
  const std::string log = rt_test::readFile(dir_ / "APPERROR.LOG");
  EXPECT_NE(log.find("Operating system    : Windows "), std::string::npos) << log;
  EXPECT_NE(log.find(windowsName(environment("DBF2CSV_TEST_PROGRAM"))), std::string::npos) << log;
}

// The output options with Windows' own code page tables: every byte above
// 127, a quote, the delimiters and a tab, converted as the oracle converts
// them; with auto the code page comes from a .CPG file beside the table.
TEST_F(WineRun, TheOutputOptionsGiveTheOraclesOutput) {
  test_support::TableShape shape;
  shape.fields = {{"HIGH", 'C', 128}, {"MIXED", 'C', 12}};
  test_support::DbfWriter w(dir_ / "TEXT.DBF", shape);
  std::string high;
  for (int b = 0x80; b <= 0xFF; ++b) high += static_cast<char>(b);
  w.append({high, "a\"b;c|d\te,f"});
  w.finish();
  dir_.write("TEXT.CPG", "866\r\n");
  const std::vector<std::vector<std::string>> optionSets = {
      {"-e", "866"},           {"-e", "cp437", "--rfc4180"}, {"-e", "koi8-r"},
      {"-e", "1251", "--bom"}, {"-e", "1252"},               {"-e", "auto", "-d", ";"},
      {"--rfc4180", "-d", "tab"}, {"-d", "|"},
  };
  for (const auto& options : optionSets) {
    std::string what;
    std::string oracle = "/usr/bin/python3 '" DBF2CSV_ORACLE "' --names";
    for (const std::string& o : options) {
      what += " " + o;
      oracle += " '" + o + "'";
    }
    oracle += " -o '" + (dir_ / "oracle.csv") + "' '" + (dir_ / "TEXT.DBF") + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(oracle.c_str()), 0) << what;
    const std::string expected = rt_test::readFile(dir_ / "oracle.csv");

    std::vector<std::string> args = options;
    args.push_back("text");
    const test_support::ProgramRun file = test_support::runProgram(dir_.path(), args);
    EXPECT_EQ(file.exitCode, 0) << what << ": " << file.err;
    EXPECT_EQ(rt_test::readFile(dir_ / "TEXT.CSV"), expected) << what;

    // The same bytes on standard output, and no file written.
    fs::remove(dir_ / "TEXT.CSV");
    args.insert(args.begin(), {"-o", "-"});
    const test_support::ProgramRun out = test_support::runProgram(dir_.path(), args);
    EXPECT_EQ(out.exitCode, 0) << what << ": " << out.err;
    EXPECT_EQ(out.out, expected) << what << " -o -";
    EXPECT_FALSE(fs::exists(dir_ / "TEXT.CSV")) << what;
  }
}

}  // namespace
