// A board's reader thread as the driver wires it: the link's passes over the slot's port, each report
// handed to the report path of the slot's board, and every pass to the watch that ends abandoned runs.
#pragma once

#include "driver.h"

namespace velno {

// The body of slot `slot`'s reader thread: passes until the driver stops or the board is lost.
void ReaderThread(Driver& driver, int slot);

}  // namespace velno
