// The 24 operations of Velno.dll that the driver binds by name (those with a driver group in
// velno_operations.h), as function pointers.
#pragma once

#include <cstdint>

#include "velno_operations.h"

namespace velno {

struct SharedState {
  using Get = std::int32_t (*)();
  using Set = std::int32_t (*)(std::int32_t);
  using GetPair = std::int32_t (*)(std::int32_t*, std::int32_t*);

#define SHARED_STATE_MEMBER(name, signature, driverGroup, toolGroup) VELNO_WHEN_BOUND(driverGroup, signature name;)
  VELNO_OPERATIONS(SHARED_STATE_MEMBER)
#undef SHARED_STATE_MEMBER
};

// Looks an exported operation up by name in the loaded library; nullptr when it is missing.
class SymbolLookup {
 public:
  virtual ~SymbolLookup() = default;
  virtual void* Find(const char* name) = 0;
};

// Resolves the operations in their three groups, in order; stops after the first group that misses
// one. Returns true when all 24 were found.
bool BindSharedStateOperations(SymbolLookup& lookup, SharedState& library);

// Loads "Velno.dll" and binds the 24 operations. False when the library or any of the operations is missing.
class SharedStateLoader {
 public:
  virtual ~SharedStateLoader() = default;
  virtual bool BindSharedState(SharedState& library) = 0;
};

// Whether gesture recognition is on: the library's using-gesture flag, read (an argument of -1 reads it
// without changing it).
inline bool GesturesEnabled(const SharedState& library) { return library.IsUsingGesture(-1) != 0; }

}  // namespace velno
