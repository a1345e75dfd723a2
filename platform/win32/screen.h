// Window rectangles as the user sees them. On Windows 10 and 11 a window's rectangle includes
// invisible resize borders; the desktop window manager reports the visible frame without them.
#pragma once

#include <windows.h>

#include <dwmapi.h>

#include "platform/controls.h"
#include "platform/win32/system_function.h"

namespace promptella {

inline ScreenRect outerRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return {rect.left, rect.top, rect.right, rect.bottom};
}

// The extended frame bounds where the desktop window manager reports them, else the rectangle
// (as under Wine, or with composition off).
inline ScreenRect visibleRect(HWND window) {
  // Loaded from the system folder: dwmapi is no known DLL, so an import would take a dwmapi.dll
  // lying beside the program.
  static const auto frameBounds =
      systemFunction<decltype(DwmGetWindowAttribute)>(L"dwmapi.dll", "DwmGetWindowAttribute");
  RECT rect{};
  if (frameBounds &&
      SUCCEEDED(frameBounds(window, DWMWA_EXTENDED_FRAME_BOUNDS, &rect, sizeof(rect))) &&
      rect.right > rect.left) {
    return {rect.left, rect.top, rect.right, rect.bottom};
  }
  return outerRect(window);
}

}  // namespace promptella
