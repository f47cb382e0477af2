// Prepared input: the key sequences of shortcuts and actions, and the clicks some of them hold.
#pragma once

#include <cstdint>

#include "platform/input_records.h"

namespace velno {

class KeyOutput {
 public:
  virtual ~KeyOutput() = default;

  // Sends the records in one call (at most kMaxInputRecords); returns how many went through.
  virtual std::uint32_t SendInput(const InputRecord* records, std::uint32_t count) = 0;
};

}  // namespace velno
