// A name that is no regular file, on Windows: a directory, with the
// system's text.
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/db/workarea.hpp"
#include "platform/rt/status.hpp"
#include "tests/db/db_test_util.hpp"

namespace {

class UnreadableTableNames : public db_test::WithDrivers<> {
 protected:
  db_test::TempDir dir_;
};

TEST_F(UnreadableTableNames, NamesOfDirectoriesAreRefused) {
  const std::string folder = dir_.file("FOLDER.DBF");
  ASSERT_TRUE(std::filesystem::create_directory(folder));
  EXPECT_EQ(db_test::openUnder("DBFNTX", folder), "Cannot open file " + folder + ": " + rt::dosErrorMessage(5));
  EXPECT_TRUE(db::workspaceList().empty());
}

}  // namespace
