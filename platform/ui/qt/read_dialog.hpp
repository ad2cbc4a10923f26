// The waiting window of the Qt toolkit (UI_READGUI's waiting form): a modal
// dialog of labels and entry fields with confirm and cancel buttons.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QDialog>

#include "platform/ui/callback_guard.hpp"
#include "platform/ui/qt/entry_field.hpp"
#include "platform/ui/toolkit.hpp"

class QLabel;

namespace ui::qt {

// Leaving a field (Enter, Tab, the arrows, a click into another field) runs
// its validation; a failed one keeps the user in the field. Enter in the
// last field and the OK button confirm: every validation runs in field
// order, and the dialog closes only when all pass. Esc and Cancel close it
// without validating. A break or quit from a validation or pop-up closes the
// dialog and is rethrown by run().
class ReadDialog : public QDialog {
  Q_OBJECT

 public:
  ReadDialog(ElementList& elements, const std::string& title);
  // Runs `onWindow`, then the dialog; true when it was confirmed.
  bool run(const std::function<void()>& onWindow);

 private:
  void build(ElementList& elements);
  EntryField* addEntry(Element& e, QWidget* canvas, QWidget* label);
  void leave(EntryField* field, EntryField::Leave how);
  bool validate(EntryField* field);
  void confirm();
  void pop(EntryField* field);
  void focusMoved(QWidget* from, QWidget* to);
  void showHelp(EntryField* field);

  CallbackGuard guard_;
  std::vector<EntryField*> fields_;
  QLabel* help_ = nullptr;
  bool moving_ = false;  // the focus is being moved by the dialog itself
};

}  // namespace ui::qt
