// A small drawing canvas for the demo: draws while the left button is down, so that the pen's strokes
// show up as ink. With a log file it writes "ready" once its window is up, then a line for every
// button message (time stamp on Linux's CLOCK_MONOTONIC under Wine, position) and the count of all
// pointer messages so far.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "linux_monotonic_clock.h"

namespace {

struct Stroke {
  std::vector<POINT> points;
};

std::vector<Stroke> g_strokes;
bool g_drawing = false;
long g_messages = 0;
FILE* g_log = nullptr;

void Log(const char* kind, LPARAM lParam) {
  if (g_log == nullptr) return;
  std::fprintf(g_log, "%s t_us=%lld x=%d y=%d messages=%ld strokes=%zu\n", kind,
               static_cast<long long>(velno_test::MonotonicMicroseconds()), static_cast<short>(LOWORD(lParam)),
               static_cast<short>(HIWORD(lParam)), g_messages, g_strokes.size());
  std::fflush(g_log);
}

void PaintStrokes(HDC dc) {
  HPEN pen = CreatePen(PS_SOLID, 6, RGB(20, 40, 160));
  HGDIOBJ old = SelectObject(dc, pen);
  for (const Stroke& s : g_strokes) {
    if (s.points.empty()) continue;
    MoveToEx(dc, s.points[0].x, s.points[0].y, nullptr);
    if (s.points.size() == 1) LineTo(dc, s.points[0].x + 1, s.points[0].y);
    for (std::size_t i = 1; i < s.points.size(); ++i) LineTo(dc, s.points[i].x, s.points[i].y);
  }
  SelectObject(dc, old);
  DeleteObject(pen);
}

void AddPoint(HWND window, LPARAM lParam) {
  const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  g_strokes.back().points.push_back(p);
  InvalidateRect(window, nullptr, FALSE);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
      ++g_messages;
      g_drawing = true;
      g_strokes.push_back({});
      AddPoint(window, lParam);
      Log("lbuttondown", lParam);
      return 0;
    case WM_MOUSEMOVE:
      ++g_messages;
      if (g_drawing && (wParam & MK_LBUTTON) != 0) AddPoint(window, lParam);
      return 0;
    case WM_LBUTTONUP:
      ++g_messages;
      if (g_drawing) AddPoint(window, lParam);
      g_drawing = false;
      Log("lbuttonup", lParam);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      RECT client;
      GetClientRect(window, &client);
      FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      PaintStrokes(dc);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

// Usage: canvas.exe [log-file]
int wmain(int argc, wchar_t** argv) {
  if (argc > 1) g_log = _wfopen(argv[1], L"w");
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = L"VelnoCanvas";
  RegisterClassW(&wc);
  // One pixel smaller than the screen: a full-screen window makes Wine grab the pointer on a real click.
  const int width = GetSystemMetrics(SM_CXSCREEN) - 1;
  const int height = GetSystemMetrics(SM_CYSCREEN) - 1;
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"Canvas", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr,
                                nullptr, instance, nullptr);
  SetForegroundWindow(window);
  UpdateWindow(window);
  if (g_log != nullptr) {
    std::fprintf(g_log, "ready t_us=%lld\n", static_cast<long long>(velno_test::MonotonicMicroseconds()));
    std::fflush(g_log);
  }
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
