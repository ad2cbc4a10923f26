// Names that are no regular file, on a POSIX system: a FIFO, and a
// directory with the C library's text.
#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/db/workarea.hpp"
#include "tests/db/db_test_util.hpp"

namespace {

class UnreadableTableNames : public db_test::WithDrivers<> {
 protected:
  db_test::TempDir dir_;
};

TEST_F(UnreadableTableNames, NamesOfDirectoriesAndFifosAreRefusedWithoutWaiting) {
  const std::string fifo = dir_.file("PIPE.DBF"), folder = dir_.file("FOLDER.DBF");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_TRUE(std::filesystem::create_directory(folder));
  EXPECT_EQ(db_test::openUnder("DBFNTX", fifo), "Cannot open file " + fifo + ": it is not a regular file");
  EXPECT_EQ(db_test::openUnder("DBFNTX", folder), "Cannot open file " + folder + ": Is a directory");
  EXPECT_TRUE(db::workspaceList().empty());
}

}  // namespace
