// The waiting window of the Qt toolkit (UI_READGUI's waiting form): a modal
// dialog of labels and entry fields with confirm and cancel buttons.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QDialog>

#include "platform/ui/edit_model.hpp"
#include "platform/ui/qt/entry_field.hpp"
#include "platform/ui/toolkit.hpp"

class QLabel;

namespace ui::qt {

// The read flow of every backend (ui::ReadFlow) on Qt's events: Enter, Tab
// and the arrows leave a field, a click into another field leaves it too
// (checked once the click is done), OK confirms, Esc, Cancel and the title
// bar close the dialog without validating. A break or quit from a
// validation or pop-up closes the dialog and is rethrown by run().
class ReadDialog : public QDialog, private ReadFlow {
  Q_OBJECT

 public:
  ReadDialog(ElementList& elements, const std::string& title);
  // Runs `onWindow`, then the dialog; true when it was confirmed.
  bool run(const std::function<void()>& onWindow);

 private:
  void build(ElementList& elements);
  EntryField* addEntry(Element& e, QWidget* canvas, QWidget* label);
  void focusMoved(QWidget* from, QWidget* to);
  void showHelp(EntryField* field);
  void focusField(std::size_t i, bool entering) override;
  void showText(std::size_t i, const std::string& text) override;
  void closeWindow() override;

  std::vector<EntryField*> entries_;
  QLabel* help_ = nullptr;
  bool moving_ = false;  // the focus is being moved by the dialog itself
};

}  // namespace ui::qt
