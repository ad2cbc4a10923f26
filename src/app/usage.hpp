// The texts of --help and --version.
#pragma once

#include <string>

namespace app {

std::string usageText();
std::string versionText();

}  // namespace app
