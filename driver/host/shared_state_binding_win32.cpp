#include <windows.h>

#include "driver_platform_win32.h"

namespace velno {
namespace {

class ModuleLookup : public SymbolLookup {
 public:
  explicit ModuleLookup(HMODULE module) : module_(module) {}
  void* Find(const char* name) override { return reinterpret_cast<void*>(GetProcAddress(module_, name)); }

 private:
  HMODULE module_;
};

}  // namespace

// The library is loaded by file name and never unloaded: the bound operations are used until the end.
bool Win32SharedStateLoader::BindSharedState(SharedState& library) {
  HMODULE module = LoadLibraryW(L"Velno.dll");
  if (module == nullptr) return false;
  ModuleLookup lookup(module);
  return BindSharedStateOperations(lookup, library);
}

}  // namespace velno
