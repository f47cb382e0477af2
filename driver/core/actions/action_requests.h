// What actions on the pen's reader threads leave for others, without waiting for anyone: the next touch
// as a right click for the report path, a tool to start and failures to tell for the icon's thread, and
// the trigger last sent for the settings window's Test.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "actions/trigger.h"
#include "platform/program_starter.h"

namespace velno {

enum class ToolRequest : std::uint8_t { None, CheckCalibration, CalibrateThisScreen };

struct ActionRequests {
  std::atomic<bool> rightClickNext{false};
  std::atomic<ToolRequest> tool{ToolRequest::None};  // taken by the icon's thread
  // Per trigger, the result of its first start that failed in this run (StartResult::Started: none), and
  // whether the icon's thread has told the teacher of it.
  std::array<std::atomic<StartResult>, kTriggerCount> failure{};
  std::array<std::atomic<bool>, kTriggerCount> told{};
  // The trigger sent last, as TriggerIndex + 1 (0: none yet), with a count of sends above it so that the
  // same trigger sent again is news.
  std::atomic<std::uint32_t> lastSent{0};
  // Counts the settings window's "Forget the touch buttons": a reader that sees a count it has not seen
  // empties its board's touch-button list.
  std::atomic<std::uint32_t> touchButtonsForgotten{0};
};

inline constexpr std::uint32_t kSentCountStep = 0x100;

inline void NoteTriggerSent(ActionRequests& requests, Trigger trigger) {
  const std::uint32_t count = (requests.lastSent.load(std::memory_order_relaxed) & ~0xFFu) + kSentCountStep;
  requests.lastSent.store(count | static_cast<std::uint32_t>(TriggerIndex(trigger) + 1), std::memory_order_relaxed);
}

}  // namespace velno
