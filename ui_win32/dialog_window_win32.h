// Modal dialogs from resource templates, with what each of our windows needs around them: its state
// bound to the dialog, GDI objects released by their owners, one polling timer, the hand-off poll, a
// monitor covered also across a change of scale, and the cursor shown or hidden only while it is open.
#pragma once

#include <windows.h>

#include <optional>
#include <utility>

namespace velno {

// Whether the cursor shows while a dialog is open.
enum class Cursor { Shown, Hidden };

// Takes one step of the thread's cursor display count and takes it back when it ends, so windows
// opened one after another never leave the count behind.
class CursorGuard {
 public:
  explicit CursorGuard(Cursor cursor) : shown_(cursor == Cursor::Shown) { ShowCursor(shown_); }
  ~CursorGuard() { ShowCursor(!shown_); }
  CursorGuard(const CursorGuard&) = delete;
  CursorGuard& operator=(const CursorGuard&) = delete;

 private:
  bool shown_;
};

// A font, pen or brush, deleted when its owner ends (after the dialog that used it has gone).
template <typename Handle>
class GdiOwner {
 public:
  GdiOwner() = default;
  explicit GdiOwner(Handle handle) : handle_(handle) {}
  GdiOwner(GdiOwner&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  GdiOwner& operator=(GdiOwner&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  ~GdiOwner() {
    if (handle_ != nullptr) DeleteObject(handle_);
  }
  Handle get() const { return handle_; }

 private:
  Handle handle_ = nullptr;
};

using OwnedFont = GdiOwner<HFONT>;
using OwnedPen = GdiOwner<HPEN>;

// Bold Arial `pixels` high, the face every text of our full-screen windows uses.
OwnedFont BoldArialFont(int pixels);

RECT ClientRect(HWND dialog);

// The dialog's one polling timer: started once it is laid out, its ticks recognised by their id, and
// stopped by EndModal.
void StartPolling(HWND dialog, UINT periodMs);
bool IsPollTick(WPARAM timerId);
void EndModal(HWND dialog, INT_PTR result);

// True when `event` (may be null) is signalled. The wait consumes an auto-reset signal, so one signal
// ends one window.
bool TakeSignal(HANDLE event);

// Places the dialog over `monitor` with its own rescaling turned off. Moved onto a monitor of another
// scale later (WM_DPICHANGED), it covers the same monitor again before its procedure sees the message,
// instead of taking the rescaled rectangle the system suggests.
void CoverMonitor(HWND dialog, const RECT& monitor);

namespace dialog_detail {

// What DWLP_USER holds for a dialog run by RunDialog.
struct Binding {
  void* state;
  std::optional<RECT> covered;  // the monitor CoverMonitor placed the dialog over
};

Binding* BindingOf(HWND dialog);
void CoverAgain(HWND dialog, const Binding& binding);

template <auto Handler, typename State>
INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
  Binding* binding = BindingOf(dialog);
  if (binding == nullptr) return FALSE;  // sent before WM_INITDIALOG (the template's font)
  State& state = *static_cast<State*>(binding->state);
  if (message == WM_DPICHANGED && binding->covered) {
    CoverAgain(dialog, *binding);
    Handler(dialog, message, wParam, lParam, state);
    return TRUE;
  }
  return Handler(dialog, message, wParam, lParam, state);
}

}  // namespace dialog_detail

// Runs template `templateId` as a modal dialog with no owner and returns EndModal's result. `Handler`,
// INT_PTR (HWND, UINT, WPARAM, LPARAM, State&), gets every message from WM_INITDIALOG on, with `state`.
template <auto Handler, typename State>
INT_PTR RunDialog(HINSTANCE instance, int templateId, Cursor cursor, State& state) {
  const CursorGuard cursorWhileOpen(cursor);
  dialog_detail::Binding binding{&state, std::nullopt};
  return DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), nullptr,
                         &dialog_detail::Procedure<Handler, State>, reinterpret_cast<LPARAM>(&binding));
}

}  // namespace velno
