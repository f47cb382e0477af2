#include "dialog_window_win32.h"

namespace velno {
namespace {

constexpr UINT_PTR kPollTimerId = 100;

// SetDialogDpiChangeBehavior exists from Windows 10 1703 on; looked up by name so the programs still start
// on older systems (and under Wine), where a dialog is not rescaled anyway.
void TurnOffDialogRescaling(HWND dialog) {
  using SetBehavior = BOOL(WINAPI*)(HWND, int, int);
  const auto set = reinterpret_cast<SetBehavior>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetDialogDpiChangeBehavior")));
  constexpr int kDisableAll = 0x0001;  // DDC_DISABLE_ALL: no resize, no font or control relayout
  if (set != nullptr) set(dialog, kDisableAll, kDisableAll);
}

void Place(HWND dialog, const RECT& monitor) {
  TurnOffDialogRescaling(dialog);
  SetWindowPos(dialog, nullptr, monitor.left, monitor.top, monitor.right - monitor.left, monitor.bottom - monitor.top,
               SWP_NOZORDER);
}

}  // namespace

OwnedFont BoldArialFont(int pixels) {
  return OwnedFont(CreateFontW(-pixels, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial"));
}

RECT ClientRect(HWND dialog) {
  RECT rect{};
  GetClientRect(dialog, &rect);
  return rect;
}

void StartPolling(HWND dialog, UINT periodMs) { SetTimer(dialog, kPollTimerId, periodMs, nullptr); }

bool IsPollTick(WPARAM timerId) { return timerId == kPollTimerId; }

void EndModal(HWND dialog, INT_PTR result) {
  KillTimer(dialog, kPollTimerId);
  EndDialog(dialog, result);
}

bool TakeSignal(HANDLE event) { return event != nullptr && WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

void CoverMonitor(HWND dialog, const RECT& monitor) {
  dialog_detail::Binding* binding = dialog_detail::BindingOf(dialog);
  if (binding != nullptr) binding->covered = monitor;
  Place(dialog, monitor);
}

namespace dialog_detail {

Binding* BindingOf(HWND dialog) { return reinterpret_cast<Binding*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

void CoverAgain(HWND dialog, const Binding& binding) { Place(dialog, *binding.covered); }

}  // namespace dialog_detail
}  // namespace velno
