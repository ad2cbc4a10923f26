#include "platform/ui/backend_module.hpp"

#include <dlfcn.h>
#include <unistd.h>

#include <iostream>
#include <vector>

namespace ui {
namespace {

// The directory of the running program, "" when the system does not say.
std::string programDirectory() {
  std::vector<char> path(4096);
  const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
  if (n <= 0 || static_cast<std::size_t>(n) >= path.size()) return {};
  std::string exe(path.data(), static_cast<std::size_t>(n));
  return exe.substr(0, exe.rfind('/'));
}

// The module's toolkit entry, nullptr when there is no usable module.
using Entry = Toolkit* (*)();
Entry loadEntry(const std::string& name) {
  const std::string dir = programDirectory();
  if (dir.empty()) return nullptr;
  const std::string file = "dbf2csv-" + name + ".so";
#ifdef DBF2CSV_INSTALLED_MODULES
  const std::string installed = dir + "/../" DBF2CSV_INSTALLED_MODULES "/" + file;
#else
  const std::string installed = dir + "/../lib/dbf2csv/" + file;
#endif
  for (const std::string& path : {dir + "/" + file, installed}) {
    if (::access(path.c_str(), F_OK) != 0) continue;
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    void* entry = module ? ::dlsym(module, "dbf2csvMakeToolkit") : nullptr;
    if (entry) return reinterpret_cast<Entry>(entry);
    const char* why = ::dlerror();
    std::cerr << "dbf2csv: cannot load " << path << ": " << (why ? why : "no toolkit in it") << '\n';
    return nullptr;
  }
  return nullptr;
}

}  // namespace

std::function<std::unique_ptr<Toolkit>()> moduleBackend(const std::string& name) {
  return [name]() -> std::unique_ptr<Toolkit> {
    const Entry entry = loadEntry(name);
    return std::unique_ptr<Toolkit>(entry ? entry() : nullptr);
  };
}

}  // namespace ui
