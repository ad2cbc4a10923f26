// dbf2csv.exe under Wine in what only Windows has: drive letters and
// backslashes in a job file, a table another Windows process holds
// exclusively (share mode 0), the Windows line of the error log, devices
// and pipes as the output, Ctrl-C on the console. Run by
// tests/windows/run.sh, which sets DBF2CSV_TEST_PROGRAM, DBF2CSV_TEST_LAUNCHER
// and the helpers DBF2CSV_TEST_HOLD_FILE and DBF2CSV_TEST_READ_PIPE.
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/rt/strings.hpp"
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

// A helper program of the Windows build, named by the variable `helper`
// (hold_file.exe holds a file, read_pipe.exe serves a pipe), run in the
// same Wine prefix with `args` and the names of its files READY and STOP
// in `scratch`: ready once READY exists; told to stop when destroyed.
class WindowsHelper {
 public:
  WindowsHelper(const char* helper, std::vector<std::string> args, const std::string& scratch)
      : ready_(scratch + "/ready"), stop_(scratch + "/stop") {
    std::vector<std::string> command = {environment("DBF2CSV_TEST_LAUNCHER"), environment(helper)};
    command.insert(command.end(), args.begin(), args.end());
    command.push_back(windowsName(ready_));
    command.push_back(windowsName(stop_));
    std::vector<char*> argv;
    for (std::string& a : command) argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string log = scratch + "/helper.log";
    pid_ = ::fork();
    if (pid_ == 0) {
      // Standard streams to a file: Wine's helper processes would keep a pipe open.
      if (!std::freopen(log.c_str(), "w", stdout) || !std::freopen(log.c_str(), "a", stderr)) _exit(127);
      ::execv(argv[0], argv.data());
      _exit(127);
    }
    for (int i = 0; i < 300 && !fs::exists(ready_); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ~WindowsHelper() {
    std::ofstream(stop_).put('\n');
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
  WindowsHelper(const WindowsHelper&) = delete;
  WindowsHelper& operator=(const WindowsHelper&) = delete;
  bool ready() const { return fs::exists(ready_); }

 private:
  std::string ready_, stop_;
  pid_t pid_ = -1;
};

// dbf2csv.exe run with a console: a pseudo-terminal, which Wine makes the
// console of the program. Ctrl-C is typed once `interruptNow` (when given)
// says so. What appeared on the console, and the wait status.
struct ConsoleRun {
  int status = -1;
  std::string screen;
};

ConsoleRun runOnConsole(const std::string& directory, std::vector<std::string> args,
                        const std::function<bool()>& interruptNow = {}) {
  args.insert(args.begin(), {environment("DBF2CSV_TEST_LAUNCHER"), environment("DBF2CSV_TEST_PROGRAM")});
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  int console = -1;
  const pid_t pid = ::forkpty(&console, nullptr, nullptr, nullptr);
  if (pid == 0) {
    if (::chdir(directory.c_str()) != 0) _exit(127);
    ::setenv("DBF2CSV_UI", "headless", 1);
    ::execv(argv[0], argv.data());
    _exit(127);
  }
  ConsoleRun run;
  bool typed = !interruptNow;
  for (char buffer[4096];;) {
    if (!typed && interruptNow()) typed = ::write(console, "\x03", 1) == 1;
    pollfd ready{console, POLLIN, 0};
    if (::poll(&ready, 1, typed ? -1 : 10) == 0) continue;
    const ssize_t got = ::read(console, buffer, sizeof buffer);
    if (got <= 0) break;  // the console is gone with the program
    run.screen.append(buffer, static_cast<std::size_t>(got));
  }
  ::waitpid(pid, &run.status, 0);
  ::close(console);
  return run;
}

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
    EXPECT_EQ(r.err, "Program Ended Normally\n\nFile " + rt::upper(table) + ".CSV Created with 2 records.\n");
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
    WindowsHelper holder("DBF2CSV_TEST_HOLD_FILE", {windowsName(dir_ / "ORDERS.DBF")}, scratch.path());
    ASSERT_TRUE(holder.ready()) << rt_test::readFile(scratch / "helper.log");
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

// A batch names every file with Windows' one separator, however its
// folders were named ("/" and "\\" mixed): the tables found in the folder
// named and its subfolders, and their outputs and logs in the output folder.
// The tables' names in a run's own words are upper-cased whole, as a
// single run's on Windows.
TEST_F(WineRun, ABatchNamesEveryFileWithBackslashes) {
  fs::create_directories(dir_ / "data/sub");
  fs::copy_file(dir_ / "ORDERS.DBF", dir_ / "data/ORDERS.DBF");
  dir_.write("data/sub/BROKEN.DBF", "not a table at all");
  fs::copy_file(dir_ / "ORDERS.DBF", dir_ / "data/sub/CUT.DBF");
  test_support::truncateFile(dir_ / "data/sub/CUT.DBF", fs::file_size(dir_ / "data/sub/CUT.DBF") - 8);
  const std::string data = windowsName(dir_.path()) + "/data";
  const std::string shown = windowsName(dir_ / "data");
  const test_support::ProgramRun r =
      test_support::runProgram(dir_.path(), {"-r", "-j", "1", "-o", "out/csv", "--batch", data});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, shown + "\\ORDERS.DBF: 2 records\n" +
                       shown + "\\sub\\CUT.DBF: Record 2 of " + rt::upper(shown) +
                       "\\SUB\\CUT.DBF lies beyond the end of the file: the file ends before it (it holds 1 "
                       "whole records of the 2 its header counts) (error log out\\csv\\sub\\CUT.LOG)\n" +
                       shown + "\\sub\\BROKEN.DBF: Not able to open " + rt::upper(shown) +
                       "\\SUB\\BROKEN.DBF. Table " + rt::upper(shown) +
                       "\\SUB\\BROKEN.DBF has version byte 0x6E, which this driver does not read\n"
                       "3 tables: 1 converted, 2 failed\n"
                       "Error logs: out\\csv\\sub\\CUT.LOG\n");
  EXPECT_EQ(rt_test::readFile(dir_ / "out/csv/ORDERS.CSV"), "\"NAME\",\"QTY\"\r\n" + kLines);
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

// Windows' devices are written where they are: NUL takes the lines, a
// pipe's server gets them, and so does the console as CON.
TEST_F(WineRun, NulConAndPipesAreWrittenWhereTheyAre) {
  const test_support::ProgramRun nul = test_support::runProgram(dir_.path(), {"-o", "NUL", "orders", "N"});
  EXPECT_EQ(nul.exitCode, 0) << nul.err;
  EXPECT_EQ(nul.err, "Program Ended Normally\n\nFile NUL Created with 2 records.\n");

  rt_test::TempDir scratch;
  const std::string pipe = "\\\\.\\pipe\\dbf2csv-" + fs::path(scratch.path()).filename().string();
  test_support::ProgramRun piped;
  {
    WindowsHelper server("DBF2CSV_TEST_READ_PIPE", {pipe, windowsName(scratch / "got")}, scratch.path());
    ASSERT_TRUE(server.ready()) << rt_test::readFile(scratch / "helper.log");
    piped = test_support::runProgram(dir_.path(), {"-o", pipe, "orders", "N"});
  }
  EXPECT_EQ(piped.exitCode, 0) << piped.err;
  EXPECT_EQ(rt_test::readFile(scratch / "got"), kLines);

  const ConsoleRun con = runOnConsole(dir_.path(), {"-o", "CON", "orders", "N"});
  EXPECT_TRUE(WIFEXITED(con.status) && WEXITSTATUS(con.status) == 0) << con.screen;
  EXPECT_NE(con.screen.find("\"Jones\",\"-3\""), std::string::npos) << con.screen;
  EXPECT_EQ(dir_.listing(), "ORDERS.DBF");
}

// Ctrl-C on the console during a long run: the temporary file goes, the
// previous output stays.
TEST_F(WineRun, CtrlCLeavesThePreviousOutputAndNoTemporaryFile) {
  test_support::TableShape shape;
  for (int i = 0; i < 10; ++i) shape.fields.push_back({"N" + std::to_string(i), 'N', 1});
  test_support::DbfWriter w(dir_ / "BIG.DBF", shape);
  for (int r = 0; r < 3'000'000; ++r) w.appendRaw("0123456789");
  w.finish();
  dir_.write("BIG.CSV", kPrevious);
  const auto hasTemporaryFile = [&] { return dir_.listing().find(".tmp") != std::string::npos; };
  const ConsoleRun run = runOnConsole(dir_.path(), {"big"}, hasTemporaryFile);
  EXPECT_EQ(rt_test::readFile(dir_ / "BIG.CSV"), kPrevious) << run.screen;
  EXPECT_EQ(dir_.listing(), "BIG.CSV BIG.DBF ORDERS.DBF");
}

}  // namespace
