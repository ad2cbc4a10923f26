#include "platform/ui/qt/entry_field.hpp"

#include <algorithm>

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

}  // namespace

EntryField::EntryField(FieldState& state, std::size_t index, QWidget* parent)
    : QLineEdit(parent), state_(state), index_(index) {
  setText(toQt(state.text()));
  if (state.logical()) setMaxLength(1);
  setReadOnly(!state.editable());
  before_ = text();
  connect(this, &QLineEdit::textEdited, this, [this] { shapeEdit(); });
  connect(this, &QLineEdit::textChanged, this, [this] {
    state_.store(fromQt(text()));
    before_ = text();
  });
  const std::string& help = state.element().help;
  if (!help.empty()) setToolTip(messageLines(help));
}

void EntryField::shapeEdit() {
  // Only what this edit put in, which ends at the cursor, is shaped: the
  // text around it, a picked name with its folders as they are on disk,
  // stays as it is.
  const QString now = text();
  const qsizetype cursor = cursorPosition();
  const qsizetype tail = std::min<qsizetype>(now.size() - cursor, before_.size());
  const qsizetype headMax = std::min<qsizetype>(cursor, before_.size() - tail);
  qsizetype head = 0;
  while (head < headMax && now[head] == before_[head]) ++head;
  const QString typed = toQt(state_.shape(fromQt(now.mid(head, cursor - head))));
  const QString shaped = now.left(head) + typed + now.mid(cursor);
  if (shaped == now) return;
  setText(shaped);
  setCursorPosition(static_cast<int>(cursor));
}

bool EntryField::event(QEvent* e) {
  // Tab would move the focus before the window could check the field.
  if (e->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(e)->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
      emit leaveRequested(this, key == Qt::Key_Tab ? ReadFlow::Leave::Next : ReadFlow::Leave::Previous);
      return true;
    }
  }
  return QLineEdit::event(e);
}

void EntryField::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Return: case Qt::Key_Enter:
      emit leaveRequested(this, ReadFlow::Leave::Enter);
      return e->accept();
    case Qt::Key_Down:
      emit leaveRequested(this, ReadFlow::Leave::Next);
      return e->accept();
    case Qt::Key_Up:
      emit leaveRequested(this, ReadFlow::Leave::Previous);
      return e->accept();
    default:
      break;
  }
  if (isCursorMovement(e->key())) {
    state_.moveCursor();
  } else if (isEditing(e) && !isReadOnly()) {
    const QString typed = e->text();
    const bool character = !typed.isEmpty() && typed.at(0).isPrint();
    const FieldState::Edit edit = state_.key(character ? fromQt(typed) : std::string());
    if (!edit.accepted) return e->accept();
    if (state_.logical()) {
      setText(toQt(edit.text));
      return e->accept();
    }
    if (edit.clearFirst) clear();
  }
  QLineEdit::keyPressEvent(e);
}

}  // namespace ui::qt
