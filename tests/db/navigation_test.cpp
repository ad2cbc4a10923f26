// Moving through a table: natural order, deleted records with setting 11
// on and off, the header's record count, records that are not there, and
// tables larger than one read.
#include <gtest/gtest.h>

#include "platform/db/engine.hpp"
#include "platform/db/workarea.hpp"
#include "platform/db/workarea_test_helper.hpp"
#include "platform/rt/settings.hpp"
#include "tests/db/db_test_util.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/dbf_writer.hpp"

namespace {

using test_support::DbfWriter;
using test_support::TableShape;

class Navigation : public db_test::WithDrivers<> {
 protected:
  // A table of one-character records; '*' before a letter marks it deleted.
  std::string table(const std::string& records) {
    const std::string path = dir_.file("nav.dbf");
    TableShape shape;
    shape.fields = {{"L", 'C', 1}};
    DbfWriter w(path, shape);
    for (std::size_t i = 0; i < records.size(); ++i) {
      const bool deleted = records[i] == '*';
      if (deleted) ++i;
      w.append({std::string(1, records[i])}, deleted);
    }
    return path;
  }

  // The visible records as "recno:letter" from the top.
  std::string visit(const std::string& path) {
    EXPECT_FALSE(db_test::openUnder("DBFNTX", path));
    std::string out;
    for (db::dbGoTop(); !db::eof(); db::dbSkip()) {
      out += std::to_string(db::recNo()) + ":" + db::fieldGet(1).text() + " ";
    }
    db::closeAll();
    return out;
  }

  db_test::TempDir dir_;
};

TEST_F(Navigation, DeletedRecordsArePassedOverOnlyWhileSettingElevenIsOn) {
  struct Case {
    std::string records;
    std::string hidden, shown;
  };
  const Case cases[] = {
      {"abc", "1:a 2:b 3:c ", "1:a 2:b 3:c "},
      {"*ab*c", "2:b ", "1:a 2:b 3:c "},
      {"*a*bc", "3:c ", "1:a 2:b 3:c "},
      {"a*b*c", "1:a ", "1:a 2:b 3:c "},
      {"*a*b", "", "1:a 2:b "},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.records);
    const std::string path = table(c.records);
    rt::set(rt::Set::Deleted, true);
    EXPECT_EQ(visit(path), c.hidden);
    rt::set(rt::Set::Deleted, false);
    EXPECT_EQ(visit(path), c.shown);
  }
}

TEST_F(Navigation, LastRecCountsDeletedRecordsAndEndOfFileComesAtOnceWhenNoneIsVisible) {
  rt::set(rt::Set::Deleted, true);
  ASSERT_FALSE(db_test::openUnder("DBFNTX", table("*a*b")));
  EXPECT_EQ(db::lastRec(), 2u);
  EXPECT_TRUE(db::eof());
  db::dbGoTop();
  EXPECT_TRUE(db::eof());
  EXPECT_EQ(db::recNo(), 3u);
}

TEST_F(Navigation, AnOpenedTableStandsOnItsFirstVisibleRecord) {
  rt::set(rt::Set::Deleted, true);
  ASSERT_FALSE(db_test::openUnder("DBFNTX", table("*ab")));
  EXPECT_FALSE(db::eof());
  EXPECT_EQ(db::recNo(), 2u);
  EXPECT_EQ(db::fieldGet(1).text(), "b");
}

TEST_F(Navigation, EveryFlagButAStarIsALiveRecord) {
  const std::string path = table("abc");
  test_support::patchFile(path, 65 + 0 * 2, std::string(1, '\0'));
  test_support::patchFile(path, 65 + 1 * 2, "\x1A");
  test_support::patchFile(path, 65 + 2 * 2, "#");
  rt::set(rt::Set::Deleted, true);
  EXPECT_EQ(visit(path), "1:a 2:b 3:c ");
}

TEST_F(Navigation, TheHeadersRecordCountIsTrusted) {
  const std::string path = table("abcd");
  test_support::patchFile(path, 4, std::string("\x02\0\0\0", 4));
  EXPECT_EQ(visit(path), "1:a 2:b ");
}

TEST_F(Navigation, AMissingRecordIsAnErrorWhoseDefaultEndsTheTable) {
  const std::string path = table("abc");
  test_support::truncateFile(path, 65 + 2 * 2 + 1);
  ASSERT_FALSE(db_test::openUnder("DBFNTX", path));
  db_test::AnsweringBlock block({false});
  db::dbSkip();
  EXPECT_EQ(db::fieldGet(1).text(), "b");
  db::dbSkip();
  EXPECT_TRUE(db::eof());
  EXPECT_EQ(db::recNo(), 4u);
  ASSERT_EQ(block.errors().size(), 1u);
  const rt::ErrorPtr& e = block.errors()[0];
  EXPECT_EQ(e->description, "Record 3 of " + path +
                                " lies beyond the end of the file: the file ends before it (it holds 2 whole "
                                "records of the 3 its header counts)");
  EXPECT_EQ(e->operation, "DBSKIP");
  EXPECT_EQ(e->fileName, path);
  EXPECT_EQ(e->genCode, 32);
  EXPECT_TRUE(e->canRetry);
  EXPECT_TRUE(e->canDefault);
}

TEST_F(Navigation, RetryReadsTheMissingRecordAgain) {
  const std::string path = table("abc");
  const std::string whole = rt_test::readFile(path);
  test_support::truncateFile(path, 65 + 2);
  ASSERT_FALSE(db_test::openUnder("DBFNTX", path));
  // The writer finishes the file while the error is shown.
  int raised = 0;
  rt::ErrorBlockGuard guard([&](const rt::ErrorPtr& e) {
    ++raised;
    EXPECT_EQ(e->operation, "DBSKIP");
    test_support::patchFile(path, 0, whole);
    return rt::Value(true);
  });
  db::dbSkip();
  EXPECT_EQ(db::fieldGet(1).text(), "b");
  db::dbSkip();
  EXPECT_EQ(db::fieldGet(1).text(), "c");
  EXPECT_EQ(raised, 1);
}

TEST_F(Navigation, ATableWithNoRecordThereRaisesOnlyWhenMovedIn) {
  const std::string path = table("ab");
  test_support::truncateFile(path, 65);
  db_test::AnsweringBlock block({false});
  ASSERT_FALSE(db_test::openUnder("DBFNTX", path));
  EXPECT_TRUE(block.errors().empty());
  EXPECT_TRUE(db::eof());
  db::dbGoTop();
  ASSERT_EQ(block.errors().size(), 1u);
  EXPECT_EQ(block.errors()[0]->operation, "DBGOTOP");
  EXPECT_TRUE(db::eof());
}

TEST_F(Navigation, ReadsAcrossManyBlocksInOrder) {
  const std::string path = dir_.file("big.dbf");
  TableShape shape;
  shape.fields = {{"N", 'N', 7}, {"PAD", 'C', 200}};
  const int count = 20000;  // about 4 MB: several reads
  {
    DbfWriter w(path, shape);
    for (int i = 1; i <= count; ++i) w.append({std::to_string(i), "x"}, i % 1000 == 0);
  }
  rt::set(rt::Set::Deleted, true);
  ASSERT_FALSE(db_test::openUnder("DBFNTX", path));
  EXPECT_EQ(db::lastRec(), static_cast<std::uint32_t>(count));
  int seen = 0, expected = 0;
  for (db::dbGoTop(); !db::eof(); db::dbSkip()) {
    if (++expected % 1000 == 0) ++expected;
    ++seen;
    ASSERT_EQ(db::recNo(), static_cast<std::uint32_t>(expected));
    ASSERT_EQ(db::fieldGet(1).number().text, std::to_string(expected));
  }
  EXPECT_EQ(seen, count - count / 1000);
  db::dbCloseArea();

  // Cut short in a later block, read while the one before is read through:
  // the records before the cut are all there, and the first one missing is
  // the error, as when every block is read in turn.
  const int held = 12345;
  test_support::truncateFile(path, 1 + 32 * 3 + std::uint64_t{held} * 208 + 100);
  ASSERT_FALSE(db_test::openUnder("DBFNTX", path));
  db_test::AnsweringBlock block({false});
  seen = 0;
  for (db::dbGoTop(); !db::eof(); db::dbSkip()) seen = static_cast<int>(db::recNo());
  EXPECT_EQ(seen, held);
  ASSERT_EQ(block.errors().size(), 1u);
  EXPECT_EQ(block.errors()[0]->description,
            "Record " + std::to_string(held + 1) + " of " + path +
                " lies beyond the end of the file: the file ends before it (it holds " + std::to_string(held) +
                " whole records of the " + std::to_string(count) + " its header counts)");
}

}  // namespace
