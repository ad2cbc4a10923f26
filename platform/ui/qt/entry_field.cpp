#include "platform/ui/qt/entry_field.hpp"

#include <algorithm>

#include <QFocusEvent>
#include <QKeyEvent>

#include "platform/ui/qt/qt_text.hpp"

namespace ui::qt {
namespace {

bool isCursorMovement(int key) {
  switch (key) {
    case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Home: case Qt::Key_End:
    case Qt::Key_PageUp: case Qt::Key_PageDown:
      return true;
    default:
      return false;
  }
}

// A keystroke that changes the text: a character, a deletion, cut or paste.
bool isEditing(QKeyEvent* e) {
  if (e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete) return true;
  if (e->matches(QKeySequence::Paste) || e->matches(QKeySequence::Cut)) return true;
  const QString typed = e->text();
  return !typed.isEmpty() && typed.at(0).isPrint();
}

std::string rightTrimmed(std::string s) {
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

}  // namespace

EntryField::EntryField(Element& element, QWidget* parent)
    : QLineEdit(parent), element_(element), picture_(Picture::parse(element.picture)) {
  const rt::Value* link = element.link;
  logical_ = link && link->isLogical();
  if (logical_) {
    setText(link->logical() ? QStringLiteral("Y") : QStringLiteral("N"));
    setMaxLength(1);
  } else if (link && link->isString()) {
    columns_ = std::max<int>(1, static_cast<int>(link->text().size()));
    setText(toQt(rightTrimmed(link->text())));
  } else {
    setReadOnly(true);  // only character and logical variables are edited
  }
  before_ = text();
  connect(this, &QLineEdit::textEdited, this, [this] { upperCaseEdit(); });
  connect(this, &QLineEdit::textChanged, this, [this] {
    store();
    before_ = text();
  });
  if (!element.help.empty()) setToolTip(messageLines(element.help));
}

std::string EntryField::content() const { return fromQt(text()); }

void EntryField::setContent(const std::string& text) {
  // "@!" makes typed letters upper case; a pick comes as the program
  // shows names (folders as they are on disk) and stays so.
  setText(toQt(text));
  armed_ = false;  // typing after a pick edits the picked name
}

void EntryField::enter() {
  armed_ = picture_.clearOnFirstKey;
  setFocus(Qt::OtherFocusReason);
}

void EntryField::store() {
  rt::Value* link = element_.link;
  if (!link || isReadOnly()) return;
  if (logical_) {
    *link = rt::Value(text() == QStringLiteral("Y"));
    return;
  }
  std::string value = content();
  if (value.size() < static_cast<std::size_t>(columns_)) value.resize(columns_, ' ');
  *link = rt::Value(std::move(value));
}

void EntryField::upperCaseEdit() {
  if (!picture_.upperCase) return;
  // Only what this edit put in, which ends at the cursor, turns upper case:
  // the text around it, a picked name with its folders as they are on disk,
  // stays as it is.
  const QString now = text();
  const qsizetype cursor = cursorPosition();
  const qsizetype tail = std::min<qsizetype>(now.size() - cursor, before_.size());
  const qsizetype headMax = std::min<qsizetype>(cursor, before_.size() - tail);
  qsizetype head = 0;
  while (head < headMax && now[head] == before_[head]) ++head;
  const QString typed = toQt(picture_.shape(fromQt(now.mid(head, cursor - head))));
  const QString upper = now.left(head) + typed + now.mid(cursor);
  if (upper == now) return;
  setText(upper);
  setCursorPosition(static_cast<int>(cursor));
}

bool EntryField::event(QEvent* e) {
  // Tab would move the focus before the window could check the field.
  if (e->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(e)->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
      emit leaveRequested(this, key == Qt::Key_Tab ? Leave::Next : Leave::Previous);
      return true;
    }
  }
  return QLineEdit::event(e);
}

bool EntryField::logicalKey(QKeyEvent* e) {
  const QString typed = e->text().toUpper();
  if (typed == QStringLiteral("Y") || typed == QStringLiteral("N")) setText(typed);
  return isEditing(e);
}

void EntryField::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Return: case Qt::Key_Enter:
      emit leaveRequested(this, Leave::Enter);
      return e->accept();
    case Qt::Key_Down:
      emit leaveRequested(this, Leave::Next);
      return e->accept();
    case Qt::Key_Up:
      emit leaveRequested(this, Leave::Previous);
      return e->accept();
    default:
      break;
  }
  if (armed_ && isCursorMovement(e->key())) {
    armed_ = false;
  } else if (armed_ && isEditing(e)) {
    armed_ = false;
    if (!isReadOnly() && !logical_) clear();
  }
  if (logical_ && logicalKey(e)) return e->accept();
  QLineEdit::keyPressEvent(e);
}

void EntryField::focusInEvent(QFocusEvent* e) {
  if (e->reason() == Qt::MouseFocusReason) armed_ = picture_.clearOnFirstKey;
  QLineEdit::focusInEvent(e);
}

}  // namespace ui::qt
