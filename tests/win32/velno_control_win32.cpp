// Calls operations of Velno.dll by name, as the calibration tool does:
//   velno_control.exe IsUsingGesture 1 SetGestureBrush 1234 StartGestureAdjust GetGestureErase
// An operation followed by a number gets it as its argument; each prints "Name=result" on a line.
// Exit code 3 when the library does not load, 4 when an operation is missing.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <cwctype>

namespace {

using Get = int (*)();
using Set = int (*)(int);

bool IsNumber(const wchar_t* text) {
  if (*text == L'-') ++text;
  if (*text == 0) return false;
  for (; *text != 0; ++text) {
    if (!std::iswdigit(*text)) return false;
  }
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  HMODULE lib = LoadLibraryW(L"Velno.dll");
  if (lib == nullptr) return 3;
  for (int i = 1; i < argc; ++i) {
    char name[64] = {};
    std::snprintf(name, sizeof name, "%ls", argv[i]);
    FARPROC op = GetProcAddress(lib, name);
    if (op == nullptr) return 4;
    int result = 0;
    if (i + 1 < argc && IsNumber(argv[i + 1])) {
      result = reinterpret_cast<Set>(reinterpret_cast<void*>(op))(static_cast<int>(std::wcstol(argv[++i], nullptr, 10)));
    } else {
      result = reinterpret_cast<Get>(reinterpret_cast<void*>(op))();
    }
    std::printf("%s=%d\n", name, result);
  }
  std::fflush(stdout);
  return 0;
}
