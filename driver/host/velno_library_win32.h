// Loading Velno.dll by file name and binding the driver's 24 operations.
#pragma once

#include "velno_library.h"

namespace velno {

// Loads the library (never unloaded) and binds the operations group by group. False when the library
// cannot be loaded or one of the operations is missing.
bool LoadVelnoLibrary(const wchar_t* fileName, VelnoLibrary& library);

}  // namespace velno
