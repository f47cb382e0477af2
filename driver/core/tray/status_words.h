// The driver's state in the teacher's words: the icon's picture and tooltip, which the About window shows too.
#pragma once

#include <string>

#include "tray/driver_status.h"

namespace velno {

enum class IconPicture { Looking, Ready, Unreliable, Calibrating };

struct StatusWords {
  IconPicture picture;
  std::wstring tooltip;  // at most 127 characters, the notification area's limit

  friend bool operator==(const StatusWords&, const StatusWords&) = default;
};

// A calibration run comes first, then a link that drops reports, then whether a board answers.
StatusWords DescribeStatus(const DriverStatus& status);

}  // namespace velno
