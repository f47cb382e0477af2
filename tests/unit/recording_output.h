// The driver's output as it was made: pointer calls, prepared input and started programs, in one order.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/key_output.h"
#include "platform/pointer_output.h"
#include "platform/program_starter.h"

namespace velno::testing {

// Which input call came when: mouse_event calls and SendInput calls are recorded apart.
enum class Injection { Mouse, Input };

struct MouseCall {
  std::uint32_t flags;
  std::int32_t x;
  std::int32_t y;

  friend bool operator==(const MouseCall&, const MouseCall&) = default;
};

class RecordingOutput : public PointerOutput, public KeyOutput, public ProgramStarter {
 public:
  void InjectMouse(std::uint32_t flags, std::int32_t x, std::int32_t y) override {
    std::scoped_lock guard(lock_);
    mouse.push_back({flags, x, y});
    injectionOrder.push_back(Injection::Mouse);
  }
  CursorHandle ShowBusyCursor() override {
    std::scoped_lock guard(lock_);
    ++busyCursorCalls;
    return kBusyCursorReplaced;
  }
  void RestoreCursor(CursorHandle cursor) override {
    std::scoped_lock guard(lock_);
    restoredCursors.push_back(cursor);
  }
  std::uint32_t SendInput(const InputRecord* records, std::uint32_t count) override {
    std::scoped_lock guard(lock_);
    inputs.emplace_back(records, records + count);
    injectionOrder.push_back(Injection::Input);
    return count;
  }
  StartResult StartProgram(const std::wstring& program, const std::wstring& arguments, bool) override {
    return Started(program + (arguments.empty() ? L"" : L" " + arguments));
  }
  StartResult Open(const std::wstring& target, const std::wstring& arguments) override {
    return Started(L"open " + target + (arguments.empty() ? L"" : L" " + arguments));
  }

  // The cursor that ShowBusyCursor reports it replaced.
  static constexpr CursorHandle kBusyCursorReplaced = static_cast<CursorHandle>(0xC0);

  std::vector<MouseCall> mouse;
  std::vector<std::vector<InputRecord>> inputs;
  std::vector<Injection> injectionOrder;  // mouse and inputs, interleaved as they were made
  int busyCursorCalls = 0;
  std::vector<CursorHandle> restoredCursors;
  std::vector<std::string> commands;  // programs started and files opened, as ASCII command lines
  StartResult startResult = StartResult::Started;  // what every start answers

 private:
  StartResult Started(const std::wstring& commandLine) {
    std::scoped_lock guard(lock_);
    commands.emplace_back(commandLine.begin(), commandLine.end());
    return startResult;
  }

  std::mutex lock_;  // two boards' readers on threads of their own inject at once
};

}  // namespace velno::testing
