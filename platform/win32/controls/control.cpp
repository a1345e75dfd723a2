// The wrappers' common part: the link from a child window to its wrapper.
#include "platform/win32/controls.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "platform/win32/accessible_name.h"
#include "platform/win32/error_boundary.h"
#include "platform/win32/text.h"

namespace promptella {
namespace {

constexpr wchar_t kWrapperProperty[] = L"Promptella.Control";

// The dialog manager asks a control whether it wants Enter before it would press a button.
bool asksForEnter(UINT message, WPARAM wParam, LPARAM lParam) {
  return message == WM_GETDLGCODE && lParam && wParam == VK_RETURN &&
         reinterpret_cast<MSG*>(lParam)->message == WM_KEYDOWN;
}

}  // namespace

HWND createChild(HWND parent, int id, const wchar_t* className, DWORD style, DWORD exStyle,
                 const wchar_t* text) {
  HWND child = CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10,
                               10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleW(nullptr), nullptr);
  // A window without one of its controls cannot work: the error boundary tells the user.
  if (!child)
    throw std::runtime_error("cannot create a control: " + systemErrorText(GetLastError()));
  return child;
}

std::wstring windowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

Win32Control::~Win32Control() {
  // A window that outlives its wrapper (a message posted to it later) no longer reaches it.
  for (auto it = subclassed_.rbegin(); it != subclassed_.rend(); ++it) {
    if (IsWindow(it->first)) RemoveWindowSubclass(it->first, subclassProc, it->second ? 1 : 0);
  }
  if (!hwnd_ || !IsWindow(hwnd_)) return;
  RemovePropW(hwnd_, kWrapperProperty);
  if (namedWindowOriginal_) {
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(namedWindowOriginal_));
  }
}

void Win32Control::attach(HWND hwnd) {
  hwnd_ = hwnd;
  SetPropW(hwnd_, kWrapperProperty, this);
}

LRESULT CALLBACK Win32Control::subclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR wantsEnter, DWORD_PTR data) noexcept {
  return guarded(
      [&]() -> LRESULT {
        auto* control = reinterpret_cast<Win32Control*>(data);
        if (message == WM_GETOBJECT) {
          if (const LRESULT named =
                  accessibleObjectNamed(hwnd, wParam, lParam, control->accessibleName_)) {
            return named;
          }
        }
        if (message == WM_NCDESTROY) {
          RemoveWindowSubclass(hwnd, subclassProc, wantsEnter);
        } else if (wantsEnter && asksForEnter(message, wParam, lParam)) {
          return DLGC_WANTALLKEYS | DefSubclassProc(hwnd, message, wParam, lParam);
        } else if (const auto handled = control->onSubclassed(hwnd, message, wParam, lParam)) {
          return *handled;
        }
        return DefSubclassProc(hwnd, message, wParam, lParam);
      },
      LRESULT{0});
}

void Win32Control::nameForScreenReaders(std::string_view name, HWND also) {
  accessibleName_ = widen(name);
  if (also) subclass(also, false);
  const bool subclassed = std::any_of(subclassed_.begin(), subclassed_.end(),
                                      [&](const auto& entry) { return entry.first == hwnd_; });
  if (subclassed || namedWindowOriginal_) return;  // its procedure answers already
  // Only the name is needed: the window's procedure is wrapped directly. A subclass of the common
  // controls looks up a window property for every message, which under Wine makes each insertion
  // into the command line's list cost 0.4 ms.
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  namedWindowOriginal_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(namedWindowProc)));
}

LRESULT CALLBACK Win32Control::namedWindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                               LPARAM lParam) noexcept {
  const auto* control = reinterpret_cast<Win32Control*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message == WM_GETOBJECT) {
    const LRESULT named = guarded(
        [&] { return accessibleObjectNamed(hwnd, wParam, lParam, control->accessibleName_); },
        LRESULT{0});
    if (named) return named;
  }
  return CallWindowProcW(control->namedWindowOriginal_, hwnd, message, wParam, lParam);
}

void Win32Control::subclass(HWND window, bool wantsEnter) {
  // One subclass per window, so that each message reaches onSubclassed once; its ID says whether
  // the window asks for Enter, and once asked it stays so.
  const auto known = std::find_if(subclassed_.begin(), subclassed_.end(),
                                  [&](const auto& entry) { return entry.first == window; });
  if (known != subclassed_.end()) {
    if (known->second || !wantsEnter) return;
    RemoveWindowSubclass(window, subclassProc, 0);
    known->second = true;
  } else {
    subclassed_.emplace_back(window, wantsEnter);
  }
  SetWindowSubclass(window, subclassProc, wantsEnter ? 1 : 0, reinterpret_cast<DWORD_PTR>(this));
}

bool Win32Control::route(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  HWND child = nullptr;
  if (message == WM_COMMAND) child = reinterpret_cast<HWND>(lParam);
  if (message == WM_DRAWITEM) child = reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem;
  if (!child) return false;
  auto* control = static_cast<Win32Control*>(GetPropW(child, kWrapperProperty));
  if (!control) return false;
  result = TRUE;
  if (message == WM_COMMAND) return control->onCommand(HIWORD(wParam));
  return control->onDrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
}

}  // namespace promptella
