// The backend choice's fallback on Linux: without a display, and with
// standard error not a terminal, nobody is there.
#include <gtest/gtest.h>

#include "platform/ui/toolkit.hpp"
#include "tests/support/test_environment.hpp"

namespace {

TEST(MakeToolkitPosix, AnUnknownBackendIsReportedAndTheChoiceFallsBack) {
  test_support::setEnvironment("DBF2CSV_UI", "curses");
  test_support::unsetEnvironment("DISPLAY");
  test_support::unsetEnvironment("WAYLAND_DISPLAY");
  testing::internal::CaptureStderr();
  auto t = ui::makeToolkit();
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(said, "dbf2csv: DBF2CSV_UI=curses is not available here (use qt, terminal or headless)\n");
  // Standard error is captured, not a terminal: nobody is there.
  EXPECT_EQ(t->name(), "headless");
  test_support::setEnvironment("DBF2CSV_UI", "headless");
}

}  // namespace
