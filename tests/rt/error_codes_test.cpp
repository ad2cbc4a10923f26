#include "platform/rt/error_codes.hpp"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/rt/status.hpp"

namespace {


TEST(ErrorCodesTest, DamagedBytesAreNotRetried) {
  for (auto c : {rt::Condition::HeaderDamaged, rt::Condition::RecordBeyondEnd, rt::Condition::MemoOutOfRange,
                 rt::Condition::MemoLoop, rt::Condition::MemoDamaged, rt::Condition::TableVersion}) {
    const auto& info = rt::conditionInfo(c);
    EXPECT_EQ(info.condition, c);
    EXPECT_FALSE(info.canRetry) << info.description;
    EXPECT_EQ(info.canDefault, info.byDefault != nullptr) << info.description;
  }
}

TEST(ErrorCodesTest, EveryDefaultableConditionSaysWhatItsDefaultIs) {
  for (int i = 0; i <= static_cast<int>(rt::Condition::TableReadOnly); ++i) {
    const auto& info = rt::conditionInfo(static_cast<rt::Condition>(i));
    EXPECT_EQ(static_cast<int>(info.condition), i);
    EXPECT_EQ(info.canDefault || info.canSubstitute, info.byDefault != nullptr) << info.description;
    EXPECT_GT(info.subCode, 0);
    EXPECT_NE(std::strlen(info.subSystem), 0u);
  }
}

TEST(ErrorCodesTest, MakeErrorFillsTheObject) {
  auto e = rt::makeError(rt::Condition::MemoOutOfRange, "/data/ORDERS.FPT", "FIELDGET", 0,
                         rt::Value(rt::Array{3}), {"77", "12"});
  EXPECT_EQ(e->description, "Memo block 77 of record 12 lies outside the memo file");
  EXPECT_EQ(e->fileName, "/data/ORDERS.FPT");
  EXPECT_EQ(e->operation, "FIELDGET");
  EXPECT_EQ(e->subSystem, "DBF");
  EXPECT_EQ(e->genCode, 32);
  EXPECT_EQ(e->severity, 2);
  EXPECT_EQ(e->tries, 0);
  EXPECT_TRUE(e->args.isArray());
  auto missing = rt::makeError(rt::Condition::MemoLoop, {}, {}, 0, rt::Value(), {"5"});
  EXPECT_EQ(missing->description, "Memo chain of record 5 loops at block ");
  EXPECT_TRUE(missing->args.isNil());
}

TEST(ErrorCodesTest, AStatusTakesItsKindFromTheOsCode) {
  const std::pair<int, rt::StatusCode> cases[] = {
      {0, rt::StatusCode::Ok},         {2, rt::StatusCode::NotFound},      {3, rt::StatusCode::BadPath},
      {5, rt::StatusCode::AccessDenied}, {32, rt::StatusCode::Locked},     {33, rt::StatusCode::Locked},
      {80, rt::StatusCode::Exists},    {112, rt::StatusCode::DiskFull},    {223, rt::StatusCode::TooLarge},
      {30, rt::StatusCode::SystemError}, {10000 + 104, rt::StatusCode::SystemError},
  };
  for (const auto& [osCode, code] : cases) EXPECT_EQ(rt::statusCodeOf(osCode), code) << osCode;

  const rt::Status damaged = rt::Status::corrupt("the header is short");
  EXPECT_EQ(damaged.code(), rt::StatusCode::Corrupt);
  EXPECT_EQ(damaged.osCode(), 0);
  EXPECT_EQ(damaged.message(), "the header is short");
  EXPECT_TRUE(rt::Status::ok().isOk());
  EXPECT_EQ(rt::Status::ok().message(), "");
}

}  // namespace
