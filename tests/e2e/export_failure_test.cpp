// The export run when the output cannot be made: nothing reports success,
// the previous output stays as it was, and no temporary file is left.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/e2e/program_run.hpp"
#include "tests/rt/temp_dir.hpp"
#include "tests/support/dbf_writer.hpp"

namespace {

namespace fs = std::filesystem;

const std::string kPrevious = "\"previous\",\"output\"\r\n";

class ExportFailure : public testing::Test {
 protected:
  ExportFailure() {
    test_support::TableShape shape;
    shape.fields = {{"ID", 'N', 8}, {"TEXT", 'C', 40}};
    test_support::DbfWriter w(dir_ / "orders.dbf", shape);
    for (int i = 1; i <= 5000; ++i) w.append({std::to_string(i), "some text to fill the output"});
    w.finish();
  }

  rt_test::TempDir dir_;
};

// Makes a directory refuse new files for the object's lifetime: by its
// permissions, or, for root, whom permissions do not stop, by the immutable
// attribute.
class NoNewFiles {
 public:
  explicit NoNewFiles(const std::string& dir) : dir_(dir) {
    if (geteuid() != 0) {
      fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
      active_ = true;
    } else {
      active_ = std::system(("chattr +i '" + dir_ + "' 2>/dev/null").c_str()) == 0;
    }
  }
  ~NoNewFiles() {
    if (geteuid() != 0) {
      fs::permissions(dir_, fs::perms::owner_all);
    } else if (active_) {
      (void)std::system(("chattr -i '" + dir_ + "'").c_str());
    }
  }
  bool active() const { return active_; }

 private:
  std::string dir_;
  bool active_ = false;
};

TEST_F(ExportFailure, AnOutputThatCannotBeCreatedIsToldAndNothingIsReported) {
  dir_.write("ORDERS.CSV", kPrevious);
  e2e::Run r;
  {
    NoNewFiles guard(dir_.path());
    if (!guard.active()) GTEST_SKIP() << "cannot make the directory refuse new files here";
    r = e2e::runProgram(dir_.path(), {"orders"});
  }
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Not able to create ORDERS.CSV.\n");
  EXPECT_EQ(rt_test::readFile(dir_ / "ORDERS.CSV"), kPrevious);
  EXPECT_EQ(dir_.listing(), "ORDERS.CSV orders.dbf");
}

TEST_F(ExportFailure, AFullDiskIsToldAndThePreviousOutputStays) {
  dir_.write("ORDERS.CSV", kPrevious);
  e2e::RunOptions fullAfter64k;
  fullAfter64k.fileSizeLimit = 65536;
  const e2e::Run r = e2e::runProgram(dir_.path(), {"orders"}, fullAfter64k);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Not able to write ORDERS.CSV.\n");
  EXPECT_EQ(rt_test::readFile(dir_ / "ORDERS.CSV"), kPrevious);
  EXPECT_EQ(dir_.listing(), "ORDERS.CSV orders.dbf");
}

TEST_F(ExportFailure, ADamagedTableEndsTheRunAndThePreviousOutputStays) {
  dir_.write("ORDERS.CSV", kPrevious);
  // Cut the table in the middle of its records.
  const auto size = fs::file_size(dir_ / "orders.dbf");
  test_support::truncateFile(dir_ / "orders.dbf", size / 2);
  const e2e::Run r = e2e::runProgram(dir_.path(), {"orders"});
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_EQ(r.err.find("Program Ended Normally"), std::string::npos) << r.err;
  EXPECT_EQ(rt_test::readFile(dir_ / "ORDERS.CSV"), kPrevious);
  EXPECT_EQ(dir_.listing().find(".tmp"), std::string::npos) << dir_.listing();
}

}  // namespace
