#include "velno_library_win32.h"

#include <windows.h>

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

bool LoadVelnoLibrary(const wchar_t* fileName, VelnoLibrary& library) {
  HMODULE module = LoadLibraryW(fileName);
  if (module == nullptr) return false;
  ModuleLookup lookup(module);
  return BindVelnoLibrary(lookup, library);
}

}  // namespace velno
