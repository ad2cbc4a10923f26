// The progress window of the export run.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/ui/toolkit.hpp"

namespace app {

// The progress window of the run: the window and the bar inside it.
struct ProgressWindow {
  std::unique_ptr<ui::Window> oDialog;
  ui::ProgressBar* oProgress = nullptr;
};
// Builds and shows the progress window: the caption "Creating Delimited File "
// and the output name, a bar with `nCount` as its maximum and `nStep` as its
// update step; with `lWritten`, the bar counts the records written beside
// those read (when a choice passes some over).
ProgressWindow buildProgressWindow(const std::string& cOutput, std::uint64_t nCount,
                                   std::uint64_t nStep, bool lWritten = false);

}  // namespace app
