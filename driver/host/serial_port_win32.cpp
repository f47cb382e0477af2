#include <windows.h>

#include <cwchar>
#include <utility>

#include "driver_platform_win32.h"
#include "serial_comm_win32.h"

namespace velno {
namespace {

HANDLE ToHandle(PortHandle port) { return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(port)); }

}  // namespace

// The serial devices present, in the registry's enumeration order: value name = device, data = port.
std::vector<SerialDevice> Win32SerialPorts::ListSerialDevices() {
  std::vector<SerialDevice> devices;
  for (SerialCommValue& value : ReadSerialCommMap(SerialCommRead::NamesAndPorts)) {
    devices.push_back({std::move(value.deviceName), std::move(value.portName)});
  }
  return devices;
}

namespace {

// 9600 8N1, no flow control, DTR and RTS off; reads that give up 30 ms after the last byte. A port
// that refuses any of it is not a board this driver can read.
bool ConfigureBoardLine(HANDLE port) {
  DCB dcb{};
  dcb.DCBlength = sizeof(dcb);
  if (!GetCommState(port, &dcb)) return false;
  dcb.fDtrControl = DTR_CONTROL_DISABLE;
  dcb.fRtsControl = RTS_CONTROL_DISABLE;
  if (!BuildCommDCBW(L"baud=9600 parity=N data=8 stop=1", &dcb)) return false;
  // Windows' mode-string parsing leaves flow control off; Wine's keeps XON/XOFF, under which the
  // bytes 0x11 and 0x13, common in coordinates, vanish. Off on both, explicitly.
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  dcb.fOutxCtsFlow = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  if (!SetCommState(port, &dcb)) return false;

  COMMTIMEOUTS timeouts{};
  if (!GetCommTimeouts(port, &timeouts)) return false;
  timeouts.ReadIntervalTimeout = 30;
  timeouts.ReadTotalTimeoutMultiplier = 150;
  timeouts.ReadTotalTimeoutConstant = 200;
  return SetCommTimeouts(port, &timeouts) != FALSE;
}

}  // namespace

PortHandle Win32SerialPorts::OpenBoardPort(const std::wstring& portName) {
  wchar_t path[300];
  std::swprintf(path, 300, L"\\\\.\\%ls", portName.c_str());
  HANDLE port = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_WRITE_THROUGH,
                            nullptr);
  if (port == INVALID_HANDLE_VALUE) return PortHandle::None;
  if (!ConfigureBoardLine(port)) {
    CloseHandle(port);
    return PortHandle::None;
  }
  return static_cast<PortHandle>(reinterpret_cast<std::uintptr_t>(port));
}

ReadResult Win32SerialPorts::ReadPort(PortHandle port, std::uint8_t* buffer, std::uint32_t count) {
  DWORD read = 0;
  const BOOL ok = ReadFile(ToHandle(port), buffer, count, &read, nullptr);
  return {ok != FALSE, ok != FALSE ? static_cast<std::uint32_t>(read) : 0};
}

bool Win32SerialPorts::WritePort(PortHandle port, std::uint8_t byte) {
  DWORD written = 0;
  return WriteFile(ToHandle(port), &byte, 1, &written, nullptr) != FALSE;
}

void Win32SerialPorts::ClosePort(PortHandle port) { CloseHandle(ToHandle(port)); }

void Win32SerialPorts::KeepSystemAwake() { SetThreadExecutionState(ES_SYSTEM_REQUIRED); }

}  // namespace velno
