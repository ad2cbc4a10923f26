// The modal boxes of the Qt toolkit, answered as a person would.
#include <optional>

#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QTest>

#include "tests/ui/qt/modal_script.hpp"
#include "tests/ui/qt/qt_fixture.hpp"

namespace qt_testing {
namespace {

using Buttons = std::vector<std::string>;

struct SeenBox {
  QString title;
  QString text;
  QFont font;
  Buttons buttons;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// A step that notes what the box shows, then presses `press`.
ModalScript::Act noteAndPress(SeenBox& seen, const QString& press) {
  return [&seen, press](QWidget* w) {
    seen.title = w->windowTitle();
    seen.buttons = buttonTexts(w);
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
      seen.text = box->text();
      seen.icon = box->icon();
    } else if (auto* label = w->findChild<QLabel*>(QStringLiteral("message"))) {
      seen.text = label->text();
      seen.font = label->font();
    }
    pressButton(w, press);
  };
}

ModalScript::Match anyBox() {
  return [](QWidget* w) { return qobject_cast<QDialog*>(w) != nullptr; };
}

using QtBoxes = QtTest;

TEST_F(QtBoxes, GuiAlertShowsEachLineInElevenPointBoldCourierWithFallbacks) {
  SeenBox seen;
  ModalScript script;
  script.then("the message box", named("guiAlert"), noteAndPress(seen, "OK"));
  ui::toolkit().guiAlert("Program Ended Normally;;File ORDERS.CSV Created with 1,234 records.",
                         "Alert", "11.Courier New Bold");
  EXPECT_EQ(seen.title, "Alert");
  EXPECT_EQ(seen.text, "Program Ended Normally\n\nFile ORDERS.CSV Created with 1,234 records.");
  EXPECT_EQ(seen.buttons, Buttons({"OK"}));
  EXPECT_EQ(seen.font.families(), QStringList({"Courier New", "Liberation Mono",
                                               "DejaVu Sans Mono", "monospace"}));
  EXPECT_EQ(seen.font.pointSize(), 11);
  EXPECT_TRUE(seen.font.bold());
  EXPECT_TRUE(QFontInfo(seen.font).fixedPitch()) << QFontInfo(seen.font).family().toStdString();
}

TEST_F(QtBoxes, GuiAlertWithoutSemicolonIsOneLine) {
  SeenBox seen;
  ModalScript script;
  script.then("the message box", named("guiAlert"), noteAndPress(seen, "OK"));
  ui::toolkit().guiAlert("C:\\DATA\\ORDERS.DBF NOT FOUND.", "Alert", "11.Courier New Bold");
  EXPECT_EQ(seen.text, "C:\\DATA\\ORDERS.DBF NOT FOUND.");
}

struct ButtonSetCase {
  ui::Buttons buttons;
  Buttons shown;
  std::vector<std::pair<QString, ui::Answer>> answers;
};

TEST_F(QtBoxes, ConfirmBoxOffersEachWindowsButtonSetAndAnswersItsCodes) {
  using B = ui::Buttons;
  using A = ui::Answer;
  const std::vector<ButtonSetCase> cases = {
      {B::Ok, {"OK"}, {{"OK", A::Ok}}},
      {B::OkCancel, {"Cancel", "OK"}, {{"OK", A::Ok}, {"Cancel", A::Cancel}}},
      {B::AbortRetryIgnore, {"Abort", "Ignore", "Retry"},
       {{"Abort", A::Abort}, {"Retry", A::Retry}, {"Ignore", A::Ignore}}},
      {B::YesNoCancel, {"Cancel", "No", "Yes"},
       {{"Yes", A::Yes}, {"No", A::No}, {"Cancel", A::Cancel}}},
      {B::YesNo, {"No", "Yes"}, {{"Yes", A::Yes}, {"No", A::No}}},
      {B::RetryCancel, {"Cancel", "Retry"}, {{"Retry", A::Retry}, {"Cancel", A::Cancel}}},
  };
  for (const ButtonSetCase& c : cases) {
    for (const auto& [press, code] : c.answers) {
      SCOPED_TRACE("button set " + std::to_string(static_cast<int>(c.buttons)) + ", " +
                   press.toStdString());
      SeenBox seen;
      ModalScript script;
      script.then("the error box", anyBox(), noteAndPress(seen, press));
      EXPECT_EQ(ui::toolkit().confirmBox("Error BASE/1003\rCalled from MAIN(12)",
                                         "Runtime Error Message", c.buttons, 16 + 131072),
                code);
      EXPECT_EQ(seen.buttons, c.shown);
      EXPECT_EQ(seen.title, "Runtime Error Message");
      EXPECT_EQ(seen.text, "Error BASE/1003\nCalled from MAIN(12)");
    }
  }
}

TEST_F(QtBoxes, ConfirmBoxShowsTheIconOfTheStyle) {
  const std::vector<std::pair<int, QMessageBox::Icon>> cases = {
      {ui::styleWord(ui::Icon::Error, 131072), QMessageBox::Critical},
      {ui::styleWord(ui::Icon::Question, 131072), QMessageBox::Question},
      {ui::styleWord(ui::Icon::Warning, 131072), QMessageBox::Warning},
      {ui::styleWord(ui::Icon::Information, 131072), QMessageBox::Information},
      {131072, QMessageBox::NoIcon},
  };
  for (const auto& [style, icon] : cases) {
    SeenBox seen;
    ModalScript script;
    script.then("the error box", anyBox(), noteAndPress(seen, "OK"));
    ui::toolkit().confirmBox("text", "Runtime Error Message", ui::Buttons::Ok, style);
    EXPECT_EQ(seen.icon, icon) << "style " << style;
  }
}

TEST_F(QtBoxes, EscapeClosesOnlyTheBoxesWindowsLetsClose) {
  using B = ui::Buttons;
  using A = ui::Answer;
  // set, answer of Esc (nullopt: refused, a button must then be pressed), button
  const std::vector<std::tuple<B, std::optional<A>, QString, A>> cases = {
      {B::Ok, A::Ok, "", A::Ok},
      {B::OkCancel, A::Cancel, "", A::Cancel},
      {B::RetryCancel, A::Cancel, "", A::Cancel},
      {B::YesNo, std::nullopt, "Yes", A::Yes},
      {B::AbortRetryIgnore, std::nullopt, "Ignore", A::Ignore},
  };
  for (const auto& [set, escaped, press, pressed] : cases) {
    SCOPED_TRACE("button set " + std::to_string(static_cast<int>(set)));
    bool stayed = false;
    ModalScript script;
    script.then("the error box", anyBox(), [&, press = press](QWidget* w) {
      QTest::keyClick(w, Qt::Key_Escape);
      stayed = w->isVisible() && !w->close();
      if (!press.isEmpty()) pressButton(w, press);
    });
    const A answer = ui::toolkit().confirmBox("text", "Runtime Error Message", set, 48);
    EXPECT_EQ(answer, escaped.value_or(pressed));
    EXPECT_EQ(stayed, !escaped.has_value());
  }
}

TEST_F(QtBoxes, ExitWithLogFileQuestionIsAWarningWithYesAndNo) {
  SeenBox seen;
  ModalScript script;
  script.then("the question", anyBox(), noteAndPress(seen, "No"));
  EXPECT_EQ(ui::toolkit().confirmBox("Exit with LOG file", "Runtime Error Message",
                                     ui::Buttons::YesNo, 131120),
            ui::Answer::No);
  EXPECT_EQ(seen.icon, QMessageBox::Warning);
  EXPECT_EQ(seen.text, "Exit with LOG file");
}

TEST_F(QtBoxes, AlertAndMsgBoxShowTheirTextAndWaitForOk) {
  SeenBox alert;
  SeenBox message;
  ModalScript script;
  script.then("the alert", anyBox(), noteAndPress(alert, "OK"))
      .then("the message box", anyBox(), noteAndPress(message, "OK"));
  ui::toolkit().alert("DBFDBE database driver not loaded.;second line");
  ui::toolkit().msgBox("Done", "dbf2csv");
  EXPECT_EQ(alert.title, "Alert");
  EXPECT_EQ(alert.text, "DBFDBE database driver not loaded.\nsecond line");
  EXPECT_EQ(alert.buttons, Buttons({"OK"}));
  EXPECT_EQ(message.title, "dbf2csv");
  EXPECT_EQ(message.text, "Done");
  EXPECT_TRUE(script.done());
}

TEST_F(QtBoxes, TextAlertAnswersTheChosenOptionOrZeroWhenDismissed) {
  const std::vector<std::string> options = {"Cancel", "Exit with LOG file", "Retry", "Ignore"};
  SeenBox seen;
  ModalScript script;
  script.then("the alert", anyBox(), noteAndPress(seen, "Exit with LOG file"))
      .then("the alert again", anyBox(), [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
  EXPECT_EQ(ui::toolkit().textAlert("Error;line two", options), 2);
  EXPECT_EQ(seen.buttons, Buttons({"Cancel", "Exit with LOG file", "Ignore", "Retry"}));
  EXPECT_EQ(seen.text, "Error\nline two");
  EXPECT_EQ(ui::toolkit().textAlert("Error", options), 0);
}

TEST_F(QtBoxes, DefaultIconIsOurOwnImageFromTheResources) {
  const QImage icon(QStringLiteral(":/dbf2csv/dbf2csv.png"));
  ASSERT_FALSE(icon.isNull());
  ui::toolkit().iconDefault(7627);
  const QIcon inForce = QApplication::windowIcon();
  ASSERT_FALSE(inForce.isNull());
  EXPECT_EQ(inForce.pixmap(icon.size()).toImage().convertToFormat(icon.format()), icon);
}

}  // namespace
}  // namespace qt_testing
