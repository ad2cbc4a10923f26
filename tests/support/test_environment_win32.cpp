#include <stdlib.h>

#include "tests/support/test_environment.hpp"

namespace test_support {

// The C runtime's copy and the process's own (what the wide API reads) are
// set together.
void setEnvironment(const std::string& name, const std::string& value, bool replace) {
  if (!replace && ::getenv(name.c_str())) return;
  ::_putenv_s(name.c_str(), value.c_str());
}

// An empty value removes the variable.
void unsetEnvironment(const std::string& name) { ::_putenv_s(name.c_str(), ""); }

std::string privateRuntimeDir() { return ""; }

}  // namespace test_support
