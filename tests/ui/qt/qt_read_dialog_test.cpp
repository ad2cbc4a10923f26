// The waiting window of the Qt toolkit: entry fields typed into as a person
// would, validations, pop-ups, confirm and cancel, and signals thrown by
// the program's callbacks.
#include <stdexcept>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include "platform/rt/error_block.hpp"
#include "platform/rt/program_end.hpp"
#include "tests/support/test_dialog.hpp"
#include "tests/ui/qt/modal_script.hpp"
#include "tests/ui/qt/qt_fixture.hpp"

namespace qt_testing {
namespace {

// The two fields of test_support::TestDialog: a name (picture "@!@K", with a
// validation that rejects "BAD" after telling the user) and a Y/N field.
class ReadDialogTest : public QtTest, protected test_support::TestDialog {
 protected:
  bool read() { return ui::toolkit().readModal(elements, "Test Dialog", {}); }

  static QLineEdit* nameField(QWidget* w) { return child<QLineEdit>(w, "GET_CNAME"); }
  static QLineEdit* yesField(QWidget* w) { return child<QLineEdit>(w, "GET_LYES"); }
};

ModalScript::Match theDialog() { return titled("Test Dialog"); }
ModalScript::Match theAlert() { return named("guiAlert"); }
void pressOk(QWidget* w) { pressButton(w, "OK"); }

QString focusName(QWidget* dialog) {
  return dialog->focusWidget() ? dialog->focusWidget()->objectName() : QString();
}

TEST_F(ReadDialogTest, CursorMovementFirstKeepsTheContentForEditing) {
  ModalScript script;
  script.then("the dialog", theDialog(), [](QWidget* w) {
    QTest::keyClick(nameField(w), Qt::Key_End);
    QTest::keyClicks(nameField(w), "x");
    pressOk(w);
  });
  EXPECT_TRUE(read());
  EXPECT_EQ(cName.text(), "OLDX      ");
}

TEST_F(ReadDialogTest, LongerTextThanTheVariableIsKeptWhole) {
  ModalScript script;
  script.then("the dialog", theDialog(), [](QWidget* w) {
    QTest::keyClicks(nameField(w), "a/rather/long/name.dbf");
    pressOk(w);
  });
  EXPECT_TRUE(read());
  EXPECT_EQ(cName.text(), "A/RATHER/LONG/NAME.DBF");
}

TEST_F(ReadDialogTest, YesNoFieldAcceptsOnlyYAndN) {
  QStringList shown;
  ModalScript script;
  script.then("the dialog", theDialog(), [&](QWidget* w) {
    QLineEdit* yes = yesField(w);
    shown << yes->text();
    QTest::keyClicks(yes, "x");
    shown << yes->text();
    QTest::keyClicks(yes, "n");
    shown << yes->text();
    QTest::keyClick(yes, Qt::Key_Backspace);
    shown << yes->text();
    QTest::keyClicks(yes, "y");
    shown << yes->text();
    pressOk(w);
  });
  lYes = rt::Value(true);
  EXPECT_TRUE(read());
  EXPECT_EQ(shown, QStringList({"Y", "Y", "N", "N", "Y"}));
  EXPECT_TRUE(lYes.logical());
}

TEST_F(ReadDialogTest, ConfirmRunsEveryValidationAndStaysOpenOnAFailure) {
  int alerts = 0;
  ModalScript script;
  script
      .then("the dialog", theDialog(),
            [](QWidget* w) {
              QTest::keyClicks(nameField(w), "bad");
              pressOk(w);
            })
      .then("the validation's message", theAlert(),
            [&](QWidget* w) {
              ++alerts;
              pressOk(w);
            })
      .then("the dialog again", theDialog(), [](QWidget* w) { pressButton(w, "Cancel"); });
  EXPECT_FALSE(read());
  EXPECT_EQ(alerts, 1);
  EXPECT_EQ(validations, 1);
}

TEST_F(ReadDialogTest, CancelAndEscapeCloseWithoutValidating) {
  const std::vector<std::function<void(QWidget*)>> ways = {
      [](QWidget* w) { pressButton(w, "Cancel"); },
      [](QWidget* w) { QTest::keyClick(nameField(w), Qt::Key_Escape); },
      [](QWidget* w) { w->close(); },
  };
  for (const auto& way : ways) {
    ModalScript script;
    script.then("the dialog", theDialog(), [&way](QWidget* w) {
      QTest::keyClicks(nameField(w), "bad");
      way(w);
    });
    EXPECT_FALSE(read());
  }
  EXPECT_EQ(validations, 0);
}

TEST_F(ReadDialogTest, ClickIntoAnotherFieldChecksTheFieldLeft) {
  QString focusAfterAlert;
  ModalScript script;
  script
      .then("the dialog", theDialog(),
            [](QWidget* w) {
              nameField(w)->setFocus();
              QTest::keyClicks(nameField(w), "bad");
              QTest::mouseClick(yesField(w), Qt::LeftButton);
            })
      .then("the validation's message", theAlert(), pressOk)
      .then("the dialog again", theDialog(), [&](QWidget* w) {
        QTest::qWait(20);  // the refocus is queued behind the message's close
        focusAfterAlert = focusName(w);
        pressButton(w, "Cancel");
      });
  EXPECT_FALSE(read());
  EXPECT_EQ(validations, 1);
  EXPECT_EQ(focusAfterAlert, "GET_CNAME");
}

TEST_F(ReadDialogTest, HelpOfTheFieldInFrontIsShownLineByLine) {
  QStringList helps;
  ModalScript script;
  script.then("the dialog", theDialog(), [&](QWidget* w) {
    helps << child<QLabel>(w, "help")->text();
    QTest::keyClick(nameField(w), Qt::Key_Down);
    helps << child<QLabel>(w, "help")->text();
    pressButton(w, "Cancel");
  });
  read();
  EXPECT_EQ(helps, QStringList({"Type a name.\n\nNot BAD.", "Yes or no."}));
}

TEST_F(ReadDialogTest, PopupResultBecomesTheFieldContent) {
  std::string handed;
  elements[1].popup = [&handed](const rt::Value& content) {
    handed = content.text();
    return rt::Value("/data/orders.dbf");
  };
  QString shown;
  ModalScript script;
  script.then("the dialog", theDialog(), [&](QWidget* w) {
    child<QToolButton>(w, "GET_CNAME_popup")->click();
    shown = nameField(w)->text();
    QTest::keyClicks(nameField(w), "x");  // typing after a pick edits the name
    pressOk(w);
  });
  EXPECT_TRUE(read());
  EXPECT_EQ(handed, "OLD");
  // "@!" upper-cases what is typed, not what the pop-up gives.
  EXPECT_EQ(shown, "/data/orders.dbf");
  EXPECT_EQ(cName.text(), "/data/orders.dbfX");
}

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

// A signal or exception thrown by a callback closes the dialog and comes out
// of readModal, not through Qt's event loop.
TEST_F(ReadDialogTest, SignalsFromCallbacksCloseTheDialogAndAreRethrown) {
  const std::vector<std::pair<std::string, std::function<void()>>> throwers = {
      {"break", [] { rt::breakWith(rt::Value("stop")); }},
      {"quit", [] { throw rt::QuitSignal{}; }},
      {"exception", [] { throw std::runtime_error("failed"); }},
  };
  for (const auto& [what, thrower] : throwers) {
    SCOPED_TRACE(what);
    for (bool fromPopup : {false, true}) {
      elements[1].validation = [&thrower = thrower] { thrower(); return true; };
      elements[1].popup = [&thrower = thrower](const rt::Value& v) { thrower(); return v; };
      ModalScript script;
      script.then("the dialog", theDialog(), [fromPopup](QWidget* w) {
        if (fromPopup) return child<QToolButton>(w, "GET_CNAME_popup")->click();
        QTest::keyClick(nameField(w), Qt::Key_Return);
      });
      std::string caught;
      try {
        read();
      } catch (const rt::BreakSignal& b) {
        caught = "break " + b.value.text();
      } catch (const rt::QuitSignal&) {
        caught = "quit";
      } catch (const std::runtime_error& e) {
        caught = std::string("exception ") + e.what();
      }
      EXPECT_EQ(caught, what == "break"  ? "break stop"
                        : what == "quit" ? "quit"
                                         : "exception failed");
      EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
  }
}

}  // namespace
}  // namespace qt_testing
