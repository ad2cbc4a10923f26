// The one main() of every test executable: a fixed, headless environment.
#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/support/test_environment.hpp"

int main(int argc, char** argv) {
  using test_support::setEnvironment;
  setEnvironment("LC_ALL", "C");
  setEnvironment("DBF2CSV_UI", "headless");
  setEnvironment("QT_QPA_PLATFORM", "offscreen", false);
  if (!std::getenv("XDG_RUNTIME_DIR")) {
    const std::string dir = test_support::privateRuntimeDir();
    if (!dir.empty()) setEnvironment("XDG_RUNTIME_DIR", dir);
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
