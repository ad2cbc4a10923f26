/* window_text: what a window of another Windows process says, for the
 * person run of dbf2csv.exe under Wine (tests/windows/person_run.sh), which
 * sees the windows only as X windows without their texts.
 *   window_text TITLE
 * waits (at most 20 seconds) for a visible top-level window titled TITLE
 * and prints the texts of its visible controls in their order, one a line (a line
 * break inside a text is a line break too). Exit code 0, or 1 when no such
 * window came. */
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <windows.h>

static BOOL CALLBACK printText(HWND control, LPARAM unused) {
  wchar_t text[4096];
  char bytes[8192];
  (void)unused;
  DWORD_PTR length = 0;
  /* WM_GETTEXT itself: GetWindowText does not ask another process's edit
   * controls for their text. */
  if (!IsWindowVisible(control)) return TRUE;
  if (!SendMessageTimeoutW(control, WM_GETTEXT, 4096, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, &length)) length = 0;
  text[length] = L'\0';
  int size = WideCharToMultiByte(CP_ACP, 0, text, -1, bytes, sizeof bytes, NULL, NULL);
  if (size <= 0) return TRUE;
  for (const char* c = bytes; *c; ++c)
    if (*c != '\r') putchar(*c);
  putchar('\n');
  return TRUE;
}

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  _setmode(_fileno(stdout), _O_BINARY); /* lines end in LF, as on Linux */
  wchar_t title[1024];
  if (!MultiByteToWideChar(CP_ACP, 0, argv[1], -1, title, 1024)) return 2;
  for (int i = 0; i < 200; ++i) {
    HWND window = FindWindowW(NULL, title);
    if (window && IsWindowVisible(window)) {
      EnumChildWindows(window, printText, 0);
      return 0;
    }
    Sleep(100);
  }
  return 1;
}
