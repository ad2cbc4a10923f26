// The backend choice's fallback on Windows: its own dialogs.
#include <gtest/gtest.h>

#include "platform/ui/toolkit.hpp"
#include "tests/support/test_environment.hpp"

namespace {

TEST(MakeToolkitWin32, AnUnknownBackendIsReportedAndTheChoiceFallsBackToTheDialogs) {
  test_support::setEnvironment("DBF2CSV_UI", "curses");
  testing::internal::CaptureStderr();
  auto t = ui::makeToolkit();
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(said, "dbf2csv: DBF2CSV_UI=curses is not available here (use win32, terminal or headless)\n");
  // Windows always has its dialogs.
  EXPECT_EQ(t->name(), "win32");
  test_support::setEnvironment("DBF2CSV_UI", "headless");
}

}  // namespace
