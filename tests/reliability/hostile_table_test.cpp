// Tables whose headers and memo pointers lie, run through the whole program:
// each ends with the ending its damage calls for (the open refused, or the
// error handler's log naming the table, the record and what is wrong, or a
// completed export), the previous output intact whenever the run failed, and
// the built binary within its time and memory limits.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/reliability/program_runs.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/dbf_writer.hpp"

namespace {

using reliability::Ending;
using test_support::DbfWriter;
using test_support::MemoLayout;
using test_support::TableShape;

const std::string kPrevious = "\"previous\"\r\n";

// The layout of the base table: NAME C(10), QTY N(5), NOTES M(10).
constexpr std::uint64_t kHeaderLength = 32 + 3 * 32 + 1;
constexpr std::uint64_t kRecordLength = 1 + 10 + 5 + 10;
constexpr std::uint64_t kNotesOffset = 1 + 10 + 5;

std::string le16(std::uint16_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string be16(std::uint16_t v) { return {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}; }
std::string be32(std::uint32_t v) { return be16(static_cast<std::uint16_t>(v >> 16)) + be16(static_cast<std::uint16_t>(v)); }

// T.DBF of `version` with three records and their memos in T.DBT or T.FPT.
void baseTable(const rt_test::TempDir& dir, std::uint8_t version, MemoLayout layout,
               std::uint16_t blockSize = 0) {
  TableShape shape;
  shape.version = version;
  shape.fields = {{"NAME", 'C', 10}, {"QTY", 'N', 5}, {"NOTES", 'M', 10}};
  shape.memo = layout;
  shape.memoBlockSize = blockSize;
  DbfWriter w(dir / "T.DBF", shape);
  w.append({"one", "1", w.memo("first memo")});
  w.append({"two", "2", w.memo("second memo")});
  w.append({"three", "3", w.memo("third memo")});
  w.finish();
}

void dbase3(const rt_test::TempDir& dir) { baseTable(dir, 0x83, MemoLayout::DbtIII); }
void fox2(const rt_test::TempDir& dir) { baseTable(dir, 0xF5, MemoLayout::Fpt, 64); }

void patch(const rt_test::TempDir& dir, const char* file, std::uint64_t at, const std::string& bytes) {
  test_support::patchFile(dir / file, at, bytes);
}

// The memo pointer of record `n` (from 1), as right-aligned digits.
void pointTo(const rt_test::TempDir& dir, int n, const std::string& digits) {
  const std::uint64_t at = kHeaderLength + (n - 1) * kRecordLength + kNotesOffset;
  patch(dir, "T.DBF", at, std::string(10 - digits.size(), ' ') + digits);
}

// What a table no driver opens is told: the message, then the reason.
std::string notOpened(const std::string& damage) {
  return "Not able to open T.DBF.\ndbf2csv: Table header damaged: T.DBF: " + damage + "\n";
}

struct Case {
  const char* name;
  std::function<void(const rt_test::TempDir&)> lay;
  int exitCode;
  std::string toldOrLogged;  // the open message, or the log's description
};

const std::vector<Case>& cases() {
  static const std::vector<Case> all{
      {"a header counting far more records than the file holds",
       [](const rt_test::TempDir& d) { dbase3(d), patch(d, "T.DBF", 4, "\xFF\xFF\xFF\xFF"); }, 1,
       "Record 4 of T.DBF lies beyond the end of the file: the file ends before it (it holds 3 whole "
       "records of the 4294967295 its header counts)"},
      {"a header length beyond the end of the file",
       [](const rt_test::TempDir& d) { dbase3(d), patch(d, "T.DBF", 8, le16(0xFFFF)); }, 1,
       notOpened("the header length 65535 runs past the end of the file (208 bytes)")},
      {"a record length far beyond the file",
       [](const rt_test::TempDir& d) { dbase3(d), patch(d, "T.DBF", 10, le16(0xFFFF)); }, 1,
       "Record 1 of T.DBF lies beyond the end of the file: the file ends before it (it holds 0 whole "
       "records of the 3 its header counts)"},
      {"a record length shorter than its fields",
       [](const rt_test::TempDir& d) { dbase3(d), patch(d, "T.DBF", 10, le16(20)); }, 1,
       notOpened("the fields need 26 bytes per record but the header gives 20")},
      {"a record length of 0",
       [](const rt_test::TempDir& d) { dbase3(d), patch(d, "T.DBF", 10, le16(0)); }, 1,
       notOpened("the record length is 0")},
      {"no field descriptors at all",
       [](const rt_test::TempDir& d) { dbase3(d), patch(d, "T.DBF", 32, "\x0D"); }, 1,
       notOpened("the table has no fields")},
      {"a field descriptor running past the header length",
       [](const rt_test::TempDir& d) { dbase3(d), patch(d, "T.DBF", 8, le16(32 + 32 + 16)); }, 1,
       notOpened("field descriptor 2 runs past the header length 80")},
      {"fields of length 0",
       [](const rt_test::TempDir& d) {
         TableShape shape;
         shape.fields = {{"EMPTY", 'C', 0}, {"NONE", 'N', 0}, {"DUE", 'D', 0}, {"PAID", 'L', 0},
                        {"NAME", 'C', 3}};
         DbfWriter w(d / "T.DBF", shape);
         w.append({"", "", "", "", "abc"});
       },
       0, "Program Ended Normally\n\nFile T.CSV Created with 1 records.\n"},
      {"a memo pointer beyond the end of the memo file",
       [](const rt_test::TempDir& d) { dbase3(d), pointTo(d, 2, "999999"); }, 1,
       "Memo block 999999 of record 2 of T.DBF lies outside the memo file: the memo file ends at "
       "2048 bytes"},
      {"a memo pointer of more digits than any file has blocks",
       [](const rt_test::TempDir& d) { dbase3(d), pointTo(d, 1, "9999999999"); }, 1,
       "Memo block 9999999999 of record 1 of T.DBF lies outside the memo file: the memo file ends at "
       "2048 bytes"},
      {"a memo pointer into the memo file's header",
       [](const rt_test::TempDir& d) {
         fox2(d);
         patch(d, "T.FPT", 2 * 64, "not a memo");
         pointTo(d, 3, "2");
       },
       1,
       "Memo block 2 of record 3 of T.DBF lies outside the memo file: the block lies inside the memo "
       "file's 512 bytes header"},
      {"a memo pointer that is no number",
       [](const rt_test::TempDir& d) { dbase3(d), pointTo(d, 2, "12x4"); }, 1,
       "Memo of record 2 of T.DBF damaged: field NOTES: the memo pointer \"12x4\" is not a number"},
      {"a memo whose stated length runs past the end of the file",
       [](const rt_test::TempDir& d) { fox2(d), patch(d, "T.FPT", 512 + 4, be32(0xFFFFFFF0)); }, 1,
       "Memo of record 1 of T.DBF damaged: field NOTES: the memo runs to byte 4294967800 but the memo "
       "file ends at 704 bytes"},
      {"two records pointing at the same memo block",
       [](const rt_test::TempDir& d) { dbase3(d), pointTo(d, 3, "1"); }, 0,
       "Program Ended Normally\n\nFile T.CSV Created with 3 records.\n"},
      {"a dBase III memo without its end mark runs to the end of the file",
       [](const rt_test::TempDir& d) {
         dbase3(d);
         patch(d, "T.DBT", 512 * 3, std::string(512, 'x'));
       },
       0, "Program Ended Normally\n\nFile T.CSV Created with 3 records.\n"},
      {"an FPT memo file with a block size of 0",
       [](const rt_test::TempDir& d) { fox2(d), patch(d, "T.FPT", 6, be16(0)); }, 1,
       notOpened("its memo file T.FPT: the memo file gives a block size of 0")},
      {"a dBase IV memo file with a block size of 0 (512)",
       [](const rt_test::TempDir& d) { baseTable(d, 0x8B, MemoLayout::DbtIV), patch(d, "T.DBT", 20, le16(0)); },
       0, "Program Ended Normally\n\nFile T.CSV Created with 3 records.\n"},
      {"a dBase IV memo shorter than its own block header",
       [](const rt_test::TempDir& d) { baseTable(d, 0x8B, MemoLayout::DbtIV), patch(d, "T.DBT", 512 + 4, "\x03\0\0\0"); },
       1, "Memo of record 1 of T.DBF damaged: field NOTES: the memo's length 3 is shorter than its 8-byte block header"},
      {"a memo file shorter than its header",
       [](const rt_test::TempDir& d) { dbase3(d), test_support::truncateFile(d / "T.DBT", 100); }, 1,
       notOpened("its memo file T.DBT: the memo file is shorter than its 512 bytes header (100 bytes)")},
  };
  return all;
}

void prepare(const rt_test::TempDir& dir, const Case& c) {
  c.lay(dir);
  dir.write("T.CSV", kPrevious);
}

void checkEnding(const Ending& e, const rt_test::TempDir& dir, const Case& c) {
  SCOPED_TRACE(c.name);
  EXPECT_TRUE(reliability::endedProperly(e, "T.DBF", "T.DBF"));
  EXPECT_EQ(e.exitCode, c.exitCode);
  if (c.toldOrLogged.back() == '\n') {
    EXPECT_EQ(e.told, c.toldOrLogged);
  } else {
    EXPECT_EQ(reliability::logDescription(e.log), c.toldOrLogged);
    EXPECT_TRUE(reliability::toldTheError(e.told, c.toldOrLogged));
  }
  if (e.exitCode != 0) {
    EXPECT_EQ(rt_test::readFile(dir / "T.CSV"), kPrevious);
  }
}

TEST(HostileTables, EachEndsAsItsDamageCallsFor) {
  for (const Case& c : cases()) {
    rt_test::TempDir dir;
    prepare(dir, c);
    checkEnding(reliability::runInProcess(dir.path(), {"T.DBF"}), dir, c);
  }
}

TEST(HostileTables, TheBuiltProgramEndsAlikeWithinItsLimits) {
  std::vector<std::unique_ptr<rt_test::TempDir>> dirs;
  std::vector<test_support::ProgramJob> jobs;
  for (const Case& c : cases()) {
    dirs.push_back(std::make_unique<rt_test::TempDir>());
    prepare(*dirs.back(), c);
    jobs.push_back({dirs.back()->path(), {"T.DBF"}, std::nullopt, std::nullopt});
  }
  const std::vector<test_support::ProgramRun> runs =
      test_support::runPrograms(jobs, test_support::Limits::forThisBuild());
  for (std::size_t i = 0; i < runs.size(); ++i) {
    checkEnding(reliability::endingOf(runs[i], dirs[i]->path()), *dirs[i], cases()[i]);
  }
}

}  // namespace
