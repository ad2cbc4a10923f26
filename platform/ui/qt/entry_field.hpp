// An entry field of a waiting window: a line edit bound to the program's
// variable, its rules those of every backend (ui::FieldState).
#pragma once

#include <cstddef>
#include <string>

#include <QLineEdit>

#include "platform/ui/edit_model.hpp"

namespace ui::qt {

// Turns Qt's key and text events into the field state's calls: a key that
// edits asks the state first (it may clear the field or refuse the key);
// what an edit puts in is shaped by the picture, a paste too; every change
// is written back to the variable at once. Enter, Tab and the up/down
// arrows ask the window to leave the field instead of moving the focus
// themselves.
class EntryField : public QLineEdit {
  Q_OBJECT

 public:
  EntryField(FieldState& state, std::size_t index, QWidget* parent);
  FieldState& state() const { return state_; }
  std::size_t index() const { return index_; }

 signals:
  void leaveRequested(ui::qt::EntryField* field, ui::ReadFlow::Leave how);

 protected:
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void shapeEdit();

  FieldState& state_;
  std::size_t index_;
  QString before_;  // the text before the edit under way
};

}  // namespace ui::qt
