// The wrappers' common part: the one hook that links a window to its wrapper.
#include "platform/win32/controls.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <stdexcept>

#include "platform/win32/accessible_name.h"
#include "platform/win32/error_boundary.h"
#include "platform/win32/text.h"

namespace promptella {
namespace {

// The wrapper of each control window, for the parent's notifications (windows live on the one
// thread of the windows).
std::map<HWND, Win32Control*>& wrappers() {
  static std::map<HWND, Win32Control*> byWindow;
  return byWindow;
}

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
  // A window that outlives its wrapper (a message posted to it later) no longer reaches it. The
  // hooks go in the reverse order of their making.
  for (auto it = hooked_.rbegin(); it != hooked_.rend(); ++it) {
    if (IsWindow(it->window)) RemoveWindowSubclass(it->window, hookProc, kHookId);
  }
  if (hwnd_) wrappers().erase(hwnd_);
}

void Win32Control::attach(HWND hwnd) {
  hwnd_ = hwnd;
  wrappers()[hwnd_] = this;
  hook(hwnd_, false);
}

LRESULT CALLBACK Win32Control::hookProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR data) noexcept {
  return guarded(
      [&]() -> LRESULT {
        auto* control = reinterpret_cast<Win32Control*>(data);
        if (message == WM_GETOBJECT && !control->accessibleName_.empty()) {
          if (const LRESULT named =
                  accessibleObjectNamed(hwnd, wParam, lParam, control->accessibleName_)) {
            return named;
          }
        }
        const auto hooked = std::find_if(control->hooked_.begin(), control->hooked_.end(),
                                         [&](const Hooked& entry) { return entry.window == hwnd; });
        if (message == WM_NCDESTROY) {
          RemoveWindowSubclass(hwnd, hookProc, kHookId);
          if (hwnd == control->hwnd_) wrappers().erase(hwnd);  // its handle may come back later
        } else if (hooked != control->hooked_.end() && hooked->wantsEnter &&
                   asksForEnter(message, wParam, lParam)) {
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
  if (also) hook(also, false);
}

void Win32Control::hook(HWND window, bool wantsEnter) {
  // One hook per window, so that each message reaches onSubclassed once; a window that asks for
  // Enter once keeps asking.
  const auto known = std::find_if(hooked_.begin(), hooked_.end(),
                                  [&](const Hooked& entry) { return entry.window == window; });
  if (known != hooked_.end()) {
    known->wantsEnter = known->wantsEnter || wantsEnter;
    return;
  }
  hooked_.push_back({window, wantsEnter});
  SetWindowSubclass(window, hookProc, kHookId, reinterpret_cast<DWORD_PTR>(this));
}

bool Win32Control::route(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
    const HWND child = reinterpret_cast<HWND>(lParam);
    auto found = wrappers().find(child);
    // The edit field and the list of a combo box ask for its colours; the field disabled asks as
    // a text does, and looks disabled as the system draws it.
    if (found == wrappers().end() && message != WM_CTLCOLORSTATIC) {
      found = wrappers().find(GetParent(child));
    }
    if (found == wrappers().end() || !found->second->colours_) return false;
    result = reinterpret_cast<LRESULT>(
        found->second->colours_->apply(reinterpret_cast<HDC>(wParam), highContrastOn()));
    return true;
  }
  HWND child = nullptr;
  if (message == WM_COMMAND) child = reinterpret_cast<HWND>(lParam);
  if (message == WM_DRAWITEM) child = reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem;
  if (!child) return false;
  const auto found = wrappers().find(child);
  if (found == wrappers().end()) return false;
  Win32Control* control = found->second;
  result = TRUE;
  if (message == WM_COMMAND) return control->onCommand(HIWORD(wParam));
  return control->onDrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
}

}  // namespace promptella
