#include "tests/support/test_dialog.hpp"

#include "platform/rt/strings.hpp"

namespace test_support {

TestDialog::TestDialog() {
  addLabel(2, "Name");
  addEntry(cName, "cName", "@!@K", "Type a name.;;Not BAD.");
  elements.back().validation = [this] {
    ++validations;
    if (cName.text().rfind("BAD", 0) != 0) return true;
    ui::toolkit().guiAlert("NOT THAT ONE.", "Alert", "11.Courier New Bold");
    return false;
  };
  addLabel(4, "Again");
  addEntry(lYes, "lYes", "Y", "Yes or no.");
}

void TestDialog::addLabel(int row, const std::string& caption) {
  ui::Element label;
  label.caption = caption;
  label.row = row;
  label.column = 5;
  label.font = "10.Courier New Bold";
  elements.push_back(label);
}

void TestDialog::addEntry(rt::Value& var, const std::string& name, const std::string& picture,
                          const std::string& help) {
  ui::Element e;
  e.kind = ui::Element::Kind::Entry;
  e.link = &var;
  e.name = name;
  e.id = "GET_" + rt::upper(name);
  e.picture = picture;
  e.labelIndex = static_cast<int>(elements.size());
  e.help = help;
  elements.push_back(e);
}

}  // namespace test_support
