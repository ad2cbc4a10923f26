// The rules every dialog backend shares: pictures, font names, the confirm
// box's button sets and icons.
#include <gtest/gtest.h>

#include "platform/ui/font_name.hpp"
#include "platform/ui/message_box.hpp"
#include "platform/ui/picture.hpp"

namespace {

TEST(Picture, FunctionsComeFirstAfterAnAt) {
  struct Case {
    const char* picture;
    bool upperCase, clearOnFirstKey;
  };
  const Case cases[] = {
      {"@!@K", true, true},   {"@!K", true, true},   {"@K", false, true},  {"@!", true, false},
      {"Y", false, false},    {"!XXX", false, false}, {"@K !!!", false, true},
      {"", false, false},     {"@k", false, true},
  };
  for (const Case& c : cases) {
    const ui::Picture p = ui::Picture::parse(c.picture);
    EXPECT_EQ(p.upperCase, c.upperCase) << c.picture;
    EXPECT_EQ(p.clearOnFirstKey, c.clearOnFirstKey) << c.picture;
  }
}

TEST(Picture, UpperCaseChangesOnlyAsciiLetters) {
  const std::string typed = "c:\\data\\orders_\xc3\xa9.dbf";
  EXPECT_EQ(ui::Picture::parse("@!@K").shape(typed), "C:\\DATA\\ORDERS_\xc3\xa9.DBF");
  EXPECT_EQ(ui::Picture::parse("@K").shape(typed), typed);
}

TEST(FontName, PointsFamilyAndStyleWords) {
  struct Case {
    const char* name;
    int points;
    const char* family;
    bool bold, italic, fixedPitch;
  };
  const Case cases[] = {
      {"11.Courier New Bold", 11, "Courier New", true, false, true},
      {"10.Arial Italic Bold", 10, "Arial", true, true, false},
      {"10.courier new bold italic", 10, "courier new", true, true, true},
      {"9.Bold", 9, "Bold", false, false, false},  // the family is never taken for a style
      {"12.", 12, "", false, false, false},
      {"8.Lucida Console", 8, "Lucida Console", false, false, true},
  };
  for (const Case& c : cases) {
    const std::optional<ui::FontName> face = ui::parseFontName(c.name);
    ASSERT_TRUE(face.has_value()) << c.name;
    EXPECT_EQ(face->points, c.points) << c.name;
    EXPECT_EQ(face->family, c.family) << c.name;
    EXPECT_EQ(face->bold, c.bold) << c.name;
    EXPECT_EQ(face->italic, c.italic) << c.name;
    EXPECT_EQ(face->fixedPitch, c.fixedPitch) << c.name;
  }
}

TEST(FontName, ANameWithoutPositivePointsIsNoFont) {
  for (const char* name : {"", "Courier New", ".Arial", "0.Arial", "-3.Arial", "x.Arial", "1x.Arial"}) {
    EXPECT_FALSE(ui::parseFontName(name).has_value()) << name;
  }
}


TEST(MessageBox, TheIconIsTheIconBitsOfTheStyleWord) {
  const std::pair<int, ui::Icon> cases[] = {
      {131088, ui::Icon::Error},       {131120, ui::Icon::Warning}, {64, ui::Icon::Information},
      {32 + 65536, ui::Icon::Question}, {131072, ui::Icon::None},    {0x70, ui::Icon::None},
  };
  for (const auto& [style, icon] : cases) EXPECT_EQ(ui::iconOf(style), icon) << style;
  EXPECT_EQ(ui::styleWord(ui::Icon::Warning, 131072), 131120);
}

}  // namespace
