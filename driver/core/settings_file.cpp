#include "settings_file.h"

namespace velno {

// The settings file is neither read nor written yet.
void LoadSettings(Driver&, BoardContext&) {}

void SaveSettings(Driver&, const BoardContext&) {}

}  // namespace velno
