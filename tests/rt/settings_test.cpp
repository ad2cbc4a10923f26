#include "platform/rt/settings.hpp"
#include "platform/rt/settings_test_helper.hpp"

#include <gtest/gtest.h>

namespace {

class SettingsTest : public testing::Test {
 protected:
  void SetUp() override { rt::resetSettings(); }
  void TearDown() override { rt::resetSettings(); }
};


TEST_F(SettingsTest, SetReturnsThePreviousValue) {
  EXPECT_FALSE(rt::set(rt::Set::Deleted, true).logical());
  EXPECT_TRUE(rt::set(rt::Set::Deleted, false).logical());
  EXPECT_TRUE(rt::set(rt::Set::DbLayer, 2).isNil());
  EXPECT_EQ(rt::set(rt::Set::DbLayer).num(), 2);
}

TEST_F(SettingsTest, SwitchesTakeOnAndOff) {
  rt::set(rt::Set::Console, "OFF");
  EXPECT_TRUE(rt::set(rt::Set::Console).isLogical());
  EXPECT_FALSE(rt::set(rt::Set::Console).logical());
  rt::set(rt::Set::Console, " on ");
  EXPECT_TRUE(rt::set(rt::Set::Console).logical());
  rt::set(rt::Set::DateFormat, "ON");  // not a switch: kept as given
  EXPECT_EQ(rt::set(rt::Set::DateFormat).text(), "ON");
}

TEST_F(SettingsTest, NumbersOutsideTheTableAreNil) {
  EXPECT_TRUE(rt::set(static_cast<rt::Set>(99)).isNil());
  EXPECT_TRUE(rt::set(static_cast<rt::Set>(99), 1).isNil());
  EXPECT_TRUE(rt::set(static_cast<rt::Set>(0)).isNil());
}

}  // namespace
