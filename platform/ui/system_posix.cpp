#include "platform/ui/system.hpp"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/ui/edit_model.hpp"

namespace ui {

// A picked name stays as it is on disk: upper-cased, it could name another
// file.
const bool kPicksUpperCased = false;

namespace sys {

namespace {

bool isSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

}  // namespace

bool hasDisplay() { return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY"); }

const char* windowedBackend() { return "qt"; }

std::unique_ptr<Toolkit> makeBuiltInWindowed() { return nullptr; }

bool stderrIsTerminal() { return ::isatty(STDERR_FILENO) != 0; }

void terminalSize(int& columns, int& rows) {
  winsize size{};
  if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0) return;
  if (size.ws_col > 0) columns = size.ws_col;
  if (size.ws_row > 0) rows = size.ws_row;
}

}  // namespace sys
}  // namespace ui
