// A run nobody touches ends by itself, so a teacher with only a pen is never stuck behind the target
// window: during its last seconds the window says so beside the red target.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace adjust {

inline constexpr std::uint32_t kRunTimeoutMs = 30000;  // from the window's opening or the last target taken
inline constexpr std::uint32_t kCountdownMs = 10000;   // the countdown shows for the last ten seconds

// The whole seconds left, rounded up, while the countdown shows; nullopt before it and after the end.
std::optional<std::uint32_t> CountdownSeconds(std::uint32_t msSinceProgress);

// "Closing in 9 s: touch the red target to go on"
std::wstring CountdownText(std::uint32_t seconds);

// Shown on the target window after the driver refused the finished grid, until a target is taken.
std::wstring RefusedGridText();

// Shown on the target window when the driver asks for an earlier target again, until a target is taken.
std::wstring TouchAgainText();

}  // namespace adjust
