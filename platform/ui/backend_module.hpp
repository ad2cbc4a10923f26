// Backends built as loadable modules beside the program (dbf2csv-NAME.so):
// loaded only when chosen, so that a run that needs no windows never maps
// the libraries behind them.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/ui/toolkit.hpp"

namespace ui {

// A factory for the toolkit of the module dbf2csv-NAME.so, looked for in the
// program's directory, then where it is installed (LIBDIR/dbf2csv of the
// program's prefix). The factory gives
// nullptr when no module is found or its toolkit cannot serve (another
// backend is then chosen); a module that is found but cannot be loaded is
// also told on standard error, as that is a broken installation.
std::function<std::unique_ptr<Toolkit>()> moduleBackend(const std::string& name);

}  // namespace ui
