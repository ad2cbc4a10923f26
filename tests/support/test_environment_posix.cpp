#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/test_environment.hpp"

namespace test_support {

void setEnvironment(const std::string& name, const std::string& value, bool replace) {
  ::setenv(name.c_str(), value.c_str(), replace ? 1 : 0);
}

void unsetEnvironment(const std::string& name) { ::unsetenv(name.c_str()); }

std::string privateRuntimeDir() {
  const std::string dir = "/tmp/dbf2csv-test-xdg-" + std::to_string(::getuid());
  ::mkdir(dir.c_str(), 0700);
  return dir;
}

}  // namespace test_support
