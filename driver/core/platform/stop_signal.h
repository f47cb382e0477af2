// What ends the driver: the stop signal its service handed it, or, for a driver started by hand, the
// service's named stop event (kernel_object_names.h).
#pragma once

namespace velno {

class StopSignal {
 public:
  virtual ~StopSignal() = default;

  // Opened, or the named one created by a driver run without the service; false when neither works.
  virtual bool OpenStopEvent() = 0;
  // Polled with a zero time-out.
  virtual bool StopEventSignalled() = 0;
  virtual void CloseStopEvent() = 0;
};

}  // namespace velno
