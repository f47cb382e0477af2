#include "actions/gestures.h"


namespace velno {
namespace {

// The library keeps the thresholds in hundredths of a square board unit, as unsigned 32-bit values.
constexpr double kThresholdScale = 0.01;

double AreaLimit(std::int32_t threshold) { return static_cast<std::uint32_t>(threshold) * kThresholdScale; }

void Widen(GestureBox& box, std::int32_t x, std::int32_t y) {
  if (box.maxX == 0 || box.maxX < x) box.maxX = x;
  if (box.maxY == 0 || box.maxY < y) box.maxY = y;
  if (box.minX == 0 || box.minX > x) box.minX = x;
  if (box.minY == 0 || box.minY > y) box.minY = y;
}

// The box's area. For positions the board reports (0..32767) this is exactly the 32-bit product; it is
// worked from 64-bit sides in double so that no input, whatever its range, can overflow.
double Area(const GestureBox& box) {
  const std::int64_t width = static_cast<std::int64_t>(box.maxX) - box.minX;
  const std::int64_t height = static_cast<std::int64_t>(box.maxY) - box.minY;
  return static_cast<double>(height) * static_cast<double>(width);
}

// The erase test comes first, so that with an erase limit at or below the brush limit every area from
// the erase limit up gives the large entry.
int GestureEntryForArea(double area, double brushLimit, double eraseLimit) {
  if (area >= eraseLimit) return kGestureLargeEntry;
  if (area < brushLimit) return kGestureSmallEntry;
  return kGestureMediumEntry;
}

}  // namespace

void TrackGesture(const ActionOutputs& outputs, const LiveButtonActions& actions, const SharedState& sharedState,
                  GestureBox& box, ShortcutTable& shortcuts, std::int32_t x, std::int32_t y, PenEvent event) {
  // The thresholds are read on every report: the calibration tool may change them at any time.
  const double brushLimit = AreaLimit(sharedState.GetGestureBrush());
  const double eraseLimit = AreaLimit(sharedState.GetGestureErase());

  if (event == kPenRelease) {
    box = GestureBox{};
    return;
  }
  if (box.sampleCount >= kGestureSamples) return;  // a stroke is recognised once
  ++box.sampleCount;
  Widen(box, x, y);
  if (box.sampleCount == kGestureSamples) {
    const int gesture = GestureEntryForArea(Area(box), brushLimit, eraseLimit) - kGestureSmallEntry;
    RunTriggerActions(outputs, shortcuts, *actions.Current(), {TriggerKind::Gesture, gesture}, false);
  }
}

}  // namespace velno
