// MSG: how the export run tells the user something.
#pragma once

#include <string>

namespace app {

// MSG: the modal message box titled "Alert", in 11-point Courier New Bold;
// ";" starts a new line. Returns when the user has closed it.
void msg(const std::string& cMessage);
// In a text-mode run (headless, terminal), `cLine` on standard error after
// "dbf2csv: ": what a message box cannot say, such as why something failed.
// Nothing in a windowed run.
void noteOnStderr(const std::string& cLine);

}  // namespace app
