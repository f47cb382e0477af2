// Replacing a file or symlink so that a reader sees either the old or the new one, never a gap:
// write under a temporary name in the same folder, then rename over the old one.
#pragma once

#include <filesystem>
#include <string_view>

namespace board_sim {

// Throws std::system_error.
void ReplaceSymlink(const std::filesystem::path& link, const std::filesystem::path& target);
void ReplaceFileContents(const std::filesystem::path& file, std::string_view contents);

}  // namespace board_sim
