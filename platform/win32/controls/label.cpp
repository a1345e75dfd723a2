// Labels, some of them clickable.
#include "platform/win32/controls.h"

#include <commctrl.h>

#include "platform/win32/handles.h"
#include "platform/win32/text.h"

namespace promptella {

Win32Label::Win32Label(HWND parent, int id, std::string_view caption, bool link) {
  attach(createChild(parent, id, WC_STATICW,
                     SS_CENTER | SS_NOTIFY | SS_NOPREFIX | (link ? WS_TABSTOP : 0), 0,
                     widen(caption).c_str()));
  if (link) hook(hwnd_);
}

std::optional<LRESULT> Win32Label::onSubclassed(HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_KEYDOWN:
      if (wParam != VK_RETURN && wParam != VK_SPACE) return std::nullopt;
      if (onClick) onClick();
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(hwnd, nullptr, TRUE);
      return std::nullopt;
    case WM_PAINT: {
      DefSubclassProc(hwnd, message, 0, 0);
      if (GetFocus() == hwnd) {
        RECT box{};
        GetClientRect(hwnd, &box);
        const ScopedGetDC dc(hwnd);
        DrawFocusRect(dc.get(), &box);
      }
      return 0;
    }
    default:
      return std::nullopt;
  }
}

void Win32Label::setCaption(std::string_view caption) {
  SetWindowTextW(hwnd_, widen(caption).c_str());
}

bool Win32Label::onCommand(WORD code) {
  if (code != STN_CLICKED) return false;
  if (onClick) onClick();
  return true;
}

}  // namespace promptella
