#include <windows.h>

#include <array>

#include "driver_platform_win32.h"

namespace velno {

void Win32PointerOutput::InjectMouse(std::uint32_t flags, std::int32_t x, std::int32_t y) {
  // Past 65535 the coordinates reach a screen beside or below the primary one.
  mouse_event(flags, static_cast<DWORD>(x), static_cast<DWORD>(y), 0, 0);
}

std::uint32_t Win32KeyOutput::SendInput(const InputRecord* records, std::uint32_t count) {
  // On the reader thread: fixed storage, no allocation. The callers send one shortcut entry at most.
  std::array<INPUT, kMaxInputRecords> inputs;
  if (count > inputs.size()) count = static_cast<std::uint32_t>(inputs.size());
  for (std::uint32_t i = 0; i < count; ++i) {
    INPUT& in = inputs[i];
    in = INPUT{};
    in.type = records[i].type;
    if (records[i].type == kInputKeyboard) {
      in.ki.wVk = records[i].key;
      in.ki.dwFlags = records[i].flags;
    } else {
      in.mi.dwFlags = records[i].flags;
    }
  }
  return ::SendInput(count, count != 0 ? inputs.data() : nullptr, sizeof(INPUT));
}

CursorHandle Win32PointerOutput::ShowBusyCursor() {
  HCURSOR busy = LoadCursorW(nullptr, IDC_WAIT);
  return static_cast<CursorHandle>(reinterpret_cast<std::uintptr_t>(SetCursor(busy)));
}

void Win32PointerOutput::RestoreCursor(CursorHandle cursor) {
  SetCursor(reinterpret_cast<HCURSOR>(static_cast<std::uintptr_t>(cursor)));
}

void Win32ProgramStarter::RunCommand(const char* commandLine) { WinExec(commandLine, SW_HIDE); }

}  // namespace velno
