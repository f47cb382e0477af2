#include "serial_comm_win32.h"

#include <windows.h>

namespace velno {

std::vector<SerialCommValue> ReadSerialCommMap(SerialCommRead read) {
  std::vector<SerialCommValue> values;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return values;
  }
  const bool withPorts = read == SerialCommRead::NamesAndPorts;
  DWORD count = 0;
  if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                       nullptr) == ERROR_SUCCESS) {
    for (DWORD index = 0; index < count; ++index) {
      wchar_t name[260] = {};
      // 260 bytes of data, plus a terminator the registry may not have stored.
      wchar_t data[131] = {};
      DWORD nameLength = 260;
      DWORD dataBytes = 260;
      if (RegEnumValueW(key, index, name, &nameLength, nullptr, nullptr,
                        withPorts ? reinterpret_cast<BYTE*>(data) : nullptr, withPorts ? &dataBytes : nullptr) !=
          ERROR_SUCCESS) {
        continue;
      }
      values.push_back({std::wstring(name, nameLength), data});
    }
  }
  RegCloseKey(key);
  return values;
}

}  // namespace velno
