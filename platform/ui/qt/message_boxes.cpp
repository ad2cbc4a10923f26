#include "platform/ui/qt/message_boxes.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ui/qt/fonts.hpp"
#include "platform/ui/qt/progress_window.hpp"
#include "platform/ui/qt/qt_application.hpp"
#include "platform/ui/qt/qt_text.hpp"
#include "platform/ui/toolkit.hpp"

namespace ui::qt {
namespace {

// A QMessageBox whose closing (Esc or the title bar) can be refused, as the
// Windows boxes without a Cancel button refuse it, or can end the box with
// no button chosen.
class ModalBox : public QMessageBox {
 public:
  enum class Closing { ByEscapeButton, Refused, WithoutChoice };
  ModalBox(Closing closing, QWidget* parent) : QMessageBox(parent), closing_(closing) {}

 protected:
  void closeEvent(QCloseEvent* e) override {
    if (closing_ == Closing::Refused) return e->ignore();
    if (closing_ == Closing::WithoutChoice) return QDialog::closeEvent(e);
    QMessageBox::closeEvent(e);
  }
  void keyPressEvent(QKeyEvent* e) override {
    if (closing_ != Closing::ByEscapeButton && e->matches(QKeySequence::Cancel)) {
      if (closing_ == Closing::WithoutChoice) reject();
      return e->accept();
    }
    QMessageBox::keyPressEvent(e);
  }

 private:
  Closing closing_;
};

QMessageBox::StandardButton buttonOf(Answer answer) {
  switch (answer) {
    case Answer::Ok: return QMessageBox::Ok;
    case Answer::Cancel: return QMessageBox::Cancel;
    case Answer::Abort: return QMessageBox::Abort;
    case Answer::Retry: return QMessageBox::Retry;
    case Answer::Ignore: return QMessageBox::Ignore;
    case Answer::Yes: return QMessageBox::Yes;
    case Answer::No: return QMessageBox::No;
  }
  return QMessageBox::Ok;
}

QMessageBox::Icon qtIcon(Icon icon) {
  switch (icon) {
    case Icon::Error: return QMessageBox::Critical;
    case Icon::Question: return QMessageBox::Question;
    case Icon::Warning: return QMessageBox::Warning;
    case Icon::Information: return QMessageBox::Information;
    case Icon::None: break;
  }
  return QMessageBox::NoIcon;
}

// Windows lets a box be closed only when it has a Cancel button or is a
// plain OK box; Yes/No and Abort/Retry/Ignore demand an answer.
ModalBox::Closing closingOf(Buttons buttons) {
  return buttons == Buttons::YesNo || buttons == Buttons::AbortRetryIgnore
             ? ModalBox::Closing::Refused
             : ModalBox::Closing::ByEscapeButton;
}

// Runs a box modally over the window in front, after bringing every progress
// bar up to date so the box is shown over the real state of the run.
int execBox(QDialog& dialog) {
  syncProgressBars();
  dialog.setWindowModality(Qt::ApplicationModal);
  return dialog.exec();
}

}  // namespace

void showGuiAlert(const std::string& text, const std::string& title, const std::string& font) {
  ensureApplication();
  QDialog dialog(activeTopLevel());
  dialog.setObjectName(QStringLiteral("guiAlert"));
  dialog.setWindowTitle(toQt(title));
  auto* layout = new QVBoxLayout(&dialog);
  auto* label = new QLabel(messageLines(text), &dialog);
  label->setObjectName(QStringLiteral("message"));
  label->setTextFormat(Qt::PlainText);
  label->setFont(fontFromName(font));
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(label);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  layout->addWidget(buttons);
  buttons->button(QDialogButtonBox::Ok)->setFocus();
  execBox(dialog);
}

void showAlert(const std::string& text) {
  ensureApplication();
  ModalBox box(ModalBox::Closing::ByEscapeButton, activeTopLevel());
  box.setWindowTitle(QStringLiteral("Alert"));
  box.setIcon(QMessageBox::Warning);
  box.setText(messageLines(text));
  box.setTextFormat(Qt::PlainText);
  box.setStandardButtons(QMessageBox::Ok);
  execBox(box);
}

Answer showConfirmBox(const std::string& text, const std::string& title, Buttons buttons,
                      int style) {
  ensureApplication();
  ModalBox box(closingOf(buttons), activeTopLevel());
  box.setWindowTitle(toQt(title));
  box.setIcon(qtIcon(iconOf(style)));
  box.setTextFormat(Qt::PlainText);
  box.setText(toQt(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                  .replace(QLatin1Char('\r'), QLatin1Char('\n')));
  const std::vector<Answer> set = answersOf(buttons);
  for (const Answer a : set) box.addButton(buttonOf(a));
  box.setDefaultButton(buttonOf(set.front()));
  execBox(box);
  const QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
  for (const Answer a : set) {
    if (buttonOf(a) == clicked) return a;
  }
  return Answer::Cancel;
}

void showMsgBox(const std::string& text, const std::string& title) {
  ensureApplication();
  ModalBox box(ModalBox::Closing::ByEscapeButton, activeTopLevel());
  box.setWindowTitle(toQt(title));
  box.setIcon(QMessageBox::Information);
  box.setTextFormat(Qt::PlainText);
  box.setText(toQt(text));
  box.setStandardButtons(QMessageBox::Ok);
  execBox(box);
}

int showTextAlert(const std::string& text, const std::vector<std::string>& options) {
  ensureApplication();
  ModalBox box(ModalBox::Closing::WithoutChoice, activeTopLevel());
  box.setWindowTitle(QStringLiteral("Alert"));
  box.setIcon(QMessageBox::Warning);
  box.setTextFormat(Qt::PlainText);
  box.setText(messageLines(text));
  std::vector<QAbstractButton*> choices;
  for (const std::string& option : options) {
    choices.push_back(box.addButton(toQt(option), QMessageBox::ActionRole));
  }
  execBox(box);
  for (std::size_t i = 0; i < choices.size(); ++i) {
    if (box.clickedButton() == choices[i]) return static_cast<int>(i + 1);
  }
  return 0;
}

}  // namespace ui::qt
