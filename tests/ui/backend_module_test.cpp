// The Qt backend as a module of the built program: loaded when the qt
// backend is chosen, never mapped by a run that needs no windows. The
// dynamic loader's own trace (LD_DEBUG=files) tells which libraries a run
// loaded.
#include <cstdio>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/ui/backend_module.hpp"

namespace {

namespace fs = std::filesystem;

struct Traced {
  int status = -1;
  std::string output;  // standard output and error, the loader's trace among them
};

Traced runTraced(const std::string& ui) {
  // Under the sanitizer build, what Qt's libraries keep for the life of the
  // process is not this test's concern.
  const std::string command = "DBF2CSV_UI=" + ui +
                              " QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0"
                              " LD_DEBUG=files '" + std::string(DBF2CSV_BIN) +
                              "' --version 2>&1 </dev/null";
  Traced t;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return t;
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) t.output.append(buf, n);
  t.status = ::pclose(pipe);
  return t;
}

// Whether the loader's trace has a line about loading `library`.
bool loads(const Traced& t, const std::string& library) {
  std::size_t start = 0;
  for (std::size_t end; (end = t.output.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = t.output.substr(start, end - start);
    if (line.find("file=") != std::string::npos && line.find(library) != std::string::npos) {
      return true;
    }
  }
  return false;
}

class BackendModule : public testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(fs::path(DBF2CSV_BIN).parent_path() / "dbf2csv-qt.so")) {
      GTEST_SKIP() << "built without Qt";
    }
  }
};

TEST_F(BackendModule, AHeadlessOrTerminalRunNeverMapsQt) {
  for (const char* ui : {"headless", "terminal"}) {
    const Traced t = runTraced(ui);
    EXPECT_EQ(t.status, 0) << ui << "\n" << t.output;
    EXPECT_FALSE(loads(t, "libQt6Core")) << ui;
    EXPECT_FALSE(loads(t, "dbf2csv-qt.so")) << ui;
  }
}

TEST_F(BackendModule, TheQtBackendLoadsWhenChosen) {
  const Traced t = runTraced("qt");
  EXPECT_EQ(t.status, 0) << t.output;
  EXPECT_TRUE(loads(t, "libQt6Widgets")) << t.output;
  EXPECT_EQ(t.output.find("cannot load"), std::string::npos) << t.output;
  EXPECT_EQ(t.output.find("is not available here"), std::string::npos) << t.output;
}

// The factory of a module that is not there gives no toolkit, so that the
// choice of backend goes on to the next one, and says nothing.
TEST(BackendModuleFactory, AMissingModuleGivesNoToolkit) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(ui::moduleBackend("no-such-backend")(), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
