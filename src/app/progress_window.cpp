#include "src/app/progress_window.hpp"

namespace app {

ProgressWindow buildProgressWindow(const std::string& cOutput, std::uint64_t nCount,
                                   std::uint64_t nStep, bool lWritten) {
  ui::ElementList aList;

  ui::Element label;
  label.kind = ui::Element::Kind::Label;
  label.caption = "Creating Delimited File " + cOutput;
  label.row = 2;
  label.column = 5;
  aList.push_back(label);

  ui::ProgressBar* oProgress = nullptr;
  ui::Element bar;
  bar.kind = ui::Element::Kind::ProgressBar;
  bar.row = 4;
  bar.column = 5;
  bar.width = 60;
  bar.height = 1.5;
  bar.maximum = nCount;
  bar.step = nStep;
  if (lWritten) bar.keptWord = "written";
  bar.barOut = &oProgress;
  aList.push_back(bar);

  ProgressWindow window;
  window.oDialog =
      ui::toolkit().readNonModal(aList, "Create a Text Delimited File - Version 08.27.2011");
  window.oProgress = oProgress;
  aList.clear();
  window.oDialog->show();
  return window;
}

}  // namespace app
