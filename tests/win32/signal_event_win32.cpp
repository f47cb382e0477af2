// signal_event.exe NAME: sets the named manual-reset event (creating it if nobody has), as the
// service does when it is told to stop.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, argv[1]);
  if (event == nullptr) return 3;
  SetEvent(event);
  CloseHandle(event);
  return 0;
}
