// Windows' error numbers are the osCode numbering itself; their texts are
// the system's own.
#include <windows.h>

#include "platform/rt/status.hpp"

namespace rt {

int osCodeOfSystemError(int systemError) { return systemError; }

Status systemFailure(int systemError) {
  return Status::fromOsCode(osCodeOfSystemError(systemError), dosErrorMessage(systemError));
}

std::string dosErrorMessage(int osCode) {
  if (osCode == 0) return {};
  char* text = nullptr;
  const DWORD n = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, static_cast<DWORD>(osCode), 0, reinterpret_cast<char*>(&text), 0,
                                   nullptr);
  std::string message = n > 0 && text ? std::string(text, n) : std::string();
  ::LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ' ||
                              message.back() == '.'))
    message.pop_back();
  return message.empty() ? "Unknown operating system error " + std::to_string(osCode) : message;
}

}  // namespace rt
