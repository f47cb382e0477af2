// Framing of the board's byte stream into six-byte reports, with resynchronisation on the next lead
// byte. Pure: the caller reads into ReadTarget and hands the outcome to TakeRead.
#pragma once

#include <cstdint>

#include "link/board_report.h"

namespace velno {

struct ReportFramer {
  BoardReport buffer{};
  std::uint32_t held = 0;  // 0..5 between reads; the first held byte is a lead byte
};

inline std::uint32_t BytesWanted(const ReportFramer& f) { return 6 - f.held; }
inline std::uint8_t* ReadTarget(ReportFramer& f) { return f.buffer.data() + f.held; }

// Takes the outcome of one read into ReadTarget: the bytes that arrived, 0 when the read failed or timed
// out. Returns true when the buffer holds a valid report to
// dispatch now (nothing is held afterwards).
//
// A report is judged only once all six of its bytes have come, possibly over several reads: a report
// that arrives split across reads is kept, and bytes left in the buffer by earlier reads never count.
// Six bytes that are no valid report are dropped up to the next lead byte after the first; a read that
// brings nothing drops what was held.
bool TakeRead(ReportFramer& f, std::uint32_t arrived);

}  // namespace velno
