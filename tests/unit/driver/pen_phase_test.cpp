#include "pointer/pen_phase.h"

#include <gtest/gtest.h>

namespace velno {
namespace {

using enum PenPhase;
using enum PenAction;

struct Row {
  PenPhase phase;
  bool runOn;
  bool penDown;
  PenStep step;
};

// The pen's table, row by row: every phase under a pen-down and a pen-up report, with and without a run.
const Row kTable[] = {
    {Lifted, false, true, {WarmingUp, None}},
    {Lifted, false, false, {Lifted, None}},
    {WarmingUp, false, true, {Down, Press}},
    {WarmingUp, false, false, {Lifted, None}},
    {Down, false, true, {Down, Move}},
    {Down, false, false, {Lifted, Release}},
    {AwaitingLift, false, true, {AwaitingLift, None}},
    {AwaitingLift, false, false, {Lifted, None}},
    // The first report after a run: a lifted run pen is Lifted, a resting one awaits its lift.
    {RunLifted, false, true, {WarmingUp, None}},
    {RunLifted, false, false, {Lifted, None}},
    {RunDown, false, true, {AwaitingLift, None}},
    {RunDown, false, false, {Lifted, None}},
    // A run takes the pen: a stroke ends, a pen on the surface stays down for the run.
    {Lifted, true, true, {RunDown, StartCapture, false}},
    {Lifted, true, false, {RunLifted, StartCapture, false}},
    {WarmingUp, true, true, {RunDown, StartCapture, false}},
    {WarmingUp, true, false, {RunLifted, StartCapture, false}},
    {Down, true, true, {RunDown, EndStrokeCapture, true}},
    {Down, true, false, {RunLifted, EndStrokeCapture, true}},
    {AwaitingLift, true, true, {RunDown, StartCapture, true}},
    {AwaitingLift, true, false, {RunLifted, StartCapture, true}},
    {RunLifted, true, true, {RunDown, Capture, false}},
    {RunLifted, true, false, {RunLifted, Capture, false}},
    {RunDown, true, true, {RunDown, Capture, true}},
    {RunDown, true, false, {RunLifted, Capture, true}},
};

TEST(PenPhase, EveryPhaseMovesAsItsTableSays) {
  for (const Row& row : kTable) {
    EXPECT_EQ(StepPen(row.phase, row.runOn, row.penDown), row.step)
        << "phase " << static_cast<int>(row.phase) << (row.runOn ? ", run on" : "") << (row.penDown ? ", pen down" : ", pen up");
  }
}

}  // namespace
}  // namespace velno
