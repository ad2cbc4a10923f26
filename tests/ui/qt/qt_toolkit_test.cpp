// Whether the Qt toolkit is offered at all: Qt ends the process when it
// cannot reach its display, so the backend must decline first.
#include <cstdlib>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/ui/qt/qt_toolkit.hpp"

namespace {

// Sets or unsets environment variables for the scope, then puts them back.
class ScopedEnvironment {
 public:
  ~ScopedEnvironment() {
    for (const auto& [name, value] : saved_) {
      if (value) setenv(name.c_str(), value->c_str(), 1);
      else unsetenv(name.c_str());
    }
  }
  void set(const std::string& name, const std::optional<std::string>& value) {
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    if (value) setenv(name.c_str(), value->c_str(), 1);
    else unsetenv(name.c_str());
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(QtToolkitChoice, OfferedOnlyWhereItsWindowsCanBeShown) {
  struct Case {
    std::optional<std::string> platform, display;
    bool offered;
  };
  std::vector<Case> cases = {
      {"offscreen", std::nullopt, true},  // a platform chosen by hand is taken as is
      {std::nullopt, std::nullopt, false},
  };
#ifdef DBF2CSV_HAVE_XCB
  cases.push_back({std::nullopt, ":4093", false});  // no X server there
#endif
  for (const Case& c : cases) {
    ScopedEnvironment env;
    env.set("QT_QPA_PLATFORM", c.platform);
    env.set("DISPLAY", c.display);
    env.set("WAYLAND_DISPLAY", std::nullopt);
    EXPECT_EQ(ui::makeQtToolkit() != nullptr, c.offered)
        << c.platform.value_or("-") << " " << c.display.value_or("-");
  }
}

}  // namespace
