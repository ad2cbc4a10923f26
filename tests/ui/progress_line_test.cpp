// The terminal progress line: its layout and how often it is drawn.
#include "platform/ui/terminal/progress_line.hpp"

#include <sstream>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using Time = std::chrono::steady_clock::time_point;

TEST(ProgressLine, ShowsCaptionBarPercentageAndCountAndTheKeptCountWhenAsked) {
  struct Case {
    std::uint64_t maximum, position;
    std::string line;
    std::string keptWord = "";
    std::uint64_t kept = 0;
  };
  const Case cases[] = {
      {1000, 0, "Creating A.CSV [..............................]   0% 0/1000"},
      {1000, 500, "Creating A.CSV [###############...............]  50% 500/1000"},
      {1000, 1000, "Creating A.CSV [##############################] 100% 1000/1000"},
      {3, 1, "Creating A.CSV [##########....................]  33% 1/3"},
      {0, 0, "Creating A.CSV [##############################] 100% 0/0"},
      {1000, 500, "Creating A.CSV [###############...............]  50% 500/1000, 12 written", "written", 12},
      {1000, 0, "Creating A.CSV [..............................]   0% 0/1000, 0 written", "written", 0},
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    ui::ProgressLine line(out, "Creating A.CSV", 80);
    line.configure(c.maximum, 10, c.keptWord);
    line.update(c.position, c.kept);
    EXPECT_EQ(line.format(c.position), c.line) << c.position << "/" << c.maximum;
  }
}

TEST(ProgressLine, ALongCaptionNarrowsTheBarThenLosesItsStart) {
  struct Case {
    int columns;
    std::string line;
  };
  const std::string caption = "Creating Delimited File /very/long/directory/name/ORDERS.CSV";
  const Case cases[] = {
      {120, caption + " [###############...............]  50% 50/100"},
      {90, caption + " [#######.......]  50% 50/100"},
      {60, ".../long/directory/name/ORDERS.CSV [#####.....]  50% 50/100"},
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    ui::ProgressLine line(out, caption, c.columns);
    line.configure(100, 10);
    const std::string drawn = line.format(50);
    EXPECT_EQ(drawn, c.line) << c.columns;
    EXPECT_LE(drawn.size(), static_cast<std::size_t>(c.columns - 1));
  }
}

class ProgressLineDrawing : public testing::Test {
 protected:
  Time now_{};
  std::ostringstream out_;
  ui::ProgressLine line_{out_, "C", 80, [this] { return now_; }};

  int draws() const {
    const std::string s = out_.str();
    return static_cast<int>(std::count(s.begin(), s.end(), '\r'));
  }
};

TEST_F(ProgressLineDrawing, RedrawsByTheStepAndAtMostTenTimesASecond) {
  line_.configure(1000, 10);
  line_.start();
  EXPECT_EQ(draws(), 1);
  line_.update(5);   // handed over, but too soon after the first draw
  EXPECT_EQ(draws(), 1);
  now_ += 150ms;
  line_.update(10);  // inside the step begun at 5: not handed over
  EXPECT_EQ(draws(), 1);
  line_.update(15);
  EXPECT_EQ(draws(), 2);
  now_ += 50ms;
  line_.update(25);
  EXPECT_EQ(draws(), 2);
  now_ += 60ms;
  line_.update(35);
  EXPECT_EQ(draws(), 3);
}

TEST_F(ProgressLineDrawing, AnInterruptionEndsTheLineAndTheNextDrawStartsANewOne) {
  line_.configure(100, 10);
  line_.start();
  line_.update(10);  // too soon: not drawn
  line_.interrupt();
  EXPECT_EQ(out_.str(),
            "\rC [..............................]   0% 0/100"
            "\rC [###...........................]  10% 10/100\n");
  out_ << "message\n";
  line_.update(20);  // first draw of the new line, however soon
  line_.finish();
  line_.update(30);  // after the window is gone: nothing
  EXPECT_EQ(out_.str(),
            "\rC [..............................]   0% 0/100"
            "\rC [###...........................]  10% 10/100\n"
            "message\n"
            "\rC [######........................]  20% 20/100"
            "\rC [######........................]  20% 20/100\n");
}

}  // namespace
