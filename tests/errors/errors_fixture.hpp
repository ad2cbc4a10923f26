// What the error-handling tests share: a scripted toolkit that also plays
// the text cursor and the console window, a fresh current directory with the
// runtime settings at their start values, and runners that tell how a call
// ended (returned, broke, or ended the program).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/rt/error_block.hpp"
#include "platform/rt/lineout_test_helper.hpp"
#include "platform/rt/program_end.hpp"
#include "platform/rt/lineout.hpp"
#include "platform/rt/settings.hpp"
#include "platform/rt/settings_test_helper.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/fake_toolkit.hpp"

namespace errors_test {

// The scripted toolkit with a text cursor that every alert moves, and a
// switch for an application window that is the text console.
class CursorToolkit : public testing_support::FakeToolkit {
 public:
  std::pair<int, int> cursorAt{5, 7};
  bool consoleWindow = false;

  int textAlert(const std::string& text, const std::vector<std::string>& options) override {
    cursorAt = {24, 0};  // an alert draws over the screen and leaves the cursor below it
    return FakeToolkit::textAlert(text, options);
  }
  std::pair<int, int> cursor() const override { return cursorAt; }
  void setCursor(int row, int column) override { cursorAt = {row, column}; }
  bool appWindowIsConsole() const override { return consoleWindow; }
};

// How a call into the error module ended.
struct Outcome {
  enum Kind { Returned, Broke, Quit } kind = Returned;
  rt::Value value;  // what it returned, or the break value
};

template <class F>
Outcome runToEnd(F&& f) {
  Outcome out;
  try {
    rt::sequence([&] { out.value = f(); },
                 [&](const rt::Value& v) { out = Outcome{Outcome::Broke, v}; });
  } catch (rt::QuitSignal&) {
    out.kind = Outcome::Quit;
  }
  return out;
}

// Each test runs in a fresh current directory with the start settings, the
// exit code 0, no database session, and the console captured.
class ErrorsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto kit = std::make_unique<CursorToolkit>();
    kit_ = kit.get();
    previousKit_ = ui::setToolkit(std::move(kit));
    rt::resetSettings();
    rt::set(rt::Set::DateFormat, "mm/dd/yyyy");
    rt::errorLevel(0);
    rt::setConsoleWriter([this](std::string_view s) { console_ += s; });
    dir_.enter();
  }
  void TearDown() override {
    rt::resetSettings();
    rt::setConsoleWriter({});
    rt::errorLevel(0);
    ui::setToolkit(std::move(previousKit_));
  }

  // The toolkit of a windowed program, or of text mode with or without an
  // application window.
  void windowed() { kit_->kitMode = ui::Mode::Windowed; }
  void textMode(bool window) {
    kit_->kitMode = ui::Mode::Text;
    kit_->appWindow = window;
  }

  std::string logFile(const std::string& name = "APPERROR.LOG") const {
    return rt_test::readFile(dir_ / name);
  }

  CursorToolkit* kit_ = nullptr;
  std::string console_;
  rt_test::TempDir dir_;

 private:
  std::unique_ptr<ui::Toolkit> previousKit_;
};

// An error object with the members most tests start from.
inline rt::ErrorPtr makeError(int genCode, bool canRetry = false, bool canDefault = false) {
  auto e = std::make_shared<rt::ErrorObject>();
  e->genCode = genCode;
  e->subSystem = "DBFNTX";
  e->subCode = 1012;
  e->description = "Corruption detected";
  e->fileName = "ORDERS.DBF";
  e->operation = "DBSKIP";
  e->canRetry = canRetry;
  e->canDefault = canDefault;
  return e;
}

}  // namespace errors_test
