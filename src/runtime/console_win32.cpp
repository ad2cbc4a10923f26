#include "src/runtime/console.hpp"

#include <windows.h>
#include <shellapi.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/rt/win32_api.hpp"

namespace runtime {

namespace {

bool given(DWORD which) {
  HANDLE h = ::GetStdHandle(which);
  return h != nullptr && h != INVALID_HANDLE_VALUE && ::GetFileType(h) != FILE_TYPE_UNKNOWN;
}

}  // namespace

void attachConsole() {
  // The messages are the same bytes as on Linux, lines ending in LF (which a
  // console shows as well), not turned into CR LF by the C runtime.
  ::_setmode(::_fileno(stdout), _O_BINARY);
  ::_setmode(::_fileno(stderr), _O_BINARY);
  const bool in = given(STD_INPUT_HANDLE), out = given(STD_OUTPUT_HANDLE), err = given(STD_ERROR_HANDLE);
  if ((in && out && err) || !::AttachConsole(ATTACH_PARENT_PROCESS)) return;
  if (!in) (void)std::freopen("CONIN$", "r", stdin);
  if (!out && std::freopen("CONOUT$", "wb", stdout)) ::_setmode(::_fileno(stdout), _O_BINARY);
  if (!err && std::freopen("CONOUT$", "wb", stderr)) ::_setmode(::_fileno(stderr), _O_BINARY);
}

std::vector<std::string> utf8Arguments(int argc, char** argv) {
  int n = 0;
  LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &n);
  std::vector<std::string> args;
  for (int i = 1; wide && n == argc && i < n; ++i) {
    std::string arg;
    rt::win32::appendUtf8(wide[i], static_cast<int>(std::wcslen(wide[i])), arg);
    args.push_back(std::move(arg));
  }
  if (wide) ::LocalFree(wide);
  // A command line the two readers split differently: the ANSI spelling.
  if (args.size() + 1 != static_cast<std::size_t>(argc)) args.assign(argv + 1, argv + argc);
  return args;
}

}  // namespace runtime
