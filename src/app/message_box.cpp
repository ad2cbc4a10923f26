#include "src/app/message_box.hpp"

#include <iostream>

#include "platform/rt/call_frame.hpp"
#include "platform/ui/toolkit.hpp"

namespace app {

void msg(const std::string& cMessage) {
  RT_PROC("MSG");
  ui::toolkit().guiAlert(cMessage, "Alert", "11.Courier New Bold");
}

void noteOnStderr(const std::string& cLine) {
  // A windowed run has no reader for standard error, and a box more would
  // stop a batch run that nobody watches.
  if (ui::toolkit().mode() == ui::Mode::Windowed) return;
  std::cerr << "dbf2csv: " << cLine << '\n' << std::flush;
}

}  // namespace app
