#include "board_context.h"

#include "calibration_grid.h"

namespace velno {

BoardContext::BoardContext()
    : adjustType(0),
      pointRows(0),
      pointCols(0),
      touchButtons{},
      touchButtonCount(0),
      rawPoints{},
      targetPoints{},
      cellCentres{},
      cellCount(0),
      cellRows(0),
      cellCols(0),
      shortcuts{},
      cellCoefficients{},
      smoothing{},
      penUp(1),
      lastX(0),
      lastY(0),
      capture{},
      outX(0),
      outY(0),
      calibrated(0),
      extendScreenFlag(0),
      link{},
      touchPress{},
      buttonPress{},
      hold{},
      gesture{} {
  // The construction order of the record: calibration reset, shortcut table, empty port name,
  // coefficients and pointer state (zeroed above, pen up), no port and no reader.
  ResetCalibration(*this);
  BuildShortcutTable(shortcuts);
}

}  // namespace velno
