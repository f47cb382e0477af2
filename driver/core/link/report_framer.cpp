#include "link/report_framer.h"

#include <algorithm>

namespace velno {
namespace {

// Keeps the buffered bytes from the first lead byte after the first one, or drops them all.
void Resynchronise(ReportFramer& f, std::uint32_t buffered) {
  for (std::uint32_t k = 1; k < buffered; ++k) {
    if (IsLeadByte(f.buffer[k])) {
      std::copy(f.buffer.begin() + k, f.buffer.begin() + buffered, f.buffer.begin());
      f.held = buffered - k;
      return;
    }
  }
  f.held = 0;
}

}  // namespace

bool TakeRead(ReportFramer& f, std::uint32_t arrived) {
  if (arrived == 0) {
    f.held = 0;
    return false;
  }
  const std::uint32_t buffered = f.held + arrived;
  if (buffered == 6) {
    if (IsValidReport(f.buffer)) {
      f.held = 0;
      return true;
    }
    Resynchronise(f, buffered);
    return false;
  }
  // Part of a report: wait for the rest when it starts with a lead byte.
  if (IsLeadByte(f.buffer[0])) {
    f.held = buffered;
    return false;
  }
  Resynchronise(f, buffered);
  return false;
}

}  // namespace velno
