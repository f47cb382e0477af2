// Whether the program that drives a capture run is there: it holds the run's named event
// (kernel_object_names.h) from before it starts the run until after it has stopped it.
#pragma once

namespace velno {

enum class CaptureRun { Point, Button };

class ToolPresence {
 public:
  virtual ~ToolPresence() = default;

  // True while the run's event can be opened by name.
  virtual bool RunToolPresent(CaptureRun run) = 0;
};

}  // namespace velno
