// Tests of the Qt toolkit run with the Qt toolkit in force, on Qt's
// offscreen platform (set by the test main).
#pragma once

#include <memory>

#include <gtest/gtest.h>

#include <QtGlobal>

#include "platform/ui/qt/qt_application.hpp"
#include "platform/ui/qt/qt_toolkit.hpp"
#include "platform/ui/toolkit.hpp"

namespace qt_testing {

// Drops the offscreen platform's notes about what it cannot do (raise a
// window, propagate size hints), which say nothing about the code under test.
inline void quietOffscreenNotes() {
  static const QtMessageHandler previous = qInstallMessageHandler(
      [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (text.startsWith(QStringLiteral("This plugin does not support"))) return;
        if (previous) previous(type, context, text);
      });
}

class QtTest : public ::testing::Test {
 protected:
  void SetUp() override {
    quietOffscreenNotes();
    ui::qt::ensureApplication();
    auto qt = ui::makeQtToolkit();
    ASSERT_TRUE(qt) << "the offscreen platform must be usable";
    previous_ = ui::setToolkit(std::move(qt));
  }
  void TearDown() override { ui::setToolkit(std::move(previous_)); }

 private:
  std::unique_ptr<ui::Toolkit> previous_;
};

}  // namespace qt_testing
