/* hold_file: a Windows process that holds a file the way another program
 * holding a table would, for the tests of dbf2csv.exe under Wine (Wine
 * enforces share modes only between processes of one prefix).
 *   hold_file FILE READY STOP
 * opens FILE with share mode 0, creates READY, and waits until STOP exists
 * (at most 60 seconds). Exit code 0, or 1 when FILE cannot be opened. */
#include <windows.h>

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  HANDLE held = CreateFileA(argv[1], GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  if (held == INVALID_HANDLE_VALUE) return 1;
  HANDLE ready = CreateFileA(argv[2], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
  for (int i = 0; i < 600 && GetFileAttributesA(argv[3]) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
  CloseHandle(held);
  return 0;
}
