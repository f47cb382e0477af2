// Programs, files and web addresses that button actions start.
#pragma once

#include <cstdint>
#include <string>

namespace velno {

enum class StartResult : std::uint8_t {
  Started,   // started; what it does then is its own
  NotFound,  // no such program, file or program for the address
  Failed,    // there, but it could not be started
};

class ProgramStarter {
 public:
  virtual ~ProgramStarter() = default;

  // Starts a program by name or path (the platform's program search finds a bare name) with its
  // arguments, without waiting for it; hidden: no window is shown for it.
  virtual StartResult StartProgram(const std::wstring& program, const std::wstring& arguments, bool hidden) = 0;
  // Opens a file or a web address with the program Windows has for it.
  virtual StartResult Open(const std::wstring& target, const std::wstring& arguments) = 0;
};

}  // namespace velno
