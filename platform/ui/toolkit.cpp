// The toolkit in force and the choice of backend for this process.
#include "platform/ui/toolkit.hpp"

#include <cstdlib>
#include <iostream>
#include <map>

#include "platform/rt/strings.hpp"
#include "platform/ui/headless/headless_toolkit.hpp"
#include "platform/ui/system.hpp"
#include "platform/ui/terminal/terminal_toolkit.hpp"

namespace ui {
namespace {

std::unique_ptr<Toolkit>& current() {
  static std::unique_ptr<Toolkit> toolkit;
  return toolkit;
}

using Factory = std::function<std::unique_ptr<Toolkit>()>;

std::map<std::string, Factory>& registry() {
  static std::map<std::string, Factory> backends;
  return backends;
}

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

// The backend named `name`, or nullptr when this build has none by that name.
std::unique_ptr<Toolkit> makeNamed(const std::string& name) {
  if (name == "headless") return std::make_unique<HeadlessToolkit>();
  if (name == "terminal") return std::make_unique<TerminalToolkit>();
  if (name == sys::windowedBackend()) {
    if (auto t = sys::makeBuiltInWindowed()) return t;
  }
  auto it = registry().find(name);
  if (it != registry().end()) return it->second();
  return nullptr;
}

}  // namespace

Toolkit& toolkit() {
  auto& t = current();
  if (!t) t = std::make_unique<HeadlessToolkit>();
  return *t;
}

std::unique_ptr<Toolkit> setToolkit(std::unique_ptr<Toolkit> t) {
  auto previous = std::move(current());
  current() = std::move(t);
  return previous;
}

std::unique_ptr<Toolkit> makeToolkit() {
  const std::string wanted = environment("DBF2CSV_UI");
  if (!wanted.empty()) {
    if (auto t = makeNamed(rt::lower(wanted))) return t;
    // A misspelt or unavailable backend must not stop a batch run: say so
    // once and choose as if the variable were not set.
    std::cerr << "dbf2csv: DBF2CSV_UI=" << wanted
              << " is not available here (use " << sys::windowedBackend() << ", terminal or headless)\n";
  }
  if (sys::hasDisplay()) {
    if (auto t = makeNamed(sys::windowedBackend())) return t;
  }
  if (sys::stderrIsTerminal()) return std::make_unique<TerminalToolkit>();
  return std::make_unique<HeadlessToolkit>();
}

void registerBackend(const std::string& name, std::function<std::unique_ptr<Toolkit>()> factory) {
  registry()[name] = std::move(factory);
}

}  // namespace ui
