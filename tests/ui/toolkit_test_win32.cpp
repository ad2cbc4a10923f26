// The backend choice's fallback on Windows: what it would be without the
// variable, its own dialogs where a window can be made.
#include <gtest/gtest.h>

#include "platform/ui/toolkit.hpp"
#include "tests/support/test_environment.hpp"

namespace {

TEST(MakeToolkitWin32, AnUnknownBackendIsReportedAndTheChoiceFallsBack) {
  test_support::setEnvironment("DBF2CSV_UI", "");
  testing::internal::CaptureStderr();
  const std::string unset = ui::makeToolkit()->name();
  test_support::setEnvironment("DBF2CSV_UI", "curses");
  auto t = ui::makeToolkit();
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(said, "dbf2csv: DBF2CSV_UI=curses is not available here (use win32, terminal or headless)\n");
  // As if the variable were not set: under Wine without a display, where
  // no window can be made and standard error is captured, unattended.
  EXPECT_EQ(t->name(), unset);
  test_support::setEnvironment("DBF2CSV_UI", "headless");
}

}  // namespace
