// The settings file's text as the driver writes it: a save's keys merged into the text the file had,
// every other line kept as it was, then sealed with a check value in lines of their own at the top, so
// that a load can tell a complete file from one that a crash or a power cut left half written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/settings_store.h"

namespace velno {

// What a look at a settings file finds.
enum class SettingsFileState {
  Missing,
  Sealed,      // written by the driver and complete: its check value matches
  Unsealed,    // without check lines (written by hand, by an earlier version, or empty): taken as it is
  Torn,        // its check value does not match: a save was cut short, or the file was edited by hand
  Binary,      // holds NUL characters: zero-filled by a power cut, or no text at all
  TooBig,      // over kMaxSettingsFileBytes
  Unreadable,  // the platform could not read it
};

// A settings file is a few kilobytes; a bigger one is no settings file.
inline constexpr std::uint64_t kMaxSettingsFileBytes = 1 << 20;

// Every write applied to `text` in order, as the profile calls would find them again: the first key of its
// name in the first section of its name (both without regard to case) takes the new value; a missing key
// is added after the last line of its section, a missing section at the end. Lines are ended by CR LF.
std::wstring MergeSettingWrites(std::wstring text, const std::vector<SettingWrite>& writes);

// `body` with the check lines in front: a section of their own holding the CRC-32 of the body (as the
// UTF-16LE bytes the file stores).
std::wstring SealSettingsText(std::wstring_view body);

// Sealed, Unsealed, Torn or Binary.
SettingsFileState JudgeSettingsText(std::wstring_view text);

// The text after its check lines (all of it when it has none): what the next save merges into.
std::wstring_view SettingsBody(std::wstring_view text);

}  // namespace velno
