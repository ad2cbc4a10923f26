#include "platform/rt/sysinfo.hpp"

namespace rt {

namespace {

constexpr const char* kMajor = "1";
constexpr const char* kMinor = "0";
constexpr const char* kBuild = "0";

}  // namespace

std::string version() { return std::string("dbf2csv runtime ") + kMajor + "." + kMinor; }

std::string version(int part) {
  switch (part) {
    case 0: return version();
    case 1: return kMajor;
    case 2: return kMinor;
    case 3: return kBuild;
    default: return {};
  }
}

}  // namespace rt
