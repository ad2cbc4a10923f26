#include "platform/rt/sysinfo.hpp"

#include <windows.h>

#include <string>

#include "platform/rt/win32_api.hpp"

namespace rt {

namespace {

// RtlGetVersion tells the true version; GetVersionEx lies to programs
// without a manifest naming the newer systems.
using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);

}  // namespace

std::string os() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  const auto get = ntdll ? reinterpret_cast<RtlGetVersionFn>(
                               reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")))
                         : nullptr;
  if (!get || get(&info) != 0) return "Windows";
  return "Windows " + std::to_string(info.dwMajorVersion) + "." + std::to_string(info.dwMinorVersion) +
         " build " + std::to_string(info.dwBuildNumber);
}

std::string appName(bool fullPath) {
  std::wstring path(32768, L'\0');
  const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (n == 0 || n >= path.size()) return {};
  path.resize(n);
  std::string name = win32::narrow(path);
  if (fullPath) return name;
  const size_t slash = name.find_last_of("\\/");
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

// The system's speaker, as the program's own platform sounded it: the
// duration counts clock ticks of 1/18.2 second.
void tone(double frequency, double duration) {
  if (frequency < 37 || frequency > 32767) return;
  ::Beep(static_cast<DWORD>(frequency), static_cast<DWORD>(duration * 1000 / 18.2));
}

}  // namespace rt
