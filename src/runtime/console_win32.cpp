#include "src/runtime/console.hpp"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>

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

}  // namespace runtime
