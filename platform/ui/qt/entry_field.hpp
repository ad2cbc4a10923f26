// An entry field of a waiting window: a line edit bound to the program's
// variable through the element's value link, shaped by its picture.
#pragma once

#include <string>

#include <QLineEdit>

#include "platform/ui/picture.hpp"
#include "platform/ui/toolkit.hpp"

namespace ui::qt {

// Shows and edits a character or logical variable. Picture "@!" makes typed
// letters upper case; "@K" clears the field on the first keystroke after
// entering it that is not a cursor movement; "Y" on a logical shows and
// accepts Y or N. Every edit is written back to the variable at once (a
// character variable keeps at least its width, blank-filled; a longer text
// is kept whole). Enter, Tab and the up/down arrows ask the window to leave
// the field instead of moving the focus themselves.
class EntryField : public QLineEdit {
  Q_OBJECT

 public:
  enum class Leave { Next, Previous, Enter };

  EntryField(Element& element, QWidget* parent);
  Element& element() const { return element_; }
  // The field's text without its blank fill.
  std::string content() const;
  // Replaces the text (a pop-up's result) and writes it back.
  void setContent(const std::string& text);
  // Gives the field the focus as entering it anew (arms "@K").
  void enter();
  // The width of the variable in characters.
  int columns() const { return columns_; }

 signals:
  void leaveRequested(ui::qt::EntryField* field, ui::qt::EntryField::Leave how);

 protected:
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;

 private:
  void store();
  void upperCaseEdit();
  bool logicalKey(QKeyEvent* e);

  Element& element_;
  bool logical_ = false;
  Picture picture_;
  bool armed_ = false;
  int columns_ = 1;
  QString before_;  // the text before the edit under way
};

}  // namespace ui::qt
