// The error numbers and texts on a POSIX system: errno values numbered as
// DOS numbers them, the C library's texts.
#include <cerrno>
#include <cstring>

#include <gtest/gtest.h>

#include "platform/rt/error_codes.hpp"
#include "platform/rt/status.hpp"

namespace {

TEST(ErrorCodesPosixTest, OsCodesUseTheDosNumbering) {
  EXPECT_EQ(rt::osCodeOfSystemError(0), 0);
  EXPECT_EQ(rt::osCodeOfSystemError(ENOENT), 2);
  EXPECT_EQ(rt::osCodeOfSystemError(EACCES), 5);
  EXPECT_EQ(rt::osCodeOfSystemError(EAGAIN), 32);
  EXPECT_EQ(rt::osCodeOfSystemError(ENOSPC), 112);
  EXPECT_EQ(rt::osCodeOfSystemError(ECONNRESET), 10000 + ECONNRESET);
  EXPECT_EQ(rt::makeError(rt::Condition::FileOpen, "x", "FOPEN", 5)->osCode, 5);
}

TEST(ErrorCodesPosixTest, ASystemFailureTakesItsKindAndTextFromErrno) {
  const rt::Status full = rt::systemFailure(ENOSPC);
  EXPECT_EQ(full.code(), rt::StatusCode::DiskFull);
  EXPECT_EQ(full.osCode(), 112);
  EXPECT_EQ(full.message(), std::strerror(ENOSPC));
  const rt::Status held = rt::Status::fromOsCode(32);
  EXPECT_EQ(held.code(), rt::StatusCode::Locked);
  EXPECT_EQ(held.message(), "The file is in use by another process");
}

TEST(ErrorCodesPosixTest, DosErrorMessageGivesTheSystemsText) {
  EXPECT_EQ(rt::dosErrorMessage(0), "");
  EXPECT_EQ(rt::dosErrorMessage(2), std::strerror(ENOENT));
  EXPECT_EQ(rt::dosErrorMessage(5), std::strerror(EACCES));
  EXPECT_EQ(rt::dosErrorMessage(112), std::strerror(ENOSPC));
  EXPECT_EQ(rt::dosErrorMessage(10000 + ECONNRESET), std::strerror(ECONNRESET));
  EXPECT_EQ(rt::dosErrorMessage(32), "The file is in use by another process");
  EXPECT_EQ(rt::dosErrorMessage(9999), "Unknown operating system error 9999");
}

}  // namespace
