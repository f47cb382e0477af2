// Programs that button actions start.
#pragma once

namespace velno {

class ProgramStarter {
 public:
  virtual ~ProgramStarter() = default;

  // Starts a program by command line, hidden, without waiting for it (WinExec with SW_HIDE).
  virtual void RunCommand(const char* commandLine) = 0;
};

}  // namespace velno
