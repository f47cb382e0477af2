// Two processes, one block: `shared_state_peer.exe set-adjust-type N` stores N through Velno.dll and
// stays alive until a file named by its second argument appears; `shared_state_peer.exe get-adjust-type`
// prints what the library returns. Loads the library by name, as every user of it does.
// `shared_state_peer.exe security` prints who may open the block: "dacl=null" or "dacl=N-aces", then
// "label=0xRID" of its mandatory label (or "label=none").
// `shared_state_peer.exe hold-name NAME GO` takes NAME for an event until the file GO appears (without
// loading the library), so that the block's name is not to be had.
#include <windows.h>
#include <aclapi.h>

#include <cstdio>
#include <cwchar>

namespace {

using Get = int (*)();
using Set = int (*)(int);

constexpr wchar_t kMappingName[] = L"Local\\Velno_SharedState";

void WaitForFile(const wchar_t* path) {
  for (int i = 0; i < 600 && GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(50);
}

int PrintBlockSecurity() {
  HANDLE mapping = OpenFileMappingW(READ_CONTROL, FALSE, kMappingName);
  if (mapping == nullptr) return 5;
  PACL dacl = nullptr;
  PACL sacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const DWORD error = GetSecurityInfo(mapping, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION | LABEL_SECURITY_INFORMATION,
                                      nullptr, nullptr, &dacl, &sacl, &descriptor);
  CloseHandle(mapping);
  if (error != ERROR_SUCCESS) return 6;
  if (dacl == nullptr) {
    std::printf("dacl=null\n");
  } else {
    std::printf("dacl=%u-aces\n", static_cast<unsigned>(dacl->AceCount));
  }
  DWORD label = 0;
  for (DWORD i = 0; sacl != nullptr && i < sacl->AceCount; ++i) {
    void* ace = nullptr;
    if (GetAce(sacl, i, &ace) && static_cast<ACE_HEADER*>(ace)->AceType == SYSTEM_MANDATORY_LABEL_ACE_TYPE) {
      PSID sid = &static_cast<SYSTEM_MANDATORY_LABEL_ACE*>(ace)->SidStart;
      label = *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1);
    }
  }
  if (label == 0) {
    std::printf("label=none\n");
  } else {
    std::printf("label=0x%lx\n", static_cast<unsigned long>(label));
  }
  LocalFree(descriptor);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 4 && std::wcscmp(argv[1], L"hold-name") == 0) {
    HANDLE squatter = CreateEventW(nullptr, TRUE, FALSE, argv[2]);
    if (squatter == nullptr) return 3;
    std::printf("holding\n");
    std::fflush(stdout);
    WaitForFile(argv[3]);
    CloseHandle(squatter);
    return 0;
  }

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
    WaitForFile(argv[3]);
    return 0;
  }
  if (argc == 2 && std::wcscmp(argv[1], L"get-adjust-type") == 0) {
    std::printf("%d\n", getType());
    return 0;
  }
  if (argc == 2 && std::wcscmp(argv[1], L"security") == 0) return PrintBlockSecurity();
  return 2;
}
