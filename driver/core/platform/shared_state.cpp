#include "platform/shared_state.h"

#include <type_traits>

namespace velno {
namespace {

// One resolver per operation: its name, its group and where its pointer goes.
struct Operation {
  const char* name;
  int group;
  void (*store)(SharedState&, void*);
};

template <auto Member>
void Store(SharedState& library, void* symbol) {
  // The library exports plain functions; a function pointer round-trips through void* on every
  // platform the driver runs on (GetProcAddress and dlsym rely on it).
  library.*Member = reinterpret_cast<std::remove_reference_t<decltype(library.*Member)>>(symbol);
}

#define VELNO_RESOLVER(name, signature, driverGroup, toolGroup) \
  VELNO_WHEN_BOUND(driverGroup, Operation{#name, driverGroup, &Store<&SharedState::name>},)
constexpr Operation kOperations[] = {VELNO_OPERATIONS(VELNO_RESOLVER)};
#undef VELNO_RESOLVER

bool BindGroup(SymbolLookup& lookup, SharedState& library, int group) {
  bool complete = true;
  for (const Operation& op : kOperations) {
    if (op.group != group) continue;
    void* symbol = lookup.Find(op.name);
    if (symbol == nullptr) complete = false;
    op.store(library, symbol);
  }
  return complete;
}

}  // namespace

bool BindSharedStateOperations(SymbolLookup& lookup, SharedState& library) {
  library = SharedState{};
  return BindGroup(lookup, library, 1) && BindGroup(lookup, library, 2) && BindGroup(lookup, library, 3);
}

}  // namespace velno
