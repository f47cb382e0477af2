// The monitors, as the pointer output needs them.
#pragma once

#include "platform/display_layout.h"

namespace velno {

class Displays {
 public:
  virtual ~Displays() = default;

  // The monitors as they are now: the platform follows display changes (monitors added, removed, moved,
  // another resolution) by itself. Called for every pen report, so it must be cheap.
  virtual DisplayLayout CurrentDisplayLayout() = 0;
};

}  // namespace velno
