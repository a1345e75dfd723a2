// Window rectangles as the user sees them. On Windows 10 and 11 a window's rectangle includes
// invisible resize borders; the desktop window manager reports the visible frame without them.
#pragma once

#include <windows.h>

#include <dwmapi.h>

#include "platform/controls.h"

namespace promptella {

inline ScreenRect outerRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return {rect.left, rect.top, rect.right, rect.bottom};
}

// The extended frame bounds where the desktop window manager reports them, else the rectangle
// (as under Wine, or with composition off).
inline ScreenRect visibleRect(HWND window) {
  RECT rect{};
  if (SUCCEEDED(DwmGetWindowAttribute(window, DWMWA_EXTENDED_FRAME_BOUNDS, &rect, sizeof(rect))) &&
      rect.right > rect.left) {
    return {rect.left, rect.top, rect.right, rect.bottom};
  }
  return outerRect(window);
}

}  // namespace promptella
