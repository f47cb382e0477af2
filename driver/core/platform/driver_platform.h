// What the driver core needs from the platform, role by role: the Win32 side implements each role in the
// file of its concern, unit tests with small recording fakes. Nothing in the core calls the platform any
// other way. This record only carries the roles to the driver's composition (the supervisor and the
// reader it wires); every feature function takes just the roles it uses.
#pragma once

#include "platform/clock.h"
#include "platform/displays.h"
#include "platform/event_log.h"
#include "platform/key_output.h"
#include "platform/pointer_output.h"
#include "platform/program_starter.h"
#include "platform/reader_threads.h"
#include "platform/serial_ports.h"
#include "platform/settings_store.h"
#include "platform/shared_state.h"
#include "platform/stop_signal.h"
#include "platform/tool_presence.h"

namespace velno {

struct DriverPlatform {
  SharedStateLoader& library;
  StopSignal& stop;
  SerialPorts& ports;
  ReaderThreads& threads;
  Clock& clock;
  PointerOutput& pointer;
  KeyOutput& keys;
  ProgramStarter& programs;
  SettingsStore& settings;
  Displays& displays;
  EventLog& log;
  ToolPresence& tool;
};

}  // namespace velno
