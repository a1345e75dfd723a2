// One base for the program's windows, the main window and the dialogs: it owns the handle (the
// window goes with it, unless the system has destroyed it first) and the DPI, converts twips to
// pixels, and gives each kind of window its entry point, a window procedure for a registered class
// or a dialog procedure for the dialog manager. Both keep `this` from the first message on, hand
// the controls' notifications and colour questions to their wrappers (Win32Control::route), repaint
// every control when the system's colours or its high-contrast theme change, forward every other
// message to the derived class's handleMessage, and let no exception through.
#pragma once

#include <windows.h>

#include "platform/win32/controls.h"
#include "platform/win32/error_boundary.h"
#include "platform/win32/handles.h"

namespace promptella {

template <typename Derived>
class BaseWindow {
 public:
  HWND hwnd() const { return window_.get(); }

 protected:
  BaseWindow() = default;
  ~BaseWindow() {
    // The window is destroyed after the derived part has gone: none of its messages reach it.
    if (window_) SetWindowLongPtrW(hwnd(), slot_, 0);
  }
  BaseWindow(const BaseWindow&) = delete;
  BaseWindow& operator=(const BaseWindow&) = delete;

  // Twips (1/1440 inch) to pixels at the window's DPI.
  int px(int twips) const { return MulDiv(twips, dpi_, 1440); }

  // For a registered class: CreateWindowEx is given `this` as its parameter.
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
      adopt(hwnd, GWLP_USERDATA, reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    }
    auto* self = reinterpret_cast<Derived*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->dispatch(message, wParam, lParam, [](LRESULT routed) { return routed; });
  }

  // For the dialog manager: DialogBoxIndirectParam is given `this` as its parameter. FALSE lets
  // the dialog manager handle the message; a colour question is answered with the brush itself.
  static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept {
    if (message == WM_INITDIALOG) adopt(hwnd, DWLP_USER, reinterpret_cast<void*>(lParam));
    auto* self = reinterpret_cast<Derived*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!self) return FALSE;
    return self->dispatch(message, wParam, lParam, [message](LRESULT routed) {
      return isColourQuestion(message) ? static_cast<INT_PTR>(routed) : INT_PTR{TRUE};
    });
  }

  // A DPI change: the new DPI, and the window moves to the place the system suggests, so that it
  // stays where the user put it.
  void followDpiChange(WPARAM wParam, LPARAM lParam) {
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top, 0, 0,
                 SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
    dpi_ = HIWORD(wParam);
  }

  int dpi_ = 96;

 private:
  static void adopt(HWND hwnd, int slot, void* self) {
    SetWindowLongPtrW(hwnd, slot, reinterpret_cast<LONG_PTR>(self));
    auto* window = static_cast<Derived*>(self);
    window->window_.reset(hwnd);
    window->slot_ = slot;
    const UINT dpi = GetDpiForWindow(hwnd);
    window->dpi_ = dpi > 0 ? static_cast<int>(dpi) : 96;
  }

  // What every window does alike, then the derived class's handleMessage; `routed` gives the
  // answer to a message a control's wrapper took.
  template <typename Routed>
  auto dispatch(UINT message, WPARAM wParam, LPARAM lParam, Routed routed) {
    using Result = decltype(static_cast<Derived*>(this)->handleMessage(message, wParam, lParam));
    return guarded(
        [&] {
          LRESULT answer = 0;
          const Result result =
              Win32Control::route(message, wParam, lParam, answer)
                  ? routed(answer)
                  : static_cast<Derived*>(this)->handleMessage(message, wParam, lParam);
          if (message == WM_SYSCOLORCHANGE ||
              (message == WM_SETTINGCHANGE && wParam == SPI_SETHIGHCONTRAST)) {
            // The common controls learn of new colours only from their parent.
            EnumChildWindows(hwnd(), tellColoursChanged, 0);
            RedrawWindow(hwnd(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
          }
          // The last message: the system has destroyed the window, no longer ours to.
          if (message == WM_NCDESTROY) static_cast<void>(window_.release());
          return result;
        },
        Result{0});
  }
  static BOOL CALLBACK tellColoursChanged(HWND child, LPARAM) {
    SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
  }
  static bool isColourQuestion(UINT message) {
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
  }

  UniqueWindow window_;
  int slot_ = GWLP_USERDATA;  // where the window keeps `this`
};

}  // namespace promptella
