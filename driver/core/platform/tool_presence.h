// Whether the calibration tool runs: it holds its hand-off event (kernel_object_names.h) for its whole life.
#pragma once

namespace velno {

class ToolPresence {
 public:
  virtual ~ToolPresence() = default;

  // True while the tool's hand-off event can be opened by name.
  virtual bool AdjustToolRunning() = 0;
};

}  // namespace velno
