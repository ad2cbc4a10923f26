// The error numbers and texts on Windows: the system's own numbers are the
// DOS ones, its texts are the system's.
#include <windows.h>

#include <set>
#include <string>

#include <gtest/gtest.h>

#include "platform/rt/error_codes.hpp"
#include "platform/rt/status.hpp"

namespace {

TEST(ErrorCodesWin32Test, OsCodesAreTheSystemsOwnNumbers) {
  for (int code : {0, 2, 3, 5, 32, 33, 80, 112, 10054}) EXPECT_EQ(rt::osCodeOfSystemError(code), code);
  const rt::Status full = rt::systemFailure(ERROR_DISK_FULL);
  EXPECT_EQ(full.code(), rt::StatusCode::DiskFull);
  EXPECT_EQ(full.osCode(), 112);
  EXPECT_EQ(full.message(), rt::dosErrorMessage(112));
  const rt::Status held = rt::systemFailure(ERROR_SHARING_VIOLATION);
  EXPECT_EQ(held.code(), rt::StatusCode::Locked);
  EXPECT_EQ(held.osCode(), 32);
}

// The texts are the system's (they differ between Windows versions and
// languages): one sentence each, without the period and line end the
// system puts after it.
TEST(ErrorCodesWin32Test, DosErrorMessageGivesTheSystemsText) {
  EXPECT_EQ(rt::dosErrorMessage(0), "");
  std::set<std::string> texts;
  for (int code : {2, 3, 5, 32, 112}) {
    const std::string text = rt::dosErrorMessage(code);
    ASSERT_FALSE(text.empty()) << code;
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << code;
    EXPECT_NE(text.back(), '.') << code;
    EXPECT_EQ(text.find("Unknown"), std::string::npos) << code;
    texts.insert(text);
  }
  EXPECT_EQ(texts.size(), 5u);
  EXPECT_EQ(rt::dosErrorMessage(9999), "Unknown operating system error 9999");
}

}  // namespace
