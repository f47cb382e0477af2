// Two processes, one block: `shared_state_peer.exe set-adjust-type N` stores N through Velno.dll and
// stays alive until a file named by its second argument appears; `shared_state_peer.exe get-adjust-type`
// prints what the library returns. Loads the library by name, as every user of it does.
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

using Get = int (*)();
using Set = int (*)(int);

}  // namespace

int wmain(int argc, wchar_t** argv) {
  HMODULE lib = LoadLibraryW(L"Velno.dll");
  if (lib == nullptr) return 3;
  auto setType = reinterpret_cast<Set>(reinterpret_cast<void*>(GetProcAddress(lib, "SetAdjustType")));
  auto getType = reinterpret_cast<Get>(reinterpret_cast<void*>(GetProcAddress(lib, "GetAdjustType")));
  if (setType == nullptr || getType == nullptr) return 4;

  if (argc == 4 && std::wcscmp(argv[1], L"set-adjust-type") == 0) {
    setType(static_cast<int>(std::wcstol(argv[2], nullptr, 0)));
    std::printf("set\n");
    std::fflush(stdout);
    // Keep the block alive (it lives while some process has the library loaded) until told to go.
    for (int i = 0; i < 600 && GetFileAttributesW(argv[3]) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(50);
    return 0;
  }
  if (argc == 2 && std::wcscmp(argv[1], L"get-adjust-type") == 0) {
    std::printf("%d\n", getType());
    return 0;
  }
  return 2;
}
