// What a board script compiles to: a flat list of actions the player carries out in order.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "handshake_answer.h"

namespace board_sim {

using std::chrono::microseconds;
using std::chrono::milliseconds;

// Writes bytes to the host. They go no sooner than `gap` after the previous bytes were written.
struct SendBytes {
  std::vector<std::uint8_t> bytes;
  microseconds gap;
  friend bool operator==(const SendBytes&, const SendBytes&) = default;
};

struct Pause {
  milliseconds duration;
  friend bool operator==(const Pause&, const Pause&) = default;
};

// Waits for a 0xEE that no earlier WaitHandshake has accounted for; fails after `timeout`.
struct WaitHandshake {
  milliseconds timeout;
  friend bool operator==(const WaitHandshake&, const WaitHandshake&) = default;
};

// Waits until `count` bytes have arrived since the previous WaitBytes; fails after `timeout`.
struct WaitBytes {
  std::uint64_t count;
  milliseconds timeout;
  friend bool operator==(const WaitBytes&, const WaitBytes&) = default;
};

// Waits until the file `path` exists, sending `repeat` (when not empty) every `gap` meanwhile and at least
// once; fails after `timeout`. Lets a test hold the pen on a target until the screen has moved on.
struct WaitForFile {
  std::string path;
  milliseconds timeout;
  std::vector<std::uint8_t> repeat;
  microseconds gap;
  friend bool operator==(const WaitForFile&, const WaitForFile&) = default;
};

// Waits until the file `path` exists, then touches where it says ("X Y" in board units): `reports`
// pen-down reports `gap` apart, then a pen-up there. Lets a test touch what it has seen on the screen.
struct TapAtFile {
  std::string path;
  milliseconds timeout;
  int reports;
  microseconds gap;
  friend bool operator==(const TapAtFile&, const TapAtFile&) = default;
};

// Drops bytes sent earlier that the host has not read yet.
struct FlushUnread {
  friend bool operator==(const FlushUnread&, const FlushUnread&) = default;
};

struct SetAnswerMode {
  AnswerMode mode;
  friend bool operator==(const SetAnswerMode&, const SetAnswerMode&) = default;
};

struct Unplug {
  friend bool operator==(const Unplug&, const Unplug&) = default;
};

struct Replug {
  friend bool operator==(const Replug&, const Replug&) = default;
};

// A line in the simulator's log, for lining up phases of a test.
struct Mark {
  std::string text;
  friend bool operator==(const Mark&, const Mark&) = default;
};

using Action =
    std::variant<SendBytes, Pause, WaitHandshake, WaitBytes, WaitForFile, TapAtFile, FlushUnread, SetAnswerMode, Unplug,
                 Replug, Mark>;

struct BoardAction {
  int line;  // script line it came from, 1-based
  Action action;
};

}  // namespace board_sim
