// The process environment of a test, the same calls on every system.
#pragma once

#include <string>

namespace test_support {

// Sets the variable `name` to `value`; when `replace` is false a value
// already there stays.
void setEnvironment(const std::string& name, const std::string& value, bool replace = true);
// Removes the variable `name`.
void unsetEnvironment(const std::string& name);
// A folder of this user's alone for XDG_RUNTIME_DIR, made when missing;
// "" where the system has no such folder (Windows).
std::string privateRuntimeDir();

}  // namespace test_support
