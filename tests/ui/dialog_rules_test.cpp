// The rules every dialog backend shares: pictures, the entry fields' edit
// model, font names, the confirm box's button sets and icons.
#include <gtest/gtest.h>

#include "platform/ui/edit_model.hpp"
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

ui::Element entry(rt::Value& var, const std::string& picture) {
  ui::Element e;
  e.kind = ui::Element::Kind::Entry;
  e.link = &var;
  e.picture = picture;
  return e;
}

TEST(FieldState, UnderAtKTheFirstKeyAfterEnteringClearsAndAfterAPickItEdits) {
  rt::Value name(std::string("OLD"));
  ui::Element e = entry(name, "@!@K");
  ui::FieldState f(e, false);
  f.enter();
  ui::FieldState::Edit first = f.key("a");
  EXPECT_TRUE(first.clearFirst);
  EXPECT_EQ(first.text, "A");
  EXPECT_FALSE(f.key("b").clearFirst);
  f.enter();
  f.moveCursor();
  EXPECT_FALSE(f.key("c").clearFirst);
  f.enter();
  EXPECT_EQ(f.pick("/data/Orders.dbf"), "/data/Orders.dbf");  // not typed: no "@!"
  EXPECT_TRUE(f.picked());
  EXPECT_FALSE(f.key("x").clearFirst);
  f.enter();  // entered again: armed again
  EXPECT_FALSE(f.picked());
  EXPECT_TRUE(f.key("").clearFirst);  // a deletion too
  f.store("AB");
  EXPECT_EQ(name.text(), "AB ");  // the variable's width kept
  ui::FieldState windows(e, true);
  EXPECT_EQ(windows.pick("/data/Orders.dbf"), "/DATA/ORDERS.DBF");
}

// The read flow with a view that records where it puts the person.
class RecordedFlow : public ui::ReadFlow {
 public:
  using ReadFlow::ReadFlow;
  std::vector<std::size_t> focused;
  int closed = 0;

 private:
  void focusField(std::size_t i, bool) override { focused.push_back(i); }
  void showText(std::size_t, const std::string&) override {}
  void closeWindow() override { ++closed; }
};

TEST(ReadFlow, AFieldRefusedWhenConfirmingIsEnteredAgainAndTheWindowStays) {
  rt::Value a(std::string("A")), b(std::string("B"));
  bool aGood = true;
  ui::ElementList elements{entry(a, "@K"), entry(b, "@K")};
  elements[0].validation = [&] { return aGood; };
  RecordedFlow flow(elements);
  flow.start();
  flow.leave(0, ui::ReadFlow::Leave::Enter);
  aGood = false;
  flow.leave(1, ui::ReadFlow::Leave::Enter);  // the last field: confirms
  EXPECT_EQ(flow.focused, (std::vector<std::size_t>{0, 1, 0}));
  EXPECT_EQ(flow.current(), 0u);
  EXPECT_FALSE(flow.finished());
  EXPECT_TRUE(flow.field(0).key("x").clearFirst);  // entered anew
  aGood = true;
  flow.confirm();
  EXPECT_TRUE(flow.accepted());
  flow.cancel();  // a late cancel changes nothing
  EXPECT_TRUE(flow.accepted());
  EXPECT_EQ(flow.closed, 1);
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
