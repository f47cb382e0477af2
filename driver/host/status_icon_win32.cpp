// The driver's icon in the notification area: a hidden window on a thread of its own that keeps the
// icon's picture and tooltip in step with the driver, shows the found and lost notifications, opens the
// menu on a click (or a pen's press-and-hold) and carries out its items. It looks at the driver when the
// driver says something changed, so an idle driver costs nothing more. The icon comes back when Explorer
// starts again ("TaskbarCreated"), and a first add that fails (Explorer not ready at logon) is tried again
// every two seconds until it works.
#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <cwchar>
#include <iterator>
#include <optional>

#include "driver_resource_ids.h"
#include "driver_windows_win32.h"
#include "status_snapshot.h"
#include "tray/action_notices.h"
#include "tray/icon_menu.h"
#include "tray/status_notices.h"
#include "tray/status_words.h"

namespace velno {
namespace {

constexpr UINT kIconId = 1;
constexpr UINT kStatusChanged = WM_APP + 2;
constexpr UINT_PTR kRetryTimerId = 1;
constexpr UINT kRetryPeriodMs = 2000;
constexpr DWORD kStopWaitMs = 2000;

struct IconWindow {
  Driver& driver;
  Win32ToolStarter& toolStarter;
  HINSTANCE instance;
  UINT taskbarCreated;
  bool iconWanted;
  bool iconShown = false;
  std::optional<StatusWords> shownWords{};
  NoticeGate notices{};
  bool menuOpen = false;
  bool settingsOpen = false;  // while open, another request brings it to the front
  bool aboutOpen = false;
};

int PictureOf(IconPicture picture) {
  switch (picture) {
    case IconPicture::Ready:
      return IDI_BOARD_READY;
    case IconPicture::Unreliable:
      return IDI_BOARD_UNRELIABLE;
    case IconPicture::Calibrating:
      return IDI_BOARD_CALIBRATING;
    case IconPicture::Looking:
      break;
  }
  return IDI_BOARD_LOOKING;
}

NOTIFYICONDATAW IconData(HWND window) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = kIconId;
  return data;
}

// The picture and tooltip of `words` into `data`.
void PutWords(NOTIFYICONDATAW& data, const IconWindow& icon, const StatusWords& words) {
  data.uFlags |= NIF_ICON | NIF_TIP | NIF_SHOWTIP;
  // Shared icons from the program's resources: the system keeps them, nothing to destroy.
  data.hIcon = static_cast<HICON>(LoadImageW(icon.instance, MAKEINTRESOURCEW(PictureOf(words.picture)), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  wcsncpy(data.szTip, words.tooltip.c_str(), std::size(data.szTip) - 1);
}

void AddIcon(HWND window, IconWindow& icon) {
  const StatusWords words = DescribeStatus(ReadDriverStatus(icon.driver));
  NOTIFYICONDATAW data = IconData(window);
  data.uFlags = NIF_MESSAGE;
  data.uCallbackMessage = kIconCallback;
  PutWords(data, icon, words);
  if (!Shell_NotifyIconW(NIM_ADD, &data)) return;  // Look tries again
  data.uVersion = NOTIFYICON_VERSION_4;
  Shell_NotifyIconW(NIM_SETVERSION, &data);
  icon.iconShown = true;
  icon.shownWords = words;
}

void RemoveIcon(HWND window, IconWindow& icon) {
  NOTIFYICONDATAW data = IconData(window);
  Shell_NotifyIconW(NIM_DELETE, &data);
  icon.iconShown = false;
  icon.shownWords.reset();
}

void ShowNotice(HWND window, const StatusNotice& notice) {
  NOTIFYICONDATAW data = IconData(window);
  data.uFlags = NIF_INFO;
  data.dwInfoFlags = notice.kind == NoticeKind::BoardFound ? NIIF_INFO : NIIF_WARNING;
  wcsncpy(data.szInfoTitle, notice.title.c_str(), std::size(data.szInfoTitle) - 1);
  wcsncpy(data.szInfo, notice.text.c_str(), std::size(data.szInfo) - 1);
  Shell_NotifyIconW(NIM_MODIFY, &data);
}

void StartTool(IconWindow& icon, MenuCommand command);

// What the buttons' actions left for this thread: a tool to start, failures to tell.
void TakeActionRequests(HWND window, IconWindow& icon) {
  ActionRequests& requests = icon.driver.actionRequests;
  switch (requests.tool.exchange(ToolRequest::None)) {
    case ToolRequest::CheckCalibration:
      StartTool(icon, MenuCommand::CheckCalibration);
      break;
    case ToolRequest::CalibrateThisScreen:
      StartTool(icon, MenuCommand::CalibrateThisScreen);
      break;
    case ToolRequest::None:
      break;
  }
  for (const StatusNotice& notice : TakeActionNotices(requests, *icon.driver.settings.buttonActions.Current())) {
    if (icon.iconShown) ShowNotice(window, notice);
  }
}

// One look at the driver: the icon added if it is wanted and not there yet, its picture and tooltip when
// the state's words changed, and the notifications the state calls for. What the shell refused (Explorer
// not ready at logon, or busy) is tried again on a timer until the icon shows what it should.
void Look(HWND window, IconWindow& icon) {
  if (icon.iconWanted && !icon.iconShown) AddIcon(window, icon);
  const DriverStatus status = ReadDriverStatus(icon.driver);
  const StatusWords words = DescribeStatus(status);
  if (icon.iconShown && words != icon.shownWords) {
    NOTIFYICONDATAW data = IconData(window);
    PutWords(data, icon, words);
    if (Shell_NotifyIconW(NIM_MODIFY, &data)) icon.shownWords = words;
  }
  const bool upToDate = icon.iconShown ? icon.shownWords == words : !icon.iconWanted;
  if (upToDate) {
    KillTimer(window, kRetryTimerId);
  } else {
    SetTimer(window, kRetryTimerId, kRetryPeriodMs, nullptr);
  }
  // Taken also while the icon is hidden, so that showing it again brings no old news.
  for (const StatusNotice& notice : TakeNotices(icon.notices, status, GetTickCount64())) {
    if (icon.iconShown) ShowNotice(window, notice);
  }
  TakeActionRequests(window, icon);
}

MenuConditions ConditionsNow(IconWindow& icon) {
  return {icon.driver.platform.displays.CurrentDisplayLayout().hasExtendMonitor,
          ToolBusy(icon.toolStarter, icon.driver.platform.tool)};
}

void ShowMenu(HWND window, IconWindow& icon) {
  if (icon.menuOpen) return;
  HMENU menu = CreatePopupMenu();
  for (const MenuItem& item : IconMenu(ConditionsNow(icon))) {
    if (item.separatorBefore) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED), static_cast<UINT_PTR>(item.command),
                item.text.c_str());
  }
  POINT at{};
  GetCursorPos(&at);
  // The menu closes when the teacher touches elsewhere only if its window is in front.
  SetForegroundWindow(window);
  icon.menuOpen = true;
  TrackPopupMenuEx(menu, TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, at.x, at.y, window, nullptr);
  icon.menuOpen = false;
  PostMessageW(window, WM_NULL, 0, 0);
  DestroyMenu(menu);
}

void StartTool(IconWindow& icon, MenuCommand command) {
  if (StartToolFor(icon.toolStarter, icon.driver.platform.tool, command) != ToolStart::Failed) return;
  MessageBoxW(nullptr,
              L"The calibration tool could not be started: it is missing beside the pen driver. Please ask IT to "
              L"install Velno again.",
              L"Velno", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

// Settings and About run modally on this thread; asked for again while open, they come to the front.
void OpenWindow(bool& open, const wchar_t* title, const std::function<void()>& run) {
  if (open) {
    if (HWND shown = FindWindowW(L"#32770", title)) SetForegroundWindow(shown);
    return;
  }
  open = true;
  run();
  open = false;
}

void SettingsChanged(HWND window, IconWindow& icon, const TeacherSettings& settings) {
  icon.iconWanted = settings.showIcon;
  if (!icon.iconWanted && icon.iconShown) RemoveIcon(window, icon);
  Look(window, icon);
}

void Carry(HWND window, IconWindow& icon, MenuCommand command) {
  // A command posted from elsewhere is held to the menu's rule: nothing the menu would grey out.
  if (!MenuCommandEnabled(command, ConditionsNow(icon))) return;
  switch (command) {
    case MenuCommand::Settings:
      OpenWindow(icon.settingsOpen, kSettingsTitle, [&] {
        RunSettingsWindow(
            icon.instance, icon.driver, [&](const TeacherSettings& settings) { SettingsChanged(window, icon, settings); },
            [&](MenuCommand tool) { StartTool(icon, tool); });
      });
      break;
    case MenuCommand::About:
      OpenWindow(icon.aboutOpen, kAboutTitle, [&] { RunAboutWindow(icon.instance, icon.driver); });
      break;
    default:
      StartTool(icon, command);
      break;
  }
}

bool IsMenuCommand(WORD id) {
  return id >= static_cast<WORD>(MenuCommand::CalibrateThisScreen) && id <= static_cast<WORD>(MenuCommand::About);
}

// With NOTIFYICON_VERSION_4 the low word of lParam is the event: a right click or a pen's press-and-hold
// gives WM_CONTEXTMENU, a click or a tap NIN_SELECT (both open the menu: a pen has no right button).
bool OpensMenu(LPARAM event) {
  const UINT kind = LOWORD(event);
  return kind == WM_CONTEXTMENU || kind == NIN_SELECT || kind == NIN_KEYSELECT;
}

LRESULT CALLBACK IconProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  }
  auto* icon = reinterpret_cast<IconWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (icon == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  if (message == icon->taskbarCreated) {
    // Explorer started again and lost every icon: add ours anew.
    RemoveIcon(window, *icon);
    Look(window, *icon);
    return 0;
  }
  switch (message) {
    case kStatusChanged:
      Look(window, *icon);
      return 0;
    case WM_TIMER:
      if (wParam == kRetryTimerId) Look(window, *icon);
      return 0;
    case kIconCallback:
      if (OpensMenu(lParam)) ShowMenu(window, *icon);
      return 0;
    case WM_COMMAND:
      if (IsMenuCommand(LOWORD(wParam))) Carry(window, *icon, static_cast<MenuCommand>(LOWORD(wParam)));
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      KillTimer(window, kRetryTimerId);
      RemoveIcon(window, *icon);
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

struct ThreadStart {
  Driver& driver;
  Win32ToolStarter& toolStarter;
  std::atomic<HWND>& window;
  HDESK desktop;
};

DWORD WINAPI RunWindows(LPVOID parameter) {
  const ThreadStart start = *static_cast<ThreadStart*>(parameter);
  delete static_cast<ThreadStart*>(parameter);
  // Wine gives new threads of a process the service launched the service's hidden desktop: the windows
  // belong on the desktop of the thread that started them.
  if (start.desktop != nullptr) SetThreadDesktop(start.desktop);
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  IconWindow icon{start.driver, start.toolStarter, instance, RegisterWindowMessageW(L"TaskbarCreated"),
                  CurrentSettings(start.driver.sharedState, start.driver.settings).showIcon};

  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = IconProcedure;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kDriverWindowClass;
  RegisterClassW(&windowClass);
  // A hidden top-level window: "TaskbarCreated" is broadcast to top-level windows only.
  HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kDriverWindowClass, L"Velno", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                instance, &icon);
  if (window == nullptr) return 1;
  // Known before the first look: a change from then on is posted, one before it is seen by that look.
  start.window.store(window);
  Look(window, icon);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

bool InSessionZero() {
  DWORD session = 0;
  return ProcessIdToSessionId(GetCurrentProcessId(), &session) && session == 0;
}

}  // namespace

DriverWindows::DriverWindows(Driver& driver, Win32ToolStarter& toolStarter)
    : driver_(driver), toolStarter_(toolStarter) {}

void DriverWindows::Start() {
  // Session 0 has no one at its desktop: the service's processes show nothing.
  if (thread_ != nullptr || InSessionZero()) return;
  auto* start = new ThreadStart{driver_, toolStarter_, window_, GetThreadDesktop(GetCurrentThreadId())};
  thread_ = CreateThread(nullptr, 0, RunWindows, start, 0, nullptr);
  if (thread_ == nullptr) delete start;
}

void DriverWindows::StatusChanged() {
  if (HWND window = window_.load()) PostMessageW(window, kStatusChanged, 0, 0);
}

void DriverWindows::Stop() {
  if (thread_ == nullptr) return;
  // The window may not exist yet (or failed): the thread's queue hears the quit either way.
  if (HWND window = window_.exchange(nullptr)) PostMessageW(window, WM_CLOSE, 0, 0);
  PostThreadMessageW(GetThreadId(thread_), WM_QUIT, 0, 0);
  WaitForSingleObject(thread_, kStopWaitMs);
  CloseHandle(thread_);
  thread_ = nullptr;
}

bool OpenSettingsOfRunningDriver() {
  HWND window = FindWindowW(kDriverWindowClass, nullptr);
  if (window == nullptr) return false;
  // This program was just started from the Start menu, so it may hand the driver the foreground.
  DWORD driverProcess = 0;
  GetWindowThreadProcessId(window, &driverProcess);
  AllowSetForegroundWindow(driverProcess);
  return PostMessageW(window, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(MenuCommand::Settings), 0), 0) != 0;
}

}  // namespace velno
