// The waiting window of the Qt toolkit held to the dialog's rules
// (dialog_contract.cpp), typed into and clicked as a person would, and what
// only Qt's window does.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include "tests/support/test_dialog.hpp"
#include "tests/ui/dialog_contract.hpp"
#include "tests/ui/qt/modal_script.hpp"
#include "tests/ui/qt/qt_fixture.hpp"

namespace qt_testing {
namespace {

using dialog_contract::WindowedPerson;

ModalScript::Match theDialog() { return titled("Test Dialog"); }

class QtPerson : public WindowedPerson {
 public:
  ~QtPerson() override { ui::setToolkit(std::move(previous_)); }

  void answer(std::size_t f, const std::string& text) override {
    inDialog([this, f, text](QWidget*) {
      if (!text.empty()) QTest::keyClicks(field(f), QString::fromStdString(text));
      QTest::keyClick(field(f), Qt::Key_Return);
    });
  }
  void pick(std::size_t f) override {
    inDialog([this, f](QWidget* w) { child<QToolButton>(w, id(f) + "_popup")->click(); });
  }
  void answerAlert() override {
    script_.then("the validation's message", named("guiAlert"), [](QWidget* w) { pressButton(w, "OK"); });
  }
  void cancel() override { press("Cancel"); }
  bool read(ui::ElementList& elements) override {
    for (const ui::Element& e : elements) {
      if (e.kind == ui::Element::Kind::Entry) ids_.push_back(QString::fromStdString(e.id));
    }
    return ui::toolkit().readModal(elements, "Test Dialog", {});
  }
  bool windowLeftOpen() const override { return QApplication::activeModalWidget() != nullptr; }

  void type(std::size_t f, const std::string& text) override {
    inDialog([this, f, text](QWidget*) { QTest::keyClicks(field(f), QString::fromStdString(text)); });
  }
  void key(std::size_t f, Key k) override {
    static const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Tab,    Qt::Key_Backtab, Qt::Key_Up,
                                   Qt::Key_Down,   Qt::Key_Escape, Qt::Key_End};
    inDialog([this, f, k](QWidget*) { QTest::keyClick(field(f), keys[static_cast<int>(k)]); });
  }
  void click(std::size_t f) override {
    inDialog([this, f](QWidget*) { QTest::mouseClick(field(f), Qt::LeftButton); });
  }
  void press(const std::string& caption) override {
    inDialog([caption](QWidget* w) { pressButton(w, QString::fromStdString(caption)); });
  }
  void closeWindow() override {
    inDialog([](QWidget* w) { w->close(); });
  }
  void look(std::function<void()> f) override {
    inDialog([f](QWidget*) { f(); });
  }
  int focused() const override {
    QWidget* focus = dialog_ ? dialog_->focusWidget() : nullptr;
    const auto at = focus ? ids_.indexOf(focus->objectName()) : -1;
    return static_cast<int>(at);
  }
  std::string shown(std::size_t f) const override { return field(f)->text().toStdString(); }
  std::string help() const override { return child<QLabel>(dialog_, "help")->text().toStdString(); }

 private:
  static std::unique_ptr<ui::Toolkit> install() {
    quietOffscreenNotes();
    ui::qt::ensureApplication();
    return ui::setToolkit(ui::makeQtToolkit());
  }
  void inDialog(ModalScript::Act act) {
    script_.then("the dialog", theDialog(), [this, act](QWidget* w) {
      dialog_ = w;
      act(w);
    });
  }
  QString id(std::size_t f) const { return ids_.value(static_cast<qsizetype>(f)); }
  QLineEdit* field(std::size_t f) const { return child<QLineEdit>(dialog_, id(f)); }

  std::unique_ptr<ui::Toolkit> previous_ = install();
  ModalScript script_;
  QStringList ids_;
  QWidget* dialog_ = nullptr;
};

DIALOG_CONTRACT_WINDOWED(Qt, QtPerson);

class ReadDialogTest : public QtTest, protected test_support::TestDialog {};

TEST_F(ReadDialogTest, OnWindowRunsBeforeTheUserSeesTheDialog) {
  bool visibleInOnWindow = true;
  bool appWindowBefore = ui::toolkit().hasAppWindow();
  ModalScript script;
  script.then("the dialog", theDialog(), [](QWidget* w) { pressButton(w, "Cancel"); });
  ui::toolkit().readModal(elements, "Test Dialog", [&] {
    visibleInOnWindow = QApplication::activeModalWidget() != nullptr;
    ui::toolkit().setAppWindow();
  });
  EXPECT_FALSE(appWindowBefore);
  EXPECT_FALSE(visibleInOnWindow);
  EXPECT_TRUE(ui::toolkit().hasAppWindow());
}

}  // namespace
}  // namespace qt_testing
