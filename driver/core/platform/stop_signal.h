// The service's stop event (kernel_object_names.h), which ends the driver.
#pragma once

namespace velno {

class StopSignal {
 public:
  virtual ~StopSignal() = default;

  // Opened, or created by a driver run without the service; false when neither works.
  virtual bool OpenStopEvent() = 0;
  // Polled with a zero time-out.
  virtual bool StopEventSignalled() = 0;
  virtual void CloseStopEvent() = 0;
};

}  // namespace velno
