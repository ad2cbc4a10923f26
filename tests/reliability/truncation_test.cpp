// Real tables of each family and their memo files cut at every length: each
// run of the program ends with exit code 0 or 1 by the rule of
// program_runs.hpp, and a failed run leaves the previous output as it was.
// Every length runs inside the test process; a spread of lengths also runs
// as the built binary, under the time and memory limits.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/rt/strings.hpp"
#include "tests/reliability/program_runs.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

namespace fs = std::filesystem;

using reliability::Ending;

const std::string kPrevious = "\"previous\"\r\n";

struct CorpusTable {
  const char* folder;
  const char* table;
  const char* memo;  // nullptr: none
};

// Small tables of each family and memo layout.
const CorpusTable kTables[] = {
    {"incubus-DBD-XBase", "test.dbf", "test.dbt"},        // dBase III, DBT of dBase III
    {"infused-dbf", "dbase_8b.dbf", "dbase_8b.dbt"},      // dBase IV, DBT of dBase IV
    {"incubus-DBD-XBase", "afox5.dbf", "afox5.FPT"},      // Visual FoxPro, FPT
    {"olemb-dbfread", "memotest.dbf", "memotest.FPT"},    // FPT of 512-byte blocks, a deleted record
    {"incubus-DBD-XBase", "types.dbf", nullptr},          // currency and datetime
    {"albfernandez-javadbf", "test_delete.dbf", nullptr}, // dBase 7
};

std::string corpusFile(const CorpusTable& t, const char* name) {
  return std::string(DBF2CSV_CORPUS_DIR) + "/" + t.folder + "/" + name;
}

// The command-line name of a table and the output name it gives.
std::string upperStem(const char* name) {
  return rt::upper(fs::path(name).stem().string());
}

// A directory holding the table and its memo file, `cut` of them cut short,
// and a previous output.
struct Layout {
  const CorpusTable& table;
  bool cutMemo;
  std::size_t length;
};

void lay(const rt_test::TempDir& dir, const Layout& l) {
  for (const auto& entry : fs::directory_iterator(dir.path())) fs::remove(entry.path());
  std::string table = rt_test::readFile(corpusFile(l.table, l.table.table));
  std::string memo = l.table.memo ? rt_test::readFile(corpusFile(l.table, l.table.memo)) : "";
  (l.cutMemo ? memo : table).resize(l.length);
  dir.write(l.table.table, table);
  if (l.table.memo) dir.write(l.table.memo, memo);
  dir.write(upperStem(l.table.table) + ".CSV", kPrevious);
}

testing::AssertionResult keptTheRule(const Ending& e, const rt_test::TempDir& dir, const Layout& l) {
  const std::string stem = upperStem(l.table.table);
  testing::AssertionResult proper = reliability::endedProperly(e, stem + ".DBF", l.table.table);
  if (!proper) return proper << "\n" << l.table.table << (l.cutMemo ? " memo" : " table") << " cut at " << l.length;
  const std::string csv = rt_test::readFile(dir / (stem + ".CSV"));
  if (e.exitCode == 1 && csv != kPrevious) {
    return testing::AssertionFailure() << "the previous output changed; " << l.table.table << " cut at " << l.length;
  }
  return testing::AssertionSuccess();
}

std::vector<Layout> everyLength(const CorpusTable& t, bool memo) {
  std::vector<Layout> all;
  const std::size_t size = fs::file_size(corpusFile(t, memo ? t.memo : t.table));
  for (std::size_t n = 0; n < size; ++n) all.push_back({t, memo, n});
  return all;
}

// Lengths around the places where a reader changes what it reads: the
// first bytes, the header's end, the first record, the middle, the end; for a
// memo file its 512-byte header and the first blocks.
std::vector<Layout> spreadOfLengths(const CorpusTable& t, bool memo) {
  const std::size_t size = fs::file_size(corpusFile(t, memo ? t.memo : t.table));
  const std::vector<std::size_t> marks = memo ? std::vector<std::size_t>{0, 8, 511, 512, 520, 600, size / 2, size - 1}
                                              : std::vector<std::size_t>{0, 1, 31, 32, 64, size / 2, size - 2, size - 1};
  std::vector<Layout> some;
  for (std::size_t n : marks)
    if (n < size) some.push_back({t, memo, n});
  return some;
}

TEST(Truncation, EveryLengthOfTableAndMemoEndsByTheRule) {
  rt_test::TempDir dir;
  std::size_t runs = 0;
  for (const CorpusTable& t : kTables) {
    for (bool memo : {false, true}) {
      if (memo && !t.memo) continue;
      for (const Layout& l : everyLength(t, memo)) {
        lay(dir, l);
        const testing::AssertionResult kept = keptTheRule(reliability::runInProcess(dir.path(), {l.table.table}), dir, l);
        ++runs;
        if (!kept) {
          ADD_FAILURE() << kept.message();
          break;  // one report per file is enough
        }
      }
    }
  }
  EXPECT_GT(runs, 10000u);
}

TEST(Truncation, TheBuiltProgramStaysWithinItsLimits) {
  std::vector<std::unique_ptr<rt_test::TempDir>> dirs;
  std::vector<Layout> layouts;
  std::vector<test_support::ProgramJob> jobs;
  for (const CorpusTable& t : kTables) {
    for (bool memo : {false, true}) {
      if (memo && !t.memo) continue;
      for (const Layout& l : spreadOfLengths(t, memo)) {
        dirs.push_back(std::make_unique<rt_test::TempDir>());
        lay(*dirs.back(), l);
        layouts.push_back(l);
        jobs.push_back({dirs.back()->path(), {l.table.table}, std::nullopt, std::nullopt});
      }
    }
  }
  const std::vector<test_support::ProgramRun> runs =
      test_support::runPrograms(jobs, test_support::Limits::forThisBuild());
  for (std::size_t i = 0; i < runs.size(); ++i) {
    EXPECT_TRUE(keptTheRule(reliability::endingOf(runs[i], dirs[i]->path()), *dirs[i], layouts[i]));
  }
}

}  // namespace
