// The 14 operations of Velno.dll the tool binds by name: the point-calibration run's seven and the
// button run's seven. It calls only four of them, but a library without all 14 is not one it runs with.
#pragma once

#include <cstdint>
#include <functional>

namespace adjust {

struct AdjustOperations {
  using Get = std::int32_t (*)();
  using Set = std::int32_t (*)(std::int32_t);

  Get StartAdjust;
  Get StopAdjust;
  Set SetAdjustCurrentIndex;
  Get GetAdjustCurrentIndex;
  Get IsAdjusting;
  Set SetAdjustType;
  Get GetAdjustType;

  Get StartButtonAdjust;
  Get StopButtonAdjust;
  Set SetButtonAdjustCurrentIndex;
  Get GetButtonAdjustCurrentIndex;
  Get IsButtonAdjusting;
  Set SetButtonAdjustType;
  Get GetButtonAdjustType;
};

// Looks an exported operation up by name; nullptr when the library lacks it.
using FindOperation = std::function<void*(const char* name)>;

// Resolves the point-run names, then the button-run names, in their order; false as soon as one group
// misses a name (the second group is then not looked up).
bool BindAdjustOperations(const FindOperation& find, AdjustOperations& operations);

}  // namespace adjust
