// Push buttons, standard and picture style, with their tooltips.
#include "platform/win32/controls.h"

#include <commctrl.h>

#include "platform/win32/text.h"

namespace promptella {

Win32Button::Win32Button(HWND parent, int id, HWND toolTips, bool picture) : toolTips_(toolTips) {
  attach(
      createChild(parent, id, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP | (picture ? BS_BITMAP : 0)));
  tellToolTips(TTM_ADDTOOLW, L"");
}

void Win32Button::tellToolTips(UINT message, std::wstring text) {
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND;  // the mouse's messages come from the button's own hook
  tool.hwnd = GetParent(hwnd_);
  tool.uId = reinterpret_cast<UINT_PTR>(hwnd_);
  tool.lpszText = text.data();
  if (toolTips_) SendMessageW(toolTips_, message, 0, reinterpret_cast<LPARAM>(&tool));
}

void Win32Button::setCaption(std::string_view caption) {
  caption_ = caption;
  // Shown literally: an ampersand in a command is no access key.
  std::wstring shown;
  for (const wchar_t c : widen(caption)) {
    shown += c;
    if (c == L'&') shown += L'&';
  }
  SetWindowTextW(hwnd_, shown.c_str());
}

void Win32Button::setToolTip(std::string_view text) {
  tellToolTips(TTM_UPDATETIPTEXTW, widen(text));
}

void Win32Button::setPicture(HBITMAP picture) {
  SendMessageW(hwnd_, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
}

bool Win32Button::onCommand(WORD code) {
  if (code != BN_CLICKED) return false;
  if (onClick && IsWindowEnabled(hwnd_)) onClick();
  return true;
}

std::optional<LRESULT> Win32Button::onSubclassed(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
  if (toolTips_ && message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
    MSG relayed{window, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
    // A move may carry where a touch put the tip (GetMessageExtraInfo), as Windows 7 reads it.
    const WPARAM extra = message == WM_MOUSEMOVE ? static_cast<WPARAM>(GetMessageExtraInfo()) : 0;
    SendMessageW(toolTips_, TTM_RELAYEVENT, extra, reinterpret_cast<LPARAM>(&relayed));
  }
  return std::nullopt;
}

}  // namespace promptella
