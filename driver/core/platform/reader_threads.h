// The threads that read the boards.
#pragma once

#include <functional>

#include "platform/platform_types.h"

namespace velno {

class ReaderThreads {
 public:
  virtual ~ReaderThreads() = default;

  // Runs `body` on a thread of its own at time-critical priority; None when no thread could start.
  virtual ThreadHandle StartReaderThread(std::function<void()> body) = 0;
  virtual void CloseThread(ThreadHandle thread) = 0;
};

}  // namespace velno
