// Faults of the world around a sound table, met by the built program: an
// output directory it may not write, a read-only output, a job file it may
// not erase, a full disk (a file size limit, or a
// small file system filled up), a table another process holds exclusively or
// cuts short during the export, and no error log name left. Each ends with its message and exit code 1, the previous
// output as it was, and no temporary file left behind.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <stdexcept>
#include <string>
#include <thread>

#include "tests/support/program_run.hpp"
#include "tests/reliability/program_runs.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/dbf_writer.hpp"

namespace {

namespace fs = std::filesystem;

using test_support::Limits;
using test_support::ProgramJob;
using test_support::ProgramRun;

const std::string kPrevious = "\"previous\",\"output\"\r\n";
constexpr uid_t kNobody = 65534;

// ORDERS.DBF of `records` records whose CSV lines are about four times as
// long as the records (ten one-digit numbers each).
void writeOrders(const std::string& dir, std::uint32_t records) {
  test_support::TableShape shape;
  for (int i = 0; i < 10; ++i) shape.fields.push_back({"N" + std::to_string(i), 'N', 1});
  test_support::DbfWriter w(dir + "/ORDERS.DBF", shape);
  for (std::uint32_t r = 0; r < records; ++r) w.appendRaw(std::string(10, static_cast<char>('0' + r % 10)));
  w.finish();
}

void writePrevious(const std::string& dir) { std::ofstream(dir + "/ORDERS.CSV", std::ios::binary) << kPrevious; }

bool noTemporaryFile(const std::string& dir) {
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.path().filename().string().find(".tmp") != std::string::npos) return false;
  return true;
}

void expectPreviousIntact(const std::string& dir) {
  EXPECT_EQ(rt_test::readFile(dir + "/ORDERS.CSV"), kPrevious);
  EXPECT_TRUE(noTemporaryFile(dir));
}

ProgramJob job(const std::string& dir) { return {dir, {"orders"}, std::nullopt, std::nullopt}; }

ProgramRun runOrders(const ProgramJob& j, const Limits& limits = Limits::forThisBuild()) {
  return test_support::runProgram(j, limits);
}

TEST(WorldFaults, AnOutputDirectoryTheUserMayNotWriteToIsToldAndLeftAlone) {
  rt_test::TempDir dir;
  writeOrders(dir.path(), 100);
  writePrevious(dir.path());
  ProgramJob j = job(dir.path());
  if (::geteuid() == 0) {
    // Root writes anywhere: run as nobody in a directory of root's.
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    j.user = kNobody;
  } else {
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
  }
  const ProgramRun run = runOrders(j);
  fs::permissions(dir.path(), fs::perms::owner_all);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "Not able to create ORDERS.CSV.\ndbf2csv: Permission denied\n");
  expectPreviousIntact(dir.path());
  EXPECT_EQ(dir.listing(), "ORDERS.CSV ORDERS.DBF");
}

TEST(WorldFaults, AReadOnlyOutputIsLeftAloneAndTold) {
  // Whoever runs it, root included, and however writable the folder is.
  for (const fs::perms perms : {fs::perms(0444), fs::perms(0500)}) {
    SCOPED_TRACE(testing::Message() << std::oct << static_cast<int>(perms));
    rt_test::TempDir dir;
    writeOrders(dir.path(), 100);
    writePrevious(dir.path());
    fs::permissions(dir / "ORDERS.CSV", perms);
    const ProgramRun run = runOrders(job(dir.path()));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "Not able to create ORDERS.CSV.\ndbf2csv: Permission denied\n");
    EXPECT_EQ(fs::status(dir / "ORDERS.CSV").permissions(), perms);
    expectPreviousIntact(dir.path());
    EXPECT_EQ(dir.listing(), "ORDERS.CSV ORDERS.DBF");
  }
}

TEST(WorldFaults, AJobFileThatCannotBeErasedIsToldAndTheRunGoesOn) {
  // The job file lies in a folder whose files the program may not remove;
  // the table in a folder of its own, which it may write.
  rt_test::TempDir dir;
  fs::create_directory(dir / "sub");
  writeOrders(dir / "sub", 100);
  dir.write("RAZAVOZ.INP", "sub/orders||F");
  ProgramJob j{dir.path(), {}, std::nullopt, std::nullopt};
  if (::geteuid() == 0) {
    // Root removes anything: run as nobody in a directory of root's.
    fs::permissions(dir.path(), fs::perms(0755));
    fs::permissions(dir / "sub", fs::perms(0777));
    j.user = kNobody;
  } else {
    fs::permissions(dir.path(), fs::perms(0500));
  }
  const ProgramRun run = runOrders(j);
  fs::permissions(dir.path(), fs::perms::owner_all);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err,
            "dbf2csv: RAZAVOZ.INP could not be erased: Permission denied\n"
            "Program Ended Normally\n\nFile sub/ORDERS.CSV Created with 100 records.\n");
  EXPECT_EQ(dir.listing(), "RAZAVOZ.INP sub");
}

// A small tmpfs mounted for the object's lifetime; active() is false when
// this process may not mount one (it must be root), and why() says why.
class SmallFileSystem {
 public:
  SmallFileSystem(const std::string& at, const char* size) : at_(at) {
    fs::create_directory(at_);
    const std::string options = std::string("size=") + size + ",mode=0755";
    if (::mount("tmpfs", at_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0) {
      mounted_ = true;
    } else {
      why_ = std::strerror(errno);
    }
  }
  ~SmallFileSystem() {
    if (mounted_ && ::umount(at_.c_str()) != 0) ::umount2(at_.c_str(), MNT_DETACH);
  }
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;
  bool active() const { return mounted_; }
  const std::string& why() const { return why_; }

 private:
  std::string at_;
  bool mounted_ = false;
  std::string why_;
};

// A full disk as the program meets it: a write that fails half-way through
// the output, told, with the previous output as it was.
void expectFullDiskTold(const std::string& dir, const ProgramRun& run, const std::string& reason) {
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "Not able to write ORDERS.CSV.\ndbf2csv: " + reason + "\n");
  expectPreviousIntact(dir);
  EXPECT_EQ(rt_test::readFile(dir + "/ORDERS.CSV"), kPrevious);
  EXPECT_EQ(rt_test::listing(dir), "ORDERS.CSV ORDERS.DBF");
}

TEST(WorldFaults, AFullDiskIsToldAndThePreviousOutputStays) {
  // 220 KB of table give about 820 KB of output.
  {
    SCOPED_TRACE("a file size limit of 64 KiB");
    rt_test::TempDir dir;
    writeOrders(dir.path(), 20000);
    writePrevious(dir.path());
    Limits fullAfter64k = Limits::forThisBuild();
    fullAfter64k.fileSize = 65536;
    expectFullDiskTold(dir.path(), runOrders(job(dir.path()), fullAfter64k), "File too large");
  }
  SCOPED_TRACE("a file system of 512 KiB");
  rt_test::TempDir dir;
  const std::string mounted = dir / "small";
  SmallFileSystem small(mounted, "512k");
  if (!small.active()) GTEST_SKIP() << "cannot mount a tmpfs here (needs root): " << small.why();
  writeOrders(mounted, 20000);
  writePrevious(mounted);
  expectFullDiskTold(mounted, runOrders(job(mounted)), "No space left on device");
}

// Another process holding the table with an exclusive lock until the object
// goes.
class ExclusiveHolder {
 public:
  explicit ExclusiveHolder(const std::string& table) {
    int ready[2], release[2];
    if (::pipe(ready) != 0 || ::pipe(release) != 0) throw std::runtime_error("no pipe");
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready[0]);
      ::close(release[1]);
      const int fd = ::open(table.c_str(), O_RDONLY);
      const char locked = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 'y' : 'n';
      (void)!::write(ready[1], &locked, 1);
      char gone;
      (void)!::read(release[0], &gone, 1);  // until the test closes its end
      _exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    release_ = release[1];
    char locked = 'n';
    (void)!::read(ready[0], &locked, 1);
    ::close(ready[0]);
    locked_ = locked == 'y';
  }
  ~ExclusiveHolder() {
    ::close(release_);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
  ExclusiveHolder(const ExclusiveHolder&) = delete;
  ExclusiveHolder& operator=(const ExclusiveHolder&) = delete;
  bool locked() const { return locked_; }

 private:
  pid_t pid_ = -1;
  int release_ = -1;
  bool locked_ = false;
};

TEST(WorldFaults, ATableHeldExclusivelyByAnotherProcessIsNotAbleToOpen) {
  rt_test::TempDir dir;
  writeOrders(dir.path(), 100);
  writePrevious(dir.path());
  ExclusiveHolder holder(dir / "ORDERS.DBF");
  ASSERT_TRUE(holder.locked());
  const ProgramRun run = runOrders(job(dir.path()));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err,
            "Not able to open ORDERS.DBF.\ndbf2csv: Table ORDERS.DBF is held by another process\n");
  expectPreviousIntact(dir.path());
  EXPECT_EQ(dir.listing(), "ORDERS.CSV ORDERS.DBF");
}

// The program's temporary output, once it exists: the export has begun.
bool exportHasBegun(const std::string& dir) { return !noTemporaryFile(dir); }

TEST(WorldFaults, ATableCutShortByAnotherProcessDuringTheExportIsARuntimeError) {
  constexpr std::uint32_t kRecords = 3'000'000;  // 33 MB: far more than one read
  constexpr std::uint32_t kLeft = 1000;
  rt_test::TempDir dir;
  writeOrders(dir.path(), kRecords);
  writePrevious(dir.path());
  Limits roomy = Limits::forThisBuild();
  roomy.wallSeconds *= 30;  // the table is large; the alarm only stops a runaway
  test_support::RunningProgram program(job(dir.path()), roomy);
  while (!exportHasBegun(dir.path()) && ::kill(program.pid(), 0) == 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  const std::uint64_t headerLength = 32 + 10 * 32 + 1, recordLength = 11;
  test_support::truncateFile(dir / "ORDERS.DBF", headerLength + kLeft * recordLength + 5);
  const ProgramRun run = program.finish();

  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.exitCode, 1);
  const std::string log = rt_test::readFile(dir / "APPERROR.LOG");
  EXPECT_TRUE(reliability::toldTheError(run.err, reliability::logDescription(log)));
  const std::regex described(
      "Record ([0-9]+) of ORDERS.DBF lies beyond the end of the file: the file ends before it "
      "\\(it holds 1000 whole records of the 3000000 its header counts\\)");
  std::smatch m;
  const std::string description = reliability::logDescription(log);
  ASSERT_TRUE(std::regex_match(description, m, described)) << description;
  EXPECT_GT(std::stoul(m[1]), kLeft);
  expectPreviousIntact(dir.path());
}

// An interrupt removes the temporary file, keeps the previous output and
// ends the run as the signal ends a program. The run is stopped once its
// temporary file exists, so the signal cannot come after its end.
TEST(WorldFaults, AnInterruptedRunLeavesThePreviousOutputAndNoTemporaryFile) {
  rt_test::TempDir dir;
  writeOrders(dir.path(), 3'000'000);
  writePrevious(dir.path());
  Limits roomy = Limits::forThisBuild();
  roomy.wallSeconds *= 30;  // the table is large; the alarm only stops a runaway
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(::strsignal(signal));
    test_support::RunningProgram program(job(dir.path()), roomy);
    while (!exportHasBegun(dir.path()) && ::kill(program.pid(), 0) == 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    int status = 0;
    ::kill(program.pid(), SIGSTOP);
    ASSERT_EQ(::waitpid(program.pid(), &status, WUNTRACED), program.pid());
    ASSERT_TRUE(WIFSTOPPED(status) && exportHasBegun(dir.path())) << "the run ended before the signal";
    ::kill(program.pid(), signal);
    ::kill(program.pid(), SIGCONT);
    const ProgramRun run = program.finish();
    EXPECT_EQ(run.signal, signal);
    EXPECT_EQ(run.err, "");
    expectPreviousIntact(dir.path());
  }
}

TEST(WorldFaults, WithEveryErrorLogNameTakenTheProgramSaysSoAndEnds) {
  rt_test::TempDir dir;
  writeOrders(dir.path(), 100);
  test_support::truncateFile(dir / "ORDERS.DBF", 32 + 10 * 32 + 1 + 11 * 50);
  writePrevious(dir.path());
  // A directory of the name cannot be opened as the log, even by root.
  fs::create_directory(dir / "APPERROR.LOG");
  for (int n = 1; n <= 999; ++n) {
    char ext[4];
    std::snprintf(ext, sizeof ext, "%03d", n);
    fs::create_directory(dir / (std::string("APPERROR.") + ext));
  }
  const ProgramRun run = runOrders(job(dir.path()));
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.exitCode, 1);
  // With no log, the error's message on standard error is all that is left of it.
  EXPECT_TRUE(reliability::toldTheError(
      run.err,
      "Record 51 of ORDERS.DBF lies beyond the end of the file: the file ends before it (it "
      "holds 50 whole records of the 100 its header counts)",
      "\n\rUnable to open error log file"));
  expectPreviousIntact(dir.path());
  std::size_t entries = 0;
  for (const auto& entry : fs::directory_iterator(dir.path())) entries += entry.is_directory() ? 1 : 0;
  EXPECT_EQ(entries, 1000u);
}

}  // namespace
