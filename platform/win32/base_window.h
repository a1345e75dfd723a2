// One base for the program's windows, the main window and the dialogs: it owns the handle and
// the DPI, converts twips to pixels, and gives each kind of window its entry point, a window
// procedure for a registered class or a dialog procedure for the dialog manager. Both keep `this`
// from the first message on, forward every message to the derived class's handleMessage, and let
// no exception through.
#pragma once

#include <windows.h>

#include "platform/win32/error_boundary.h"

namespace promptella {

template <typename Derived>
class BaseWindow {
 public:
  HWND hwnd() const { return hwnd_; }

 protected:
  // Twips (1/1440 inch) to pixels at the window's DPI.
  int px(int twips) const { return MulDiv(twips, dpi_, 1440); }

  // For a registered class: CreateWindowEx is given `this` as its parameter.
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept {
    Derived* self = nullptr;
    if (message == WM_NCCREATE) {
      self = static_cast<Derived*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      self->takeHandle(hwnd);
    } else {
      self = reinterpret_cast<Derived*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    return guarded([&] { return self->handleMessage(message, wParam, lParam); }, LRESULT{0});
  }

  // For the dialog manager: DialogBoxIndirectParam is given `this` as its parameter. FALSE lets
  // the dialog manager handle the message.
  static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept {
    Derived* self = nullptr;
    if (message == WM_INITDIALOG) {
      self = reinterpret_cast<Derived*>(lParam);
      SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
      self->takeHandle(hwnd);
    } else {
      self = reinterpret_cast<Derived*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self) return FALSE;
    return guarded([&] { return self->handleMessage(message, wParam, lParam); }, INT_PTR{FALSE});
  }

  // A DPI change: the new DPI, and the window moves to the place the system suggests, so that it
  // stays where the user put it.
  void followDpiChange(WPARAM wParam, LPARAM lParam) {
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0,
                 SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
    dpi_ = HIWORD(wParam);
  }

  HWND hwnd_ = nullptr;
  int dpi_ = 96;

 private:
  void takeHandle(HWND hwnd) {
    hwnd_ = hwnd;
    const UINT dpi = GetDpiForWindow(hwnd);
    dpi_ = dpi > 0 ? static_cast<int>(dpi) : 96;
  }
};

}  // namespace promptella
