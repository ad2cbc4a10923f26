#include "platform/rt/settings.hpp"

#include <array>
#include <cctype>

#include "platform/rt/lineout.hpp"
#include "platform/rt/settings_test_helper.hpp"

namespace rt {

namespace {

constexpr int kSlots = static_cast<int>(Set::DbLayer) + 1;

std::array<Value, kSlots> startValues() {
  std::array<Value, kSlots> v;
  auto at = [&v](Set s) -> Value& { return v[static_cast<size_t>(s)]; };
  at(Set::Exact) = false;
  at(Set::Decimals) = 2;
  at(Set::DateFormat) = "mm/dd/yy";
  at(Set::Epoch) = 1900;
  at(Set::Exclusive) = true;
  at(Set::Deleted) = false;
  at(Set::Cancel) = true;
  at(Set::Console) = true;
  at(Set::Alternate) = false;
  at(Set::AltFile) = "";
  at(Set::Extra) = false;
  at(Set::ExtraFile) = "";
  at(Set::Printer) = false;
  at(Set::PrintFile) = "";
  at(Set::Scoreboard) = true;
  at(Set::Century) = false;
  return v;
}

std::array<Value, kSlots>& slots() {
  static std::array<Value, kSlots> values = startValues();
  return values;
}

bool inRange(Set which) {
  int n = static_cast<int>(which);
  return n > 0 && n < kSlots;
}

// A switch given as "ON"/"OFF" (any case, blanks around) is stored as the
// logical it names; other texts are kept as given.
Value asSwitch(const Value& value) {
  if (!value.isString()) return value;
  std::string word;
  for (char c : value.text())
    if (c != ' ') word += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (word == "ON") return true;
  if (word == "OFF") return false;
  return value;
}


bool isOutputFile(Set which) {
  return which == Set::AltFile || which == Set::ExtraFile || which == Set::PrintFile;
}

// Switching four-digit years on or off rewrites the year of the date format,
// as the xBase runtimes do: "mm/dd/yy" becomes "mm/dd/yyyy" and back.
void followCentury(bool on) {
  Value& format = slots()[static_cast<size_t>(Set::DateFormat)];
  if (!format.isString()) return;
  std::string f = format.text();
  size_t pos = f.find("yyyy");
  if (on && pos == std::string::npos && (pos = f.find("yy")) != std::string::npos) f.insert(pos, "yy");
  else if (!on && pos != std::string::npos) f.erase(pos, 2);
  format = f;
}

}  // namespace

Value set(Set which) { return inRange(which) ? slots()[static_cast<size_t>(which)] : Value(); }

Value set(Set which, const Value& value, bool additive) {
  if (!inRange(which)) return Value();
  Value& slot = slots()[static_cast<size_t>(which)];
  Value previous = slot;
  if (isOutputFile(which)) {
    // The old file is closed first; the name stands only once its file is open.
    slot = std::string();
    std::string name = value.isString() ? value.text() : std::string();
    if (openOutputFile(which, name, additive)) slot = value;
    return previous;
  }
  slot = previous.isLogical() ? asSwitch(value) : value;
  if (which == Set::Century && slot.isLogical()) followCentury(slot.logical());
  return previous;
}

void resetSettings() {
  for (Set file : {Set::AltFile, Set::ExtraFile, Set::PrintFile}) (void)openOutputFile(file, "", false);
  slots() = startValues();
}

}  // namespace rt
