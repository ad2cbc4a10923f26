// Memo files of the three layouts, found beside the table whatever the
// letter case of their names, and every way a memo file can be damaged.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/db/engine.hpp"
#include "platform/db/workarea.hpp"
#include "platform/db/workarea_test_helper.hpp"
#include "tests/db/db_test_util.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/dbf_writer.hpp"

namespace {

using test_support::DbfWriter;
using test_support::FieldSpec;
using test_support::MemoLayout;
using test_support::TableShape;

const std::string kLong = std::string(700, 'x') + "\r\nend";
const std::string kBinary = std::string("\x89PNG\x1A\x00\x1A\x1A tail", 13);

TableShape memoSpec(std::uint8_t version, MemoLayout layout, int pointerLength,
                   std::uint16_t blockSize = 0) {
  TableShape shape;
  shape.version = version;
  shape.fields = {{"ID", 'N', 2}, {"NOTES", 'M', pointerLength}};
  shape.memo = layout;
  shape.memoBlockSize = blockSize;
  return shape;
}

class Memos : public db_test::WithDrivers<> {
 protected:
  // Writes records 1..n holding `memos` (an empty memo as a blank pointer).
  std::string write(const TableShape& shape, const std::vector<std::string>& memos,
                    const std::string& name = "m.dbf") {
    const std::string path = dir_.file(name);
    DbfWriter w(path, shape);
    int id = 0;
    for (const std::string& m : memos) {
      const int length = shape.fields[1].length;
      w.append({std::to_string(++id), m.empty() ? std::string(length, length == 4 ? '\0' : ' ')
                                                : w.memo(m, length)});
    }
    memoPath_ = w.memoPath();
    return path;
  }

  // Every record's memo, read under `driver`.
  std::vector<std::string> memosOf(const std::string& path, const char* driver) {
    std::vector<std::string> out;
    std::optional<std::string> error = db_test::openUnder(driver, path);
    EXPECT_FALSE(error) << *error;
    if (error) return out;
    for (db::dbGoTop(); !db::eof(); db::dbSkip()) {
      const rt::Value v = db::fieldGet(2);
      EXPECT_TRUE(v.isMemo());
      out.push_back(v.text());
    }
    db::dbCloseArea();
    return out;
  }

  db_test::TempDir dir_;
  std::string memoPath_;
};

TEST_F(Memos, EachLayoutGivesTheStoredBytes) {
  struct Layout {
    std::uint8_t version;
    MemoLayout layout;
    int pointerLength;
    std::uint16_t blockSize;
    const char* driver;
    std::vector<std::string> memos;
  };
  const Layout layouts[] = {
      {0x83, MemoLayout::DbtIII, 10, 0, "DBFNTX", {"one\r\ntwo \"q\"", "", kLong}},
      {0x8B, MemoLayout::DbtIV, 10, 0, "DBFNTX", {kBinary, "", kLong}},
      {0x8B, MemoLayout::DbtIV, 10, 1024, "DBFNTX", {kLong, kBinary}},
      {0x8C, MemoLayout::DbtIV, 10, 0, "DBFNTX", {"dBase 7", kBinary}},
      {0xF5, MemoLayout::Fpt, 10, 0, "FOXCDX", {kBinary, "", kLong}},
      {0x30, MemoLayout::Fpt, 4, 0, "FOXCDX", {kLong, "", kBinary}},
      {0x30, MemoLayout::Fpt, 4, 1, "FOXCDX", {"byte offsets", kBinary}},
      {0x30, MemoLayout::Fpt, 4, 512, "FOXCDX", {kLong, kBinary}},
  };
  int n = 0;
  for (const Layout& l : layouts) {
    SCOPED_TRACE(n);
    const std::string path = write(memoSpec(l.version, l.layout, l.pointerLength, l.blockSize),
                                   l.memos, "t" + std::to_string(++n) + ".dbf");
    EXPECT_EQ(memosOf(path, l.driver), l.memos);
  }
}

TEST_F(Memos, ADbaseThreeMemoEndsAtTheFirstEndMarkerOrTheEndOfTheFile) {
  const std::string path = write(memoSpec(0x83, MemoLayout::DbtIII, 10), {"cut\x1Ahere", "last"});
  // The last memo loses its end markers: it runs to the end of the file.
  test_support::truncateFile(memoPath_, 512 * 2 + 4);
  EXPECT_EQ(memosOf(path, "DBFNTX"), (std::vector<std::string>{"cut", "last"}));
}

TEST_F(Memos, TheMemoFileIsFoundWhateverTheCaseOfItsName) {
  const std::string path = write(memoSpec(0x83, MemoLayout::DbtIII, 10), {"found"}, "lower.dbf");
  std::filesystem::rename(memoPath_, dir_.file("LOWER.DBT"));
  EXPECT_EQ(memosOf(path, "DBFNTX"), std::vector<std::string>{"found"});
  std::filesystem::rename(dir_.file("LOWER.DBT"), dir_.file("Lower.dbt"));
  EXPECT_EQ(memosOf(dir_.file("LOWER.DBF"), "DBFNTX"), std::vector<std::string>{"found"});
}

TEST_F(Memos, TwoRecordsSharingABlockBothReadIt) {
  const std::string path = dir_.file("share.dbf");
  {
    DbfWriter w(path, memoSpec(0xF5, MemoLayout::Fpt, 10));
    const std::string pointer = w.memo("shared");
    w.append({"1", pointer});
    w.append({"2", pointer});
  }
  EXPECT_EQ(memosOf(path, "FOXCDX"), (std::vector<std::string>{"shared", "shared"}));
}

TEST_F(Memos, OpeningFailsWithoutAUsableMemoFile) {
  struct Damage {
    std::uint8_t version;
    MemoLayout layout;
    std::function<void(const std::string& memo)> harm;
    const char* driver;
    std::string expected;  // "@" the table, "#" the memo file
  };
  const Damage damages[] = {
      {0x83, MemoLayout::DbtIII, [](const std::string& m) { std::filesystem::remove(m); }, "DBFNTX",
       "Memo file #.DBT of the table not found"},
      {0xF5, MemoLayout::Fpt, [](const std::string& m) { std::filesystem::remove(m); }, "FOXCDX",
       "Memo file #.FPT of the table not found"},
      {0xF5, MemoLayout::Fpt, [](const std::string& m) { test_support::patchFile(m, 6, std::string(2, '\0')); },
       "FOXCDX", "Table header damaged: @: its memo file #.FPT: the memo file gives a block size of 0"},
      {0x8B, MemoLayout::DbtIV, [](const std::string& m) { test_support::truncateFile(m, 100); }, "DBFNTX",
       "Table header damaged: @: its memo file #.DBT: the memo file is shorter than its 512 bytes header (100 bytes)"},
  };
  for (const Damage& d : damages) {
    const std::string path = write(memoSpec(d.version, d.layout, 10), {"text"});
    d.harm(memoPath_);
    std::string expected = d.expected;
    if (std::size_t at = expected.find('@'); at != std::string::npos) expected.replace(at, 1, path);
    expected.replace(expected.find('#'), 1, dir_.file("m"));
    EXPECT_EQ(db_test::openUnder(d.driver, path), expected);
    EXPECT_EQ(db::select("T"), 0);
  }
}

// A table of one record whose memo pointer is replaced by `pointer`.
struct BadPointer {
  std::uint8_t version;
  MemoLayout layout;
  std::string pointer;
  std::function<void(const std::string& memo)> harm;
  std::string expected;  // "@": "1 of " and the table's path
};

TEST_F(Memos, AMemoThatCannotBeReadIsAnErrorNamingTheTableRecordAndProblem) {
  const auto none = [](const std::string&) {};
  const BadPointer cases[] = {
      {0xF5, MemoLayout::Fpt, "        99", none,
       "Memo block 99 of record @ lies outside the memo file: the memo file ends at 576 bytes"},
      {0xF5, MemoLayout::Fpt, "         2",
       [](const std::string& m) { test_support::patchFile(m, 128, "\x01\x02"); },
       "Memo block 2 of record @ lies outside the memo file: the block lies inside the memo file's 512 bytes header"},
      {0xF5, MemoLayout::Fpt, "       12a", none,
       "Memo of record @ damaged: field NOTES: the memo pointer \"12a\" is not a number"},
      {0xF5, MemoLayout::Fpt, "         8",
       [](const std::string& m) { test_support::patchFile(m, 516, std::string("\x7F\xFF\xFF\xFF", 4)); },
       "Memo of record @ damaged: field NOTES: the memo runs to byte 2147484167 but the memo file ends at 576 bytes"},
      {0x8B, MemoLayout::DbtIV, "         1",
       [](const std::string& m) { test_support::patchFile(m, 516, std::string("\x04\0\0\0", 4)); },
       "Memo of record @ damaged: field NOTES: the memo's length 4 is shorter than its 8-byte block header"},
  };
  for (const BadPointer& c : cases) {
    SCOPED_TRACE(c.expected);
    const std::string path = dir_.file("bad.dbf");
    {
      DbfWriter w(path, memoSpec(c.version, c.layout, 10));
      w.memo("text");
      w.append({"1", c.pointer});
      memoPath_ = w.memoPath();
    }
    c.harm(memoPath_);
    ASSERT_FALSE(db_test::openUnder(c.version == 0xF5 ? "FOXCDX" : "DBFNTX", path));
    db_test::AnsweringBlock block({false});
    const rt::Value v = db::fieldGet(2);
    EXPECT_TRUE(v.isMemo() && v.text().empty());
    std::string expected = c.expected;
    expected.replace(expected.find('@'), 1, "1 of " + path);
    EXPECT_EQ(block.descriptions(), std::vector<std::string>{expected});
    ASSERT_EQ(block.errors().size(), 1u);
    EXPECT_EQ(block.errors()[0]->fileName, path);
    EXPECT_EQ(block.errors()[0]->operation, "FIELDGET");
    EXPECT_TRUE(block.errors()[0]->canRetry);
    EXPECT_TRUE(block.errors()[0]->canDefault);
    db::closeAll();
  }
}

TEST_F(Memos, AZeroedBlockInTheHeaderReadsAsAnEmptyMemo) {
  const std::string path = dir_.file("zero.dbf");
  {
    DbfWriter w(path, memoSpec(0x30, MemoLayout::Fpt, 4));
    w.append({"1", test_support::le32(2)});
  }
  db_test::AnsweringBlock block({false});
  EXPECT_EQ(memosOf(path, "FOXCDX"), std::vector<std::string>{""});
  EXPECT_TRUE(block.errors().empty());
}

TEST_F(Memos, RetryReadsTheMemoAgain) {
  const std::string path = write(memoSpec(0xF5, MemoLayout::Fpt, 10), {"first", "second"});
  // Record 2's memo is cut off; the block puts it back and asks for a retry.
  const std::string whole = rt_test::readFile(memoPath_);
  test_support::truncateFile(memoPath_, whole.size() - 64);
  ASSERT_FALSE(db_test::openUnder("FOXCDX", path));
  int raised = 0;
  rt::ErrorBlockGuard guard([&](const rt::ErrorPtr&) {
    ++raised;
    test_support::patchFile(memoPath_, 0, whole);
    return rt::Value(true);
  });
  db::dbSkip();
  EXPECT_EQ(db::fieldGet(2).text(), "second");
  EXPECT_EQ(raised, 1);
}

TEST_F(Memos, EveryTruncationOfTheMemoFileFailsCleanly) {
  const std::vector<std::string> memos = {"alpha", kLong, "omega"};
  const std::string path = write(memoSpec(0x30, MemoLayout::Fpt, 4), memos);
  const std::string whole = rt_test::readFile(memoPath_);
  for (std::size_t size = 0; size < whole.size(); ++size) {
    SCOPED_TRACE(size);
    std::ofstream(memoPath_, std::ios::binary | std::ios::trunc) << whole.substr(0, size);
    std::optional<std::string> error = db_test::openUnder("FOXCDX", path);
    if (size < 512) {
      EXPECT_TRUE(error && error->find("shorter than its 512 bytes header") != std::string::npos);
      continue;
    }
    ASSERT_FALSE(error) << *error;
    db_test::AnsweringBlock block({false});
    std::size_t failed = 0;
    for (std::size_t i = 0; i < memos.size(); ++i, db::dbSkip()) {
      const std::string value = db::fieldGet(2).text();
      // A memo is whole, or its read is an error and it reads as empty.
      if (value != memos[i]) {
        EXPECT_EQ(value, "");
        ++failed;
      }
    }
    EXPECT_EQ(block.errors().size(), failed);
    db::closeAll();
  }
}

}  // namespace
