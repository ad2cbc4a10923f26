// MSG: how the export run tells the user something.
#pragma once

#include <string>

namespace app {

// MSG: the modal message box titled "Alert", in 11-point Courier New Bold;
// ";" starts a new line. Returns when the user has closed it.
void msg(const std::string& cMessage);

}  // namespace app
