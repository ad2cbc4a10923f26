// The backend choice: DBF2CSV_UI overrides, an unknown name falls back.
#include "platform/ui/toolkit.hpp"

#include <cstdlib>

#include <gtest/gtest.h>

#include "platform/ui/headless/headless_toolkit.hpp"
#include "tests/support/test_environment.hpp"

namespace {

// Sets DBF2CSV_UI for one test and puts the headless choice of the test
// main back afterwards.
class UiVariable {
 public:
  explicit UiVariable(const char* value) { test_support::setEnvironment("DBF2CSV_UI", value); }
  ~UiVariable() { test_support::setEnvironment("DBF2CSV_UI", "headless"); }
};

class NamedToolkit : public ui::HeadlessToolkit {
 public:
  std::string name() const override { return "recorded"; }
};

TEST(MakeToolkit, TheVariableNamesTheBackend) {
  struct Case {
    const char* variable;
    const char* backend;
  };
  ui::registerBackend("recorded", [] { return std::make_unique<NamedToolkit>(); });
  for (const Case& c : {Case{"headless", "headless"}, Case{"terminal", "terminal"},
                        Case{"recorded", "recorded"}, Case{"HEADLESS", "headless"},
                        Case{"Terminal", "terminal"}, Case{"ReCorded", "recorded"}}) {
    UiVariable ui(c.variable);
    EXPECT_EQ(ui::makeToolkit()->name(), c.backend) << c.variable;
  }
}

TEST(SetToolkit, InstallsAndHandsBackThePreviousOne) {
  auto previous = ui::setToolkit(std::make_unique<NamedToolkit>());
  EXPECT_EQ(ui::toolkit().name(), "recorded");
  auto mine = ui::setToolkit(std::move(previous));
  EXPECT_EQ(mine->name(), "recorded");
  EXPECT_NE(ui::toolkit().name(), "recorded");
}

}  // namespace
