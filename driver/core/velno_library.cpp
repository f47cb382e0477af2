#include "velno_library.h"

#include <array>
#include <type_traits>

namespace velno {
namespace {

// One resolver per operation: its name and where its pointer goes.
struct Operation {
  const char* name;
  void (*store)(VelnoLibrary&, void*);
};

template <auto Member>
void Store(VelnoLibrary& library, void* symbol) {
  // The library exports plain functions; a function pointer round-trips through void* on every
  // platform the driver runs on (GetProcAddress and dlsym rely on it).
  library.*Member = reinterpret_cast<std::remove_reference_t<decltype(library.*Member)>>(symbol);
}

#define VELNO_OP(name) Operation{#name, &Store<&VelnoLibrary::name>}

constexpr std::array kGroup1 = {
    VELNO_OP(StartAdjust),   VELNO_OP(StopAdjust),     VELNO_OP(SetAdjustCurrentIndex),
    VELNO_OP(GetAdjustCurrentIndex), VELNO_OP(IsAdjusting), VELNO_OP(SetAdjustType),
    VELNO_OP(GetAdjustType), VELNO_OP(SetDeviceState), VELNO_OP(GetDeviceState),
    VELNO_OP(GetButtonTarget),
};
constexpr std::array kGroup2 = {
    VELNO_OP(StartButtonAdjust),         VELNO_OP(StopButtonAdjust),  VELNO_OP(SetButtonAdjustCurrentIndex),
    VELNO_OP(GetButtonAdjustCurrentIndex), VELNO_OP(IsButtonAdjusting), VELNO_OP(SetButtonAdjustType),
    VELNO_OP(GetButtonAdjustType),
};
constexpr std::array kGroup3 = {
    VELNO_OP(SetGestureBrush),    VELNO_OP(GetGestureBrush),   VELNO_OP(SetGestureErase),
    VELNO_OP(GetGestureErase),    VELNO_OP(IsGestureAdjusting), VELNO_OP(StopGestureAdjust),
    VELNO_OP(IsUsingGesture),
};

#undef VELNO_OP

template <std::size_t N>
bool BindGroup(SymbolLookup& lookup, VelnoLibrary& library, const std::array<Operation, N>& group) {
  bool complete = true;
  for (const Operation& op : group) {
    void* symbol = lookup.Find(op.name);
    if (symbol == nullptr) complete = false;
    op.store(library, symbol);
  }
  return complete;
}

}  // namespace

bool BindVelnoLibrary(SymbolLookup& lookup, VelnoLibrary& library) {
  library = VelnoLibrary{};
  return BindGroup(lookup, library, kGroup1) && BindGroup(lookup, library, kGroup2) &&
         BindGroup(lookup, library, kGroup3);
}

}  // namespace velno
