// Every input that ever made a fuzz target crash, hang, leak or break a rule
// is kept under tests/fuzz/regressions/<target>/ and fed again, here, to the
// same entry function, built by whatever compiler builds the tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_entries.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

namespace fs = std::filesystem;

struct Target {
  const char* folder;
  std::function<bool(std::string_view)> soundOn;
};

const std::vector<Target>& targets() {
  static const std::vector<Target> all{
      {"table", [](std::string_view in) { return fuzz::isSound(fuzz::readWholeTable(in)); }},
      {"memo_dbt3",
       [](std::string_view in) { return fuzz::isSound(fuzz::readMemoTable(fuzz::MemoTarget::DbtIII, in)); }},
      {"memo_dbt4",
       [](std::string_view in) { return fuzz::isSound(fuzz::readMemoTable(fuzz::MemoTarget::DbtIV, in)); }},
      {"memo_fpt",
       [](std::string_view in) { return fuzz::isSound(fuzz::readMemoTable(fuzz::MemoTarget::Fpt, in)); }},
      {"job_split", [](std::string_view in) { return fuzz::splitJobFile(in); }},
      {"code_page_guess", [](std::string_view in) { return fuzz::guessFromBytes(in); }},
      {"condition", [](std::string_view in) { return fuzz::evaluateCondition(in); }},
  };
  return all;
}

std::vector<fs::path> keptInputs(const char* folder) {
  std::vector<fs::path> files;
  const fs::path dir = fs::path(DBF2CSV_FUZZ_REGRESSIONS) / folder;
  if (!fs::is_directory(dir)) return files;
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.is_regular_file() && entry.path().filename().string()[0] != '.') files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

TEST(FuzzRegressions, EveryKeptInputIsReadSoundly) {
  std::size_t replayed = 0;
  for (const Target& target : targets()) {
    for (const fs::path& input : keptInputs(target.folder)) {
      SCOPED_TRACE(input.string());
      EXPECT_TRUE(target.soundOn(rt_test::readFile(input)));
      ++replayed;
    }
  }
  // The folder travels with the sources: an empty replay means it went missing.
  EXPECT_GT(replayed, 0u);
}

}  // namespace
