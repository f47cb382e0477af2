// A clock that stands still unless a test moves it or the driver sleeps.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/clock.h"

namespace velno::testing {

class FakeClock : public Clock {
 public:
  TimeStamp ReadClock() override {
    std::scoped_lock guard(lock_);
    return {static_cast<std::int32_t>(nowMs / 1000), static_cast<std::int32_t>(nowMs % 1000)};
  }
  std::uint64_t ReadMonotonicMs() override {
    std::scoped_lock guard(lock_);
    return nowMs;
  }
  void Sleep(std::uint32_t milliseconds) override {
    {
      std::scoped_lock guard(lock_);
      sleeps.push_back(milliseconds);
      nowMs += milliseconds;
    }
    // Outside the lock: the hook may take the driver's locks, which the driver holds while calling here.
    if (onSleep) onSleep();
  }

  std::uint64_t nowMs = 0;
  std::vector<std::uint32_t> sleeps;
  std::function<void()> onSleep;  // runs after each Sleep, e.g. to stop a reader loop

 private:
  std::mutex lock_;
};

}  // namespace velno::testing
