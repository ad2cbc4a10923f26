// What tests do to the settings between cases. Not for the program.
#pragma once

#include "platform/rt/settings.hpp"

namespace rt {

// Resets every setting to its start value.
void resetSettings();

}  // namespace rt
