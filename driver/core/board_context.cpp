#include "board_context.h"

#include "calibration/calibration_grid.h"

namespace velno {

BoardContext::BoardContext() : shortcuts{}, buttons{}, hold{}, gesture{} {
  // Every record starts empty with the pen up; then the calibration is reset and the shortcut table built.
  ResetCalibration(calibration);
  BuildShortcutTable(shortcuts);
}

}  // namespace velno
