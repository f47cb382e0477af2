// Starting the calibration tool from the driver's menu.
#pragma once

#include <string>

namespace velno {

class ToolStarter {
 public:
  virtual ~ToolStarter() = default;

  // Starts the tool installed beside the driver under `programName` (the name picks its screens), shown,
  // with `arguments`; false when it could not be started.
  virtual bool StartTool(const std::wstring& programName, const std::wstring& arguments) = 0;
  // Whether the tool this starter started last still runs: it may not yet have made itself known.
  virtual bool StartedToolRunning() = 0;
};

}  // namespace velno
