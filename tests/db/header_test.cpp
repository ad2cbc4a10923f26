// Damaged table files: a table of bad headers, byte edits of a good table,
// and every truncation of a table. Each refusal names the table and says
// what is wrong; nothing crashes, hangs or reads garbage as records.
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
using test_support::TableShape;

std::string le16(int v) { return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }

class DamagedTables : public db_test::WithDrivers<> {
 protected:
  // A good dBase III table of three records (header 97 bytes, records 11).
  std::string goodTable(const std::string& name = "good.dbf") {
    const std::string path = dir_.file(name);
    TableShape shape;
    shape.fields = {{"NAME", 'C', 6}, {"QTY", 'N', 4}};
    DbfWriter w(path, shape);
    w.append({"alpha", "1"});
    w.append({"beta", "22"});
    w.append({"gamma", "333"});
    return path;
  }

  void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  }

  db_test::TempDir dir_;
};

TEST_F(DamagedTables, BadHeadersAreRefusedWithTheReason) {
  struct Bad {
    std::function<void(const std::string& path)> make;
    std::string expected;  // "@" is the table's path
    bool foxToo = true;    // false: the FoxPro engine refuses the version before the header
  };
  const std::string good = rt_test::readFile(goodTable());
  auto edited = [&](std::size_t at, std::string bytes) {
    return [=, this](const std::string& p) { writeFile(p, std::string(good).replace(at, bytes.size(), bytes)); };
  };
  const Bad cases[] = {
      {[&](const std::string& p) { writeFile(p, ""); }, "Table header damaged: @: the file is empty"},
      {[&](const std::string& p) { writeFile(p, good.substr(0, 20)); },
       "Table header damaged: @: the file is too short for a table header (20 bytes)"},
      {[&](const std::string& p) { writeFile(p, "\x02" + std::string(99, '\0')); },
       "Table header damaged: @: the file is too short for a dBase II header (100 bytes)", false},
      {[&](const std::string& p) { writeFile(p, "\x04" + good.substr(1, 50)); },
       "Table header damaged: @: the file is too short for a table header (51 bytes)", false},
      {edited(8, le16(10)), "Table header damaged: @: the header length 10 is too small for a header of this version (0x03)"},
      {edited(8, le16(60000)), "Table header damaged: @: the header length 60000 runs past the end of the file (131 bytes)"},
      {edited(10, le16(0)), "Table header damaged: @: the record length is 0"},
      {edited(10, le16(9)), "Table header damaged: @: the fields need 11 bytes per record but the header gives 9"},
      {edited(32, "\x0D"), "Table header damaged: @: the table has no fields"},
      {edited(15, "\x01"), "Table header damaged: @: the records are encrypted"},
      {edited(0, "\x99"), "Table @ has version byte 0x99, which this driver does not read"},
  };
  for (const Bad& c : cases) {
    SCOPED_TRACE(c.expected);
    const std::string path = dir_.file("bad.dbf");
    c.make(path);
    std::string expected = c.expected;
    expected.replace(expected.find('@'), 1, path);
    for (const char* driver : {"DBFNTX", "FOXCDX"}) {
      if (!c.foxToo && std::string(driver) == "FOXCDX") continue;
      const std::optional<std::string> error = db_test::openUnder(driver, path);
      EXPECT_EQ(error.value_or("opened"), expected) << driver;
      EXPECT_TRUE(db::workspaceList().empty());
    }
  }
}

TEST_F(DamagedTables, EachEngineRefusesTheOtherFamilysVersions) {
  const std::string good = rt_test::readFile(goodTable());
  const std::string path = dir_.file("v.dbf");
  struct Version {
    char byte;
    const char* refusedBy;
  };
  for (const Version v : {Version{'\x30', "DBFNTX"}, Version{'\x31', "DBFNTX"}, Version{'\xF5', "DBFNTX"},
                          Version{'\x8B', "FOXCDX"}, Version{'\x04', "FOXCDX"}, Version{'\x02', "FOXCDX"}}) {
    writeFile(path, v.byte + good.substr(1));
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(v.byte));
    EXPECT_EQ(db_test::openUnder(v.refusedBy, path),
              "Table " + path + " has version byte " + hex + ", which this driver does not read");
  }
}

TEST_F(DamagedTables, EveryByteEditOfTheHeaderOpensOrIsRefusedCleanly) {
  const std::string good = rt_test::readFile(goodTable());
  const std::string path = dir_.file("edit.dbf");
  for (std::size_t at = 0; at < 97; ++at) {
    for (char value : {'\x00', '\x0D', '\x7F', '\xFF'}) {
      SCOPED_TRACE(std::to_string(at) + "=" + std::to_string(static_cast<unsigned char>(value)));
      writeFile(path, std::string(good).replace(at, 1, 1, value));
      for (const char* driver : {"DBFNTX", "FOXCDX"}) {
        const std::optional<std::string> error = db_test::openUnder(driver, path);
        if (error) {
          const bool known = error->rfind("Table header damaged: " + path + ": ", 0) == 0 ||
                             error->rfind("Table " + path + " has version byte ", 0) == 0;
          EXPECT_TRUE(known) << *error;
          continue;
        }
        // Opened: every record reads, or its read is an error that ends the table.
        db_test::AnsweringBlock block({false});
        std::uint32_t visited = 0;
        for (db::dbGoTop(); !db::eof() && visited <= db::lastRec(); db::dbSkip(), ++visited) {
          for (int i = 1; i <= db::fCount(); ++i) (void)db::fieldGet(i);
        }
        EXPECT_LE(visited, db::lastRec());
        db::closeAll();
      }
    }
  }
}

TEST_F(DamagedTables, EveryTruncationReadsTheWholeRecordsThenSaysTheRestIsMissing) {
  const std::string good = rt_test::readFile(goodTable());
  const std::string path = dir_.file("cut.dbf");
  const std::size_t headerLength = 97, recordLength = 11;
  for (std::size_t size = 0; size < good.size(); ++size) {
    SCOPED_TRACE(size);
    writeFile(path, good.substr(0, size));
    const std::optional<std::string> error = db_test::openUnder("DBFNTX", path);
    if (size < headerLength) {
      ASSERT_TRUE(error);
      EXPECT_EQ(error->rfind("Table header damaged: " + path + ": ", 0), 0u) << *error;
      continue;
    }
    ASSERT_FALSE(error) << *error;
    EXPECT_EQ(db::lastRec(), 3u);
    db_test::AnsweringBlock block({false});
    std::vector<std::string> names;
    for (db::dbGoTop(); !db::eof(); db::dbSkip()) names.push_back(db_test::exported(db::fieldGet(1)));
    const std::size_t whole = (size - headerLength) / recordLength;
    const std::vector<std::string> all = {"alpha", "beta", "gamma"};
    EXPECT_EQ(names, std::vector<std::string>(all.begin(), all.begin() + static_cast<long>(std::min<std::size_t>(whole, 3))));
    if (whole < 3) {
      EXPECT_EQ(block.descriptions(),
                std::vector<std::string>{"Record " + std::to_string(whole + 1) + " of " + path +
                                         " lies beyond the end of the file: the file ends before it (it holds " +
                                         std::to_string(whole) + " whole records of the 3 its header counts)"});
    } else {
      EXPECT_TRUE(block.errors().empty());
    }
    db::closeAll();
  }
}

}  // namespace
