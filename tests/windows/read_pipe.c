/* read_pipe: a Windows process that serves a named pipe and keeps what a
 * client writes into it, for the tests of dbf2csv.exe under Wine (Wine's
 * pipes exist only inside its prefix).
 *   read_pipe PIPE OUT READY STOP
 * creates the pipe PIPE (\\.\pipe\NAME), then READY; takes one client and
 * writes all it sends into OUT. Gives up when STOP exists before a client
 * came (at most 60 seconds). Exit code 0, or 1 when no client came. */
#include <windows.h>

int main(int argc, char** argv) {
  if (argc != 5) return 2;
  HANDLE pipe = CreateNamedPipeA(argv[1], PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                                 0, 65536, 0, NULL);
  if (pipe == INVALID_HANDLE_VALUE) return 1;
  OVERLAPPED io = {0};
  io.hEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
  BOOL connected = ConnectNamedPipe(pipe, &io) || GetLastError() == ERROR_PIPE_CONNECTED;
  HANDLE ready = CreateFileA(argv[3], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
  for (int i = 0; i < 600 && !connected && GetFileAttributesA(argv[4]) == INVALID_FILE_ATTRIBUTES; ++i)
    connected = WaitForSingleObject(io.hEvent, 100) == WAIT_OBJECT_0;
  if (!connected) return 1;
  HANDLE out = CreateFileA(argv[2], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  char buffer[4096];
  DWORD got = 0, wrote = 0;
  for (;;) {  /* until the client closes its end (a broken pipe) */
    ResetEvent(io.hEvent);
    if (!ReadFile(pipe, buffer, sizeof buffer, NULL, &io) && GetLastError() != ERROR_IO_PENDING) break;
    if (!GetOverlappedResult(pipe, &io, &got, TRUE) || got == 0) break;
    WriteFile(out, buffer, got, &wrote, NULL);
  }
  CloseHandle(out);
  return 0;
}
