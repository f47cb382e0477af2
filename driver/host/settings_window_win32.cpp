// The settings window: a row of page buttons along its top, the page in view below them, and Close. Each
// page is a template of its own laid over the page area; a new page is one more template, one more row in
// kPageTemplates (its button comes from the pages' model) and its buttons in Carry. Every button changes
// a setting at once: it takes effect, is saved, and the words beside it say what it does now.
#include <windows.h>

#include <algorithm>
#include <array>
#include <vector>

#include "actions/touch_buttons.h"
#include "dialog_window_win32.h"
#include "driver_resource_ids.h"
#include "driver_windows_win32.h"
#include "settings/buttons_page_model.h"
#include "settings/live_settings.h"
#include "settings/settings_window_model.h"

namespace velno {
namespace {

constexpr int kTextPixels = 20;
constexpr int kGap = 8;
// How often the Buttons page looks for the trigger the board sent last and for actions that did not start.
constexpr UINT_PTR kButtonsTimerId = 1;
constexpr UINT kButtonsTimerMs = 100;

struct PageTemplate {
  SettingsPage page;
  int templateId;
};

constexpr std::array<PageTemplate, kSettingsPages.size()> kPageTemplates{{
    {SettingsPage::PressAndHold, IDD_PAGE_HOLD},
    {SettingsPage::Gestures, IDD_PAGE_GESTURES},
    {SettingsPage::Icon, IDD_PAGE_ICON},
    {SettingsPage::Buttons, IDD_PAGE_BUTTONS},
}};

struct SettingsWindow {
  HINSTANCE instance;
  Driver& driver;
  const std::function<void(const TeacherSettings&)>& changed;
  const std::function<void(MenuCommand)>& startTool;
  TeacherSettings settings{};
  std::array<std::wstring, kTriggerCount> lines{};  // the Buttons page's lines as shown
  ButtonActionTable opened{};                       // the actions when the window opened
  std::uint32_t lastSentShown = 0;
  std::array<HWND, kSettingsPages.size()> pages{};  // in the order of kSettingsPages
  OwnedFont font{};
};

HWND PageOf(const SettingsWindow& window, SettingsPage page) {
  for (std::size_t i = 0; i < kPageTemplates.size(); ++i) {
    if (kPageTemplates[i].page == page) return window.pages[i];
  }
  return nullptr;
}

// A page hands every click to the settings window, which handles them all, as it handles one posted to it.
INT_PTR CALLBACK PageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COMMAND) return FALSE;
  SendMessageW(GetParent(page), message, wParam, lParam);
  return TRUE;
}

BOOL CALLBACK UseFont(HWND control, LPARAM font) {
  SendMessageW(control, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
  return TRUE;
}

void ShowOnOff(HWND page, int onId, int offId, bool on) { CheckRadioButton(page, onId, offId, on ? onId : offId); }

// A step button is usable while a step changes something.
void EnableStep(HWND page, int id, bool usable) { EnableWindow(GetDlgItem(page, id), usable); }

void Refresh(const SettingsWindow& window) {
  const TeacherSettings& s = window.settings;
  const HWND hold = PageOf(window, SettingsPage::PressAndHold);
  ShowOnOff(hold, IDC_HOLD_ON, IDC_HOLD_OFF, s.pressAndHold);
  SetDlgItemTextW(hold, IDC_HOLD_WORDS, HoldWords(s).c_str());
  EnableStep(hold, IDC_HOLD_SHORTER, s.pressAndHold && StepHoldTime(s, -1) != s);
  EnableStep(hold, IDC_HOLD_LONGER, s.pressAndHold && StepHoldTime(s, +1) != s);

  const HWND gestures = PageOf(window, SettingsPage::Gestures);
  ShowOnOff(gestures, IDC_GESTURES_ON, IDC_GESTURES_OFF, s.gestures);
  SetDlgItemTextW(gestures, IDC_GESTURES_WORDS, GesturesWords(s).c_str());
  SetDlgItemTextW(gestures, IDC_BRUSH_WORDS, GestureSizeWords(s, GestureSize::Brush).c_str());
  SetDlgItemTextW(gestures, IDC_ERASER_WORDS, GestureSizeWords(s, GestureSize::Eraser).c_str());
  EnableStep(gestures, IDC_BRUSH_SMALLER, StepGestureSize(s, GestureSize::Brush, -1) != s);
  EnableStep(gestures, IDC_BRUSH_LARGER, StepGestureSize(s, GestureSize::Brush, +1) != s);
  EnableStep(gestures, IDC_ERASER_SMALLER, StepGestureSize(s, GestureSize::Eraser, -1) != s);
  EnableStep(gestures, IDC_ERASER_LARGER, StepGestureSize(s, GestureSize::Eraser, +1) != s);

  const HWND icon = PageOf(window, SettingsPage::Icon);
  ShowOnOff(icon, IDC_ICON_SHOWN, IDC_ICON_HIDDEN, s.showIcon);
  SetDlgItemTextW(icon, IDC_ICON_WORDS, IconWords(s).c_str());
}

HWND ButtonList(const SettingsWindow& window) { return GetDlgItem(PageOf(window, SettingsPage::Buttons), IDC_BUTTONS_LIST); }

// The list scrolls sideways as far as its longest line reaches: a program's path is never cut off.
void FitListWidth(HWND list, const std::array<std::wstring, kTriggerCount>& lines) {
  HDC dc = GetDC(list);
  const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
  LONG widest = 0;
  for (const std::wstring& line : lines) {
    SIZE size{};
    GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
    widest = std::max(widest, size.cx);
  }
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + kGap), 0);
}

// The lines whose words changed are written anew; the chosen line stays chosen.
void RefreshButtons(SettingsWindow& window) {
  const HWND list = ButtonList(window);
  const std::shared_ptr<const ButtonActionTable> table = window.driver.settings.buttonActions.Current();
  const ActionRequests& requests = window.driver.actionRequests;
  const LRESULT chosen = SendMessageW(list, LB_GETCURSEL, 0, 0);
  bool changed = false;
  for (int i = 0; i < kTriggerCount; ++i) {
    const Trigger trigger = TriggerAt(i);
    std::wstring line = TriggerLine(trigger, ActionOf(*table, trigger), requests.failure[i] != StartResult::Started);
    if (line == window.lines[i]) continue;
    const bool fresh = window.lines[i].empty();
    if (!fresh) SendMessageW(list, LB_DELETESTRING, i, 0);
    SendMessageW(list, LB_INSERTSTRING, fresh ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(i),
                 reinterpret_cast<LPARAM>(line.c_str()));
    window.lines[i] = std::move(line);
    changed = true;
  }
  if (!changed) return;
  FitListWidth(list, window.lines);
  SendMessageW(list, LB_SETCURSEL, chosen, 0);
}

// Test: the line of the trigger the board sent last is chosen, and so in view.
void ShowSentTrigger(SettingsWindow& window) {
  const std::uint32_t lastSent = window.driver.actionRequests.lastSent.load();
  if (lastSent == window.lastSentShown) return;
  window.lastSentShown = lastSent;
  const int line = SentTriggerLine(lastSent);
  if (line >= 0) SendMessageW(ButtonList(window), LB_SETCURSEL, line, 0);
}

// The chosen trigger's action stepped, set back to its default, or the touch buttons set up or forgotten.
void CarryButtons(HWND dialog, SettingsWindow& window, int id) {
  Driver& driver = window.driver;
  if (id == IDC_BUTTONS_SET_UP) {
    window.startTool(MenuCommand::SetUpTouchButtons);
    return;
  }
  if (id == IDC_BUTTONS_FORGET) {
    if (MessageBoxW(dialog, L"Forget where the touch buttons are printed? Touches there draw again until they are set up again.",
                    L"Velno", MB_YESNO | MB_ICONQUESTION) == IDYES &&
        !ForgetTouchButtons(driver.platform.settings, driver.actionRequests)) {
      MessageBoxW(dialog, L"The touch buttons are forgotten until the pen driver starts again, but config.ini could not be written.",
                  L"Velno", MB_OK | MB_ICONWARNING);
    }
    return;
  }
  const LRESULT chosen = SendMessageW(ButtonList(window), LB_GETCURSEL, 0, 0);
  if (chosen == LB_ERR || chosen >= kTriggerCount) return;
  const Trigger trigger = TriggerAt(static_cast<int>(chosen));
  ButtonActionTable table = *driver.settings.buttonActions.Current();
  ButtonAction& action = ActionOf(table, trigger);
  switch (id) {
    case IDC_BUTTONS_PREVIOUS: action = StepAction(trigger, ActionOf(window.opened, trigger), action, -1); break;
    case IDC_BUTTONS_NEXT: action = StepAction(trigger, ActionOf(window.opened, trigger), action, +1); break;
    case IDC_BUTTONS_DEFAULT: action = ActionOf(DefaultButtonActions(), trigger); break;
    default: return;
  }
  // A new action is tried afresh: its line loses the mark of the old one's failure.
  driver.actionRequests.failure[chosen] = StartResult::Started;
  driver.actionRequests.told[chosen] = false;
  if (!ChangeButtonActions(driver.platform.settings, driver.settings, table)) {
    MessageBoxW(dialog, L"The new action works until the pen driver starts again, but config.ini could not be written.",
                L"Velno", MB_OK | MB_ICONWARNING);
  }
}

void ShowPage(HWND dialog, const SettingsWindow& window, std::size_t shown) {
  for (std::size_t i = 0; i < window.pages.size(); ++i) ShowWindow(window.pages[i], i == shown ? SW_SHOW : SW_HIDE);
  const int first = IDC_SETTINGS_FIRST_PAGE;
  CheckRadioButton(dialog, first, first + static_cast<int>(window.pages.size()) - 1, first + static_cast<int>(shown));
}

// The page buttons in a row above the page area, and the pages laid over it; the first page in view.
void Open(HWND dialog, SettingsWindow& window) {
  window.font = BoldArialFont(kTextPixels);
  RECT area{};
  GetWindowRect(GetDlgItem(dialog, IDC_SETTINGS_PAGE_AREA), &area);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
  const int count = static_cast<int>(kSettingsPages.size());
  const int width = (area.right - area.left - kGap * (count + 1)) / count;
  for (int i = 0; i < count; ++i) {
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON | BS_PUSHLIKE | (i == 0 ? WS_GROUP : 0);
    CreateWindowExW(0, L"BUTTON", kSettingsPages[i].title, style, area.left + kGap + i * (width + kGap), kGap, width,
                    area.top - 2 * kGap, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SETTINGS_FIRST_PAGE + i)),
                    window.instance, nullptr);
    window.pages[i] = CreateDialogParamW(window.instance, MAKEINTRESOURCEW(kPageTemplates[i].templateId), dialog,
                                         PageProcedure, 0);
    SetWindowPos(window.pages[i], nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    EnumChildWindows(window.pages[i], UseFont, reinterpret_cast<LPARAM>(window.font.get()));
  }
  EnumChildWindows(dialog, UseFont, reinterpret_cast<LPARAM>(window.font.get()));
  window.settings = CurrentSettings(window.driver.sharedState, window.driver.settings);
  ShowPage(dialog, window, 0);
  Refresh(window);
  window.opened = *window.driver.settings.buttonActions.Current();
  window.lastSentShown = window.driver.actionRequests.lastSent.load();
  RefreshButtons(window);
  SetTimer(dialog, kButtonsTimerId, kButtonsTimerMs, nullptr);
}

// The settings after the button `id`; the same settings for any other control.
TeacherSettings AfterButton(TeacherSettings s, int id) {
  switch (id) {
    case IDC_HOLD_ON: s.pressAndHold = true; break;
    case IDC_HOLD_OFF: s.pressAndHold = false; break;
    case IDC_HOLD_SHORTER: return StepHoldTime(s, -1);
    case IDC_HOLD_LONGER: return StepHoldTime(s, +1);
    case IDC_GESTURES_ON: s.gestures = true; break;
    case IDC_GESTURES_OFF: s.gestures = false; break;
    case IDC_BRUSH_SMALLER: return StepGestureSize(s, GestureSize::Brush, -1);
    case IDC_BRUSH_LARGER: return StepGestureSize(s, GestureSize::Brush, +1);
    case IDC_ERASER_SMALLER: return StepGestureSize(s, GestureSize::Eraser, -1);
    case IDC_ERASER_LARGER: return StepGestureSize(s, GestureSize::Eraser, +1);
    case IDC_ICON_SHOWN: s.showIcon = true; break;
    case IDC_ICON_HIDDEN: s.showIcon = false; break;
    default: break;
  }
  return s;
}

void Carry(HWND dialog, SettingsWindow& window, int id) {
  const int page = id - IDC_SETTINGS_FIRST_PAGE;
  if (page >= 0 && page < static_cast<int>(window.pages.size())) {
    ShowPage(dialog, window, static_cast<std::size_t>(page));
    return;
  }
  if (id == IDC_SETTINGS_CLOSE || id == IDCANCEL) {
    KillTimer(dialog, kButtonsTimerId);
    EndModal(dialog, IDOK);
    return;
  }
  if (id >= IDC_BUTTONS_PREVIOUS && id <= IDC_BUTTONS_FORGET) {
    CarryButtons(dialog, window, id);
    RefreshButtons(window);
    return;
  }
  const TeacherSettings next = AfterButton(window.settings, id);
  if (next != window.settings) {
    Driver& driver = window.driver;
    ChangeSettings(driver.platform.settings, driver.sharedState, driver.settings, next);
    window.settings = next;
    window.changed(next);
  }
  Refresh(window);  // also a click that changed nothing shows the buttons as they are
}

INT_PTR SettingsProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM, SettingsWindow& window) {
  switch (message) {
    case WM_INITDIALOG:
      Open(dialog, window);
      return TRUE;
    case WM_COMMAND:
      Carry(dialog, window, LOWORD(wParam));
      return TRUE;
    case WM_TIMER:
      ShowSentTrigger(window);
      RefreshButtons(window);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void RunSettingsWindow(HINSTANCE instance, Driver& driver, const std::function<void(const TeacherSettings&)>& changed,
                       const std::function<void(MenuCommand)>& startTool) {
  SettingsWindow window{instance, driver, changed, startTool};
  RunDialog<SettingsProcedure>(instance, IDD_SETTINGS, Cursor::Shown, window);
}

}  // namespace velno
