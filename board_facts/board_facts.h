// What the pen driver and the calibration tool must both hold true of the board, written once: the grid
// each point count lays out and where its targets sit, the names of the board's serial ports, and the
// adjust-type word with which the tool announces a run. A folder of its own, beside the shared-state
// library rather than inside it: these are facts of the board, not of the shared block, and both
// programs build them in. Portable: no platform calls (the Win32 read of the serial-port map, which both
// programs search with IsBoardPortName, sits beside it in serial_comm_win32.h; the names of the events the
// programs meet through are in kernel_object_names.h).
#pragma once

#include <cstdint>
#include <string_view>

namespace velno {

// Point p of a grid lies in column p / pointRows, row p % pointRows: targets run down the leftmost
// column first.
struct GridShape {
  std::uint32_t pointCount;
  std::int32_t pointRows;
  std::int32_t pointCols;
};
// The shape of the grid of pointCount points (4, 6, 9, 12, 16, 20 or 25); nullptr for any other count.
const GridShape* FindGridShape(std::uint32_t pointCount);

struct TargetFractions {
  double x;
  double y;
};
// Where target p of a grid sits, as fractions of the screen's width and height: the outermost targets
// 1/32 in from each edge, the others evenly between, (1 + k * 30 / (points along - 1)) / 32. Every value
// is exact in double, so scaling by a power of two stays exact.
TargetFractions TargetFractionsOf(const GridShape& shape, std::uint32_t p);

// True for a serial device name (a value name of the system's serial-port map) that begins with
// "\Device\silabser" or "\Device\slabser", the ports of the board's USB-serial bridge. Only ASCII letters
// fold: the names are ASCII, and the answer must not depend on a runtime's locale.
bool IsBoardPortName(std::wstring_view deviceName);

// The adjust type the tool announces a point run with: the point count in the low 16 bits, the screen
// flag (0: the primary screen; 1: an extended one beside it; 2: one above or below it) in the high ones.
struct AdjustType {
  std::uint32_t pointCount;
  std::int32_t screenFlag;
};
// Any screen flag other than 0 and 1 is announced as 2.
std::int32_t EncodeAdjustType(std::uint32_t pointCount, std::int32_t screenFlag);
AdjustType DecodeAdjustType(std::int32_t word);

// The driver asks the tool to show target j again, and to forget what was taken from j on, with the index
// 0x80 | j: a touch it took turned out to be a slip, or the finished grid could not be solved; in a
// touch-button run, the touch for button j lay on a place already set up. The tool answers by publishing
// j; until then the index is no target, so the driver takes no measurement and the tool cannot miss the
// request.
std::int32_t AskAgainIndex(std::uint32_t target);
// The target an index asks for again; 0 when the index is no such request.
std::uint32_t TargetAskedAgain(std::int32_t index);

}  // namespace velno
