#include "platform/ui/qt/display_probe.hpp"

#include <cstdlib>
#include <string>

#include <QDir>
#include <QLibraryInfo>

#ifdef DBF2CSV_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace ui::qt {
namespace {

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

bool x11Reachable() {
#ifdef DBF2CSV_HAVE_XCB
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  const bool ok = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  return ok;
#else
  return true;  // cannot tell without libxcb; Qt will say
#endif
}

bool waylandPluginInstalled() {
  const QDir platforms(QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                       QStringLiteral("/platforms"));
  return !platforms.entryList({QStringLiteral("*wayland*")}, QDir::Files).isEmpty();
}

}  // namespace

bool displayUsable() {
  // A platform chosen by hand (offscreen for tests, vnc, ...) is taken as is.
  if (!environment("QT_QPA_PLATFORM").empty()) return true;
  if (!environment("WAYLAND_DISPLAY").empty() && waylandPluginInstalled()) return true;
  return !environment("DISPLAY").empty() && x11Reachable();
}

}  // namespace ui::qt
