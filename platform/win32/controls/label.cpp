// Labels, some of them clickable.
#include "platform/win32/controls.h"

#include <commctrl.h>

#include "platform/win32/text.h"

namespace promptella {

Win32Label::Win32Label(HWND parent, int id, std::string_view caption) {
  attach(createChild(parent, id, WC_STATICW, SS_CENTER | SS_NOTIFY | SS_NOPREFIX, 0,
                     widen(caption).c_str()));
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
