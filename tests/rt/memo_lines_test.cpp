#include "platform/rt/memo_lines.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rt/strings.hpp"

namespace {

// Every line of `text` at `width`, trailing blanks removed.
std::vector<std::string> wrapped(const std::string& text, int width, bool wordWrap = true) {
  std::vector<std::string> lines;
  int count = rt::mlCount(text, width, 4, wordWrap);
  for (int i = 1; i <= count; ++i) lines.push_back(rt::trim(rt::memoLine(text, width, i, 4, wordWrap)));
  return lines;
}

using Lines = std::vector<std::string>;

struct WrapCase {
  const char* text;
  int width;
  Lines lines;
};

TEST(MemoLinesTest, WordWrapTakesWholeWords) {
  const WrapCase cases[] = {
      {"", 10, {}},
      {"short", 10, {"short"}},
      {"the quick brown fox", 10, {"the quick", "brown fox"}},
      {"the quick brown fox", 9, {"the quick", "brown fox"}},
      {"abcdefghij klm", 10, {"abcdefghij", "klm"}},
      {"abcdefghijklmno", 10, {"abcdefghij", "klmno"}},
      {"one\r\ntwo", 10, {"one", "two"}},
      {"one\r\n\r\ntwo", 10, {"one", "", "two"}},
      {"one\ntwo\rthree", 10, {"one", "two", "three"}},
      {"one\r\n", 10, {"one"}},
      {"abcdefghij\r\nk", 10, {"abcdefghij", "k"}},
      {"abcdefghij \r\nk", 10, {"abcdefghij", "k"}},
      {"a\tb", 10, {"a   b"}},
      {"one \x8d\ntwo", 20, {"one  two"}},
      {"aa bb cc dd", 5, {"aa bb", "cc dd"}},
  };
  for (const auto& c : cases) EXPECT_EQ(wrapped(c.text, c.width), c.lines) << c.text;
}

TEST(MemoLinesTest, LinesNeverExceedTheWidth) {
  std::string text =
      "Error DBF/4102;Memo block 99999 of record 12 lies outside the memo file of a "
      "very long table name that goes on and on";
  for (int width : {1, 7, 20, 50}) {
    int count = rt::mlCount(text, width);
    EXPECT_GT(count, 0);
    for (int i = 1; i <= count; ++i) EXPECT_EQ(rt::memoLine(text, width, i).size(), static_cast<size_t>(width));
    std::string rejoined;
    for (const auto& line : wrapped(text, width)) rejoined += line;
    std::string squeezed = rt::strTran(text, " ");
    EXPECT_EQ(rt::strTran(rejoined, " "), squeezed) << "width " << width;
  }
}

TEST(MemoLinesTest, WithoutWordWrapLinesAreCut) {
  EXPECT_EQ(wrapped("the quick brown", 6, false), (Lines{"the qu", "ick br", "own"}));
}

TEST(MemoLinesTest, MemoLineIsBlankFilledAndEmptyBeyondTheEnd) {
  EXPECT_EQ(rt::memoLine("ab cd", 4, 1), "ab  ");
  EXPECT_EQ(rt::memoLine("ab cd", 4, 2), "cd  ");
  EXPECT_EQ(rt::memoLine("ab cd", 4, 3), "");
  EXPECT_EQ(rt::memoLine("ab cd", 4, 0), "");
}

TEST(MemoLinesTest, HardCrTurnsSoftReturnsIntoCarriageReturns) {
  EXPECT_EQ(rt::hardCr("one\x8d\ntwo\x8dthree"), "one\r\ntwo\rthree");
  EXPECT_EQ(rt::hardCr("plain"), "plain");
}

}  // namespace
