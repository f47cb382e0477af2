// tool_watch.exe <logfile>: what the calibration tool shows and what it tells the driver, as seen from
// outside. Every 2 ms it reads both runs' index words through Velno.dll and lists the visible dialog
// windows (class #32770: the chooser, the target window, message boxes) and popup menus; it logs each change:
//   ready clock=... t_us=...
//   index k=3 adjusting=1 type=9 t_us=...
//   buttons k=2 adjusting=1 type=6 t_us=...   (the touch-button run)
//   device found=1 t_us=...            (GetDeviceState: 1 while the driver has a board)
//   window hwnd=0x1234 title="Adjusting" x=0 y=0 w=1280 h=1024 focus=1007 texts="No extend screen" t_us=...
//   menu hwnd=0x1238 title="" x=600 y=400 w=198 h=166 focus=0 texts="" t_us=...   (a popup menu, class #32768)
//   gone hwnd=0x1234 t_us=...
//   control dialog=0x1234 id=1009 x=700 y=420 w=246 h=60 t_us=...   (each visible child but the icons)
// focus is the control number of the window thread's focus (0: none); texts are the texts of the visible
// static controls that are not icons, joined by '|'. Text is UTF-8. t_us as in linux_monotonic_clock.h.
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>

#include "linux_monotonic_clock.h"

namespace {

HANDLE g_log = INVALID_HANDLE_VALUE;

void LogLine(const std::string& text) {
  const std::string line = text + " t_us=" + std::to_string(velno_test::MonotonicMicroseconds()) + "\n";
  DWORD written = 0;
  WriteFile(g_log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

std::wstring TextOf(HWND window) {
  wchar_t buffer[512] = {};
  GetWindowTextW(window, buffer, 512);
  return buffer;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM data) {
  wchar_t className[32] = {};
  GetClassNameW(child, className, 32);
  const std::wstring text = TextOf(child);
  const bool icon = (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
  if (lstrcmpiW(className, L"Static") == 0 && !icon && !text.empty() && IsWindowVisible(child)) {
    auto& texts = *reinterpret_cast<std::wstring*>(data);
    texts += (texts.empty() ? L"" : L"|") + text;
  }
  return TRUE;
}

std::string Describe(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  int focus = 0;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread) && thread.hwndFocus != nullptr &&
      thread.hwndFocus != window) {
    focus = GetDlgCtrlID(thread.hwndFocus);
  }
  std::wstring texts;
  EnumChildWindows(window, CollectStaticText, reinterpret_cast<LPARAM>(&texts));
  char head[160];
  std::snprintf(head, sizeof head, "hwnd=%#llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
  return std::string(head) + " title=\"" + Utf8(TextOf(window)) + "\" x=" + std::to_string(rect.left) +
         " y=" + std::to_string(rect.top) + " w=" + std::to_string(rect.right - rect.left) +
         " h=" + std::to_string(rect.bottom - rect.top) + " focus=" + std::to_string(focus) + " texts=\"" +
         Utf8(texts) + "\"";
}

BOOL CALLBACK CollectControl(HWND child, LPARAM data) {
  const bool icon = (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
  if (!IsWindowVisible(child) || icon) return TRUE;
  RECT rect{};
  GetWindowRect(child, &rect);
  char head[64];
  std::snprintf(head, sizeof head, "dialog=%#llx",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(GetParent(child))));
  (*reinterpret_cast<std::map<HWND, std::string>*>(data))[child] =
      std::string(head) + " id=" + std::to_string(GetDlgCtrlID(child)) + " x=" + std::to_string(rect.left) +
      " y=" + std::to_string(rect.top) + " w=" + std::to_string(rect.right - rect.left) +
      " h=" + std::to_string(rect.bottom - rect.top);
  return TRUE;
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM data) {
  wchar_t className[32] = {};
  GetClassNameW(window, className, 32);
  const bool dialog = lstrcmpW(className, L"#32770") == 0;
  if (IsWindowVisible(window) && (dialog || lstrcmpW(className, L"#32768") == 0)) {
    (*reinterpret_cast<std::map<HWND, std::string>*>(data))[window] = (dialog ? "window " : "menu ") + Describe(window);
  }
  return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  g_log = CreateFileW(argv[1], GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (g_log == INVALID_HANDLE_VALUE) return 2;
  HMODULE library = LoadLibraryW(L"Velno.dll");
  if (library == nullptr) return 3;
  using Get = int (*)();
  const auto index = reinterpret_cast<Get>(reinterpret_cast<void*>(GetProcAddress(library, "GetAdjustCurrentIndex")));
  const auto adjusting = reinterpret_cast<Get>(reinterpret_cast<void*>(GetProcAddress(library, "IsAdjusting")));
  const auto type = reinterpret_cast<Get>(reinterpret_cast<void*>(GetProcAddress(library, "GetAdjustType")));
  const auto device = reinterpret_cast<Get>(reinterpret_cast<void*>(GetProcAddress(library, "GetDeviceState")));
  const auto buttonIndex =
      reinterpret_cast<Get>(reinterpret_cast<void*>(GetProcAddress(library, "GetButtonAdjustCurrentIndex")));
  const auto buttonAdjusting = reinterpret_cast<Get>(reinterpret_cast<void*>(GetProcAddress(library, "IsButtonAdjusting")));
  const auto buttonType = reinterpret_cast<Get>(reinterpret_cast<void*>(GetProcAddress(library, "GetButtonAdjustType")));
  if (index == nullptr || adjusting == nullptr || type == nullptr || device == nullptr) return 4;
  if (buttonIndex == nullptr || buttonAdjusting == nullptr || buttonType == nullptr) return 4;

  LogLine(std::string("ready clock=") + velno_test::MonotonicClockName());
  std::string lastIndex;
  std::string lastButtons;
  std::string lastDevice;
  std::map<HWND, std::string> shown;
  std::map<HWND, std::string> controlsShown;
  for (;;) {
    const std::string now = "index k=" + std::to_string(index()) + " adjusting=" + std::to_string(adjusting()) +
                            " type=" + std::to_string(type());
    if (now != lastIndex) LogLine(lastIndex = now);
    const std::string buttons = "buttons k=" + std::to_string(buttonIndex()) + " adjusting=" +
                                std::to_string(buttonAdjusting()) + " type=" + std::to_string(buttonType());
    if (buttons != lastButtons) LogLine(lastButtons = buttons);
    const std::string found = "device found=" + std::to_string(device());
    if (found != lastDevice) LogLine(lastDevice = found);
    std::map<HWND, std::string> dialogs;
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    for (const auto& [window, description] : dialogs) {
      const auto before = shown.find(window);
      if (before == shown.end() || before->second != description) LogLine(description);
    }
    for (const auto& [window, description] : shown) {
      if (!dialogs.count(window)) {
        const std::size_t hwnd = description.find(' ') + 1;
        LogLine("gone " + description.substr(hwnd, description.find(' ', hwnd) - hwnd));
      }
    }
    std::map<HWND, std::string> controls;
    for (const auto& [window, description] : dialogs) {
      EnumChildWindows(window, CollectControl, reinterpret_cast<LPARAM>(&controls));
    }
    for (const auto& [control, description] : controls) {
      const auto before = controlsShown.find(control);
      if (before == controlsShown.end() || before->second != description) LogLine("control " + description);
    }
    controlsShown = std::move(controls);
    shown = std::move(dialogs);
    Sleep(2);
  }
}
