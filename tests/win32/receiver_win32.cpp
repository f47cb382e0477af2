// receiver.exe <logfile>: a top-level window one pixel smaller than the screen (a real X click on a
// full-screen Wine window makes Wine grab the pointer, after which injected moves no longer move the
// cursor). It takes the foreground and the focus, writes a "ready" line, then logs every mouse and key
// message it gets, one line each, written through to the file at once:
//   ready t_us=... clock=linux_monotonic screen_w=1280 screen_h=1024 window_w=1279 window_h=1023
//   lbuttondown t_us=... msg_ms=... x=640 y=512 mk=0x0001
//   keydown t_us=... msg_ms=... vk=0x41 scan=0x1e ext=0 repeat=0
// t_us is when the window procedure saw the message (see linux_monotonic_clock.h for its scale),
// msg_ms the message's own GetMessageTime() stamp. Closing the window (WM_CLOSE) ends the program.
#include <windows.h>
#include <shellapi.h>

#include <cstdarg>
#include <cstdio>

#include "linux_monotonic_clock.h"

namespace {

constexpr UINT_PTR kFocusTimer = 1;
constexpr UINT kFocusPollMilliseconds = 10;
constexpr int kFocusPollsBeforeGivingUp = 500;

struct MessageKind {
  UINT message;
  const char* name;
};

constexpr MessageKind kMouseMessages[] = {
    {WM_MOUSEMOVE, "mousemove"},         {WM_LBUTTONDOWN, "lbuttondown"}, {WM_LBUTTONUP, "lbuttonup"},
    {WM_LBUTTONDBLCLK, "lbuttondblclk"}, {WM_RBUTTONDOWN, "rbuttondown"}, {WM_RBUTTONUP, "rbuttonup"},
    {WM_RBUTTONDBLCLK, "rbuttondblclk"}, {WM_MBUTTONDOWN, "mbuttondown"}, {WM_MBUTTONUP, "mbuttonup"},
    {WM_MBUTTONDBLCLK, "mbuttondblclk"},
};

constexpr MessageKind kKeyMessages[] = {
    {WM_KEYDOWN, "keydown"},
    {WM_KEYUP, "keyup"},
    {WM_SYSKEYDOWN, "syskeydown"},
    {WM_SYSKEYUP, "syskeyup"},
};

HANDLE g_log = INVALID_HANDLE_VALUE;
int g_focus_polls = 0;

template <std::size_t N>
const char* KindOf(const MessageKind (&kinds)[N], UINT message) {
  for (const MessageKind& kind : kinds)
    if (kind.message == message) return kind.name;
  return nullptr;
}

// One WriteFile per line, no buffering: a test reading the file sees each line as soon as it exists.
void LogLine(const char* format, ...) {
  char line[256];
  va_list arguments;
  va_start(arguments, format);
  const int length = std::vsnprintf(line, sizeof line - 1, format, arguments);
  va_end(arguments);
  if (length <= 0) return;
  const DWORD size = static_cast<DWORD>(length < static_cast<int>(sizeof line - 1) ? length : sizeof line - 2);
  line[size] = '\n';
  DWORD written = 0;
  WriteFile(g_log, line, size + 1, &written, nullptr);
}

void LogMouse(const char* kind, std::int64_t now_us, WPARAM wparam, LPARAM lparam) {
  const int x = static_cast<short>(LOWORD(lparam));
  const int y = static_cast<short>(HIWORD(lparam));
  LogLine("%s t_us=%lld msg_ms=%lu x=%d y=%d mk=0x%04x", kind, static_cast<long long>(now_us),
          static_cast<unsigned long>(GetMessageTime()), x, y, static_cast<unsigned>(wparam));
}

void LogKey(const char* kind, std::int64_t now_us, WPARAM wparam, LPARAM lparam) {
  const unsigned scan = (static_cast<unsigned long>(lparam) >> 16) & 0xff;
  const unsigned extended = (static_cast<unsigned long>(lparam) >> 24) & 1;
  const unsigned was_down = (static_cast<unsigned long>(lparam) >> 30) & 1;
  LogLine("%s t_us=%lld msg_ms=%lu vk=0x%02x scan=0x%02x ext=%u repeat=%u", kind, static_cast<long long>(now_us),
          static_cast<unsigned long>(GetMessageTime()), static_cast<unsigned>(wparam), scan, extended, was_down);
}

void LogReady(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  LogLine("ready t_us=%lld clock=%s screen_w=%d screen_h=%d window_w=%ld window_h=%ld",
          static_cast<long long>(velno_test::MonotonicMicroseconds()), velno_test::MonotonicClockName(),
          GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), client.right, client.bottom);
}

// Activation is asynchronous under Wine: poll until the window is both foreground and focused.
void PollFocus(HWND window) {
  if (GetForegroundWindow() == window && GetFocus() == window) {
    KillTimer(window, kFocusTimer);
    LogReady(window);
    return;
  }
  if (++g_focus_polls == kFocusPollsBeforeGivingUp) {
    KillTimer(window, kFocusTimer);
    LogLine("error t_us=%lld reason=not_foreground", static_cast<long long>(velno_test::MonotonicMicroseconds()));
    return;
  }
  SetForegroundWindow(window);
  SetFocus(window);
}

LRESULT CALLBACK ReceiverProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  const std::int64_t now_us = velno_test::MonotonicMicroseconds();
  if (const char* kind = KindOf(kMouseMessages, message)) {
    LogMouse(kind, now_us, wparam, lparam);
    return 0;
  }
  // Key messages never reach DefWindowProc: Alt+F4 must be logged, not close the receiver, and Alt
  // alone must not enter the menu loop.
  if (const char* kind = KindOf(kKeyMessages, message)) {
    LogKey(kind, now_us, wparam, lparam);
    return 0;
  }
  switch (message) {
    case WM_TIMER:
      if (wparam == kFocusTimer) PollFocus(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

HWND CreateReceiverWindow(HINSTANCE instance) {
  WNDCLASSW window_class{};
  window_class.style = CS_DBLCLKS;
  window_class.lpfnWndProc = ReceiverProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  window_class.lpszClassName = L"VelnoTestReceiver";
  if (!RegisterClassW(&window_class)) return nullptr;
  const int width = GetSystemMetrics(SM_CXSCREEN) - 1;
  const int height = GetSystemMetrics(SM_CYSCREEN) - 1;
  // Top-most, as a presentation program in front would be: Wine shows the notification area as a window
  // of its own over the screen's top-left corner, where the first target of a grid lies.
  return CreateWindowExW(WS_EX_TOPMOST, window_class.lpszClassName, L"Velno test receiver", WS_POPUP | WS_VISIBLE, 0,
                         0, width, height, nullptr, nullptr, instance, nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr || argc != 2) return 2;
  g_log = CreateFileW(argv[1], GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  LocalFree(argv);
  if (g_log == INVALID_HANDLE_VALUE) return 3;

  const HWND window = CreateReceiverWindow(instance);
  if (window == nullptr) {
    LogLine("error t_us=%lld reason=no_window", static_cast<long long>(velno_test::MonotonicMicroseconds()));
    return 4;
  }
  UpdateWindow(window);
  SetForegroundWindow(window);
  SetFocus(window);
  SetTimer(window, kFocusTimer, kFocusPollMilliseconds, nullptr);

  MSG message;
  // No TranslateMessage: WM_SYSCHAR would reach DefWindowProc and could open the window menu.
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  CloseHandle(g_log);
  return 0;
}
