// Opening a table twice in one process, and a read-only table: the second
// opening conflicts as another process's would.
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/db/engine.hpp"
#include "platform/db/workarea.hpp"
#include "tests/db/locking_fixture.hpp"

namespace {

using db_test::Locking;

TEST_F(Locking, TwoOpeningsInOneProcessConflictToo) {
  ASSERT_FALSE(db_test::openUnder("DBFNTX", path_, false));
  EXPECT_EQ(db_test::caught([&] { db::dbUseArea(true, "DBFNTX", path_, "SECOND", true); }),
            "Table " + path_ + " is held by another process");
}

TEST_F(Locking, AReadOnlyTableOpensAndItsNameIsFoundInAnyCase) {
  std::filesystem::permissions(path_, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                          std::filesystem::perms::others_read);
  EXPECT_FALSE(db_test::openUnder("DBFNTX", dir_.file("lock.dbf"), false));
  EXPECT_EQ(db::fieldGet(1).text(), "x");
}

}  // namespace
