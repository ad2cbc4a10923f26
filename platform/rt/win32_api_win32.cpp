#include "platform/rt/win32_api.hpp"

#include <windows.h>

namespace rt::win32 {

namespace {

std::wstring toWide(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  const int n = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

}  // namespace

std::wstring wide(std::string_view ansi) { return toWide(CP_ACP, ansi); }

std::wstring wideFromUtf8(std::string_view utf8) { return toWide(CP_UTF8, utf8); }

std::string narrow(std::wstring_view text) {
  if (text.empty()) return {};
  const int n = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                        nullptr);
  return out;
}

void appendUtf8(const wchar_t* text, int length, std::string& out) {
  if (length <= 0) return;
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  const std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(size));
  ::WideCharToMultiByte(CP_UTF8, 0, text, length, out.data() + at, size, nullptr, nullptr);
}

}  // namespace rt::win32
