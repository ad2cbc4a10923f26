// The one main() of every test executable: a fixed, headless environment.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  setenv("LC_ALL", "C", 1);
  setenv("DBF2CSV_UI", "headless", 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (!std::getenv("XDG_RUNTIME_DIR")) {
    std::string dir = "/tmp/dbf2csv-test-xdg-" + std::to_string(getuid());
    mkdir(dir.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
