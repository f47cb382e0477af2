// Velno.dll: the shared block lives in a named file mapping, created zero-filled by the first process
// that loads the library and opened by every later one. Unlike a shared data section, a named mapping
// is shared by 32-bit and 64-bit copies of the library alike.
//
// Every process of the session must reach the same block, whoever created it: the mapping has a null
// DACL, so that an elevated creator does not lock the others out. It keeps the default, medium,
// integrity label: the driver and the tool run at medium, and a low-integrity process (a sandboxed
// browser) must not start a calibration run or make the driver save. A process that cannot have the
// block does not load the library at all (DllMain fails the attach): LoadLibrary fails where the caller
// can report it, and the driver ends as it does without the library, rather than each process running
// on a private block of its own that nobody else sees.
#include <windows.h>

#include "shared_state_ops.h"
#include "velno.h"

namespace {

constexpr wchar_t kMappingName[] = L"Local\\Velno_SharedState";

HANDLE g_mapping = nullptr;
velno::SharedBlock* g_block = nullptr;

velno::SharedBlock& Block() { return *g_block; }

// A security descriptor with a null DACL: everyone at medium integrity or above may open the block for
// reading and writing.
bool BuildOpenToSession(SECURITY_DESCRIPTOR& descriptor) {
  return InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
         SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
}

bool MapSharedBlock() {
  SECURITY_DESCRIPTOR descriptor{};
  if (!BuildOpenToSession(descriptor)) return false;
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), &descriptor, FALSE};
  g_mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, &attributes, PAGE_READWRITE, 0, sizeof(velno::SharedBlock),
                                 kMappingName);
  if (g_mapping == nullptr) return false;
  // A fresh page-file mapping is zero-filled, so the first process finds every value at 0.
  g_block = static_cast<velno::SharedBlock*>(
      MapViewOfFile(g_mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(velno::SharedBlock)));
  return g_block != nullptr;
}

void UnmapSharedBlock() {
  if (g_block != nullptr) UnmapViewOfFile(g_block);
  if (g_mapping != nullptr) CloseHandle(g_mapping);
  g_block = nullptr;
  g_mapping = nullptr;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH && !MapSharedBlock()) {
    // The library is unloaded at once; what was had is freed here, and a detach call finds nothing.
    UnmapSharedBlock();
    return FALSE;
  }
  if (reason == DLL_PROCESS_DETACH) UnmapSharedBlock();
  return TRUE;
}

#define VELNO_DEFINE_EXPORT(name, signature, driverGroup, toolGroup) \
  std::int32_t name(VELNO_PARAMETERS_##signature) { return velno::name(Block() VELNO_ARGUMENTS_##signature); }
VELNO_OPERATIONS(VELNO_DEFINE_EXPORT)
#undef VELNO_DEFINE_EXPORT
