#include "platform/rt/dates.hpp"

#include <gtest/gtest.h>

#include <regex>

#include "platform/rt/settings.hpp"
#include "platform/rt/settings_test_helper.hpp"

namespace {

class DatesTest : public testing::Test {
 protected:
  void SetUp() override { rt::resetSettings(); }
  void TearDown() override { rt::resetSettings(); }
};

TEST_F(DatesTest, DtocFollowsTheDateFormat) {
  rt::Date d = rt::Date::fromYmd(1999, 12, 31);
  EXPECT_EQ(rt::dtoc(d), "12/31/99");
  rt::set(rt::Set::DateFormat, "mm/dd/yyyy");
  EXPECT_EQ(rt::dtoc(d), "12/31/1999");
  EXPECT_EQ(rt::dtoc(d, "dd.mm.yyyy"), "31.12.1999");
  EXPECT_EQ(rt::dtoc(d, "yyyy-mm-dd"), "1999-12-31");
  EXPECT_EQ(rt::dtoc(rt::Date::empty(), "mm/dd/yyyy"), "  /  /    ");
  EXPECT_EQ(rt::dtos(d), "19991231");
  EXPECT_EQ(rt::dtos(rt::Date::empty()), "        ");
}

TEST_F(DatesTest, CenturyRewritesTheYearOfTheFormat) {
  EXPECT_EQ(rt::set(rt::Set::DateFormat).text(), "mm/dd/yy");
  rt::set(rt::Set::Century, true);
  EXPECT_EQ(rt::set(rt::Set::DateFormat).text(), "mm/dd/yyyy");
  rt::set(rt::Set::Century, "OFF");
  EXPECT_EQ(rt::set(rt::Set::DateFormat).text(), "mm/dd/yy");
}

TEST_F(DatesTest, CtodPlacesTwoDigitYearsByTheEpoch) {
  EXPECT_EQ(rt::ctod("12/31/60", "mm/dd/yy", 1960).dtos(), "19601231");
  EXPECT_EQ(rt::ctod("01/02/59", "mm/dd/yy", 1960).dtos(), "20590102");
  EXPECT_EQ(rt::ctod("01/02/99", "mm/dd/yy", 1900).dtos(), "19990102");
  EXPECT_EQ(rt::ctod("02/29/2000", "mm/dd/yyyy", 1960).dtos(), "20000229");
  EXPECT_TRUE(rt::ctod("02/30/2000", "mm/dd/yyyy", 1960).isEmpty());
  EXPECT_TRUE(rt::ctod("  /  /    ", "mm/dd/yyyy", 1960).isEmpty());
  rt::set(rt::Set::Epoch, 1960);
  EXPECT_EQ(rt::ctod("03/04/05").dtos(), "20050304");
}

TEST_F(DatesTest, TodayAndTimeHaveTheirShapes) {
  EXPECT_TRUE(rt::date().isValid());
  EXPECT_TRUE(std::regex_match(rt::time(), std::regex("[0-2][0-9]:[0-5][0-9]:[0-6][0-9]")));
}

}  // namespace
