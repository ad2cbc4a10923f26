// The temporary output is made safely: created exclusively (never opening a
// file or link someone planted) in the output's own directory, under a name
// no one can guess, with the permissions a new file gets.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "platform/rt/atomic_file.hpp"
#include "tests/support/program_run.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/dbf_writer.hpp"

namespace {

namespace fs = std::filesystem;

void writeOrders(const std::string& path) {
  test_support::TableShape shape;
  shape.fields = {{"NAME", 'C', 10}};
  test_support::DbfWriter w(path, shape);
  w.append({"one"});
  w.finish();
}

const std::regex kTempName(R"(\.ORDERS\.CSV\.[0-9a-f]{16}\.tmp)");

TEST(TemporaryOutput, LiesBesideTheOutputUnderANameNoOneCanGuess) {
  rt_test::TempDir dir;
  const std::string target = dir / "ORDERS.CSV";
  std::vector<std::unique_ptr<rt::AtomicFile>> files;
  std::set<std::string> names;
  for (int i = 0; i < 64; ++i) {
    files.push_back(std::make_unique<rt::AtomicFile>(target));
    const fs::path temp = files.back()->tempPath();
    ASSERT_TRUE(files.back()->ok());
    EXPECT_EQ(temp.parent_path(), fs::path(dir.path()));
    EXPECT_TRUE(std::regex_match(temp.filename().string(), kTempName)) << temp;
    // A regular file of its own, not a link to someone else's.
    struct stat st {};
    ASSERT_EQ(::lstat(temp.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_nlink, 1u);
    EXPECT_EQ(st.st_uid, ::geteuid());
    names.insert(temp.filename());
  }
  EXPECT_EQ(names.size(), files.size());
  files.clear();  // none committed: every temporary file goes
  EXPECT_EQ(dir.listing(), "");
}

TEST(TemporaryOutput, ANewOutputGetsThePermissionsOfANewFileAndAReplacedOneKeepsItsOwn) {
  struct Case {
    mode_t umask;
    fs::perms expected;
  } cases[] = {
      {022, fs::perms(0644)},
      {027, fs::perms(0640)},
      {077, fs::perms(0600)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "umask " << std::oct << c.umask);
    rt_test::TempDir dir;
    writeOrders(dir / "ORDERS.DBF");
    const test_support::ProgramJob job{dir.path(), {"orders"}, std::nullopt, c.umask};
    test_support::ProgramRun run = test_support::runProgram(job, test_support::Limits::forThisBuild());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(fs::status(dir / "ORDERS.CSV").permissions(), c.expected);
    // An output its owner made private stays private when it is replaced
    // (one that grants no write at all is not replaced: see WorldFaults).
    fs::permissions(dir / "ORDERS.CSV", fs::perms(0600));
    run = test_support::runProgram(job, test_support::Limits::forThisBuild());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(fs::status(dir / "ORDERS.CSV").permissions(), fs::perms(0600));
    EXPECT_NE(rt_test::readFile(dir / "ORDERS.CSV"), "");
    EXPECT_EQ(dir.listing(), "ORDERS.CSV ORDERS.DBF");
  }
}

bool haveStrace() { return std::system("command -v strace >/dev/null 2>&1") == 0; }

// What `dbf2csv args` asked the system to open, as strace reports it.
std::string openCalls(const std::string& dir, const std::string& args) {
  const std::string trace = dir + "/trace";
  // The leak checker cannot run under a tracer; the trace is all this run is for.
  const std::string command = "cd '" + dir + "' && ASAN_OPTIONS=detect_leaks=0 DBF2CSV_UI=headless " +
                              "strace -qq -f -e trace=open,openat,creat -o '" + trace + "' '" + DBF2CSV_BIN +
                              "' " + args + " >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  std::string calls = rt_test::readFile(trace);
  fs::remove(trace);
  return status == 0 ? calls : "the traced run failed: " + calls;
}

TEST(TemporaryOutput, IsCreatedExclusivelyInTheOutputsDirectory) {
  rt_test::TempDir dir;
  fs::create_directory(dir / "data");
  writeOrders(dir / "data/ORDERS.DBF");
  std::set<std::string> names;
  if (!haveStrace()) GTEST_SKIP() << "strace is needed to watch the program's system calls";
  for (int run = 0; run < 2; ++run) {
    const std::string calls = openCalls(dir.path(), "data/orders");
    const std::regex created(R"re(open(at)?\((AT_FDCWD, )?"data/(\.ORDERS\.CSV\.[0-9a-f]{16}\.tmp)", ([A-Z_|]+), 0666\))re");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(calls, m, created)) << calls;
    const std::string flags = m[4];
    EXPECT_NE(flags.find("O_CREAT"), std::string::npos) << flags;
    EXPECT_NE(flags.find("O_EXCL"), std::string::npos) << flags;
    EXPECT_EQ(flags.find("O_TRUNC"), std::string::npos) << flags;
    names.insert(m[3]);
  }
  EXPECT_EQ(names.size(), 2u);  // a new name each time
  EXPECT_EQ(rt_test::readFile(dir / "data/ORDERS.CSV"), "\"NAME\"\r\n\"one\"\r\n");
}

}  // namespace
