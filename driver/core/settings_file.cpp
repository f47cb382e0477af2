#include "settings_file.h"

namespace velno {

// The settings file is not written yet.
void SaveSettings(Driver&, const BoardContext&) {}

}  // namespace velno
