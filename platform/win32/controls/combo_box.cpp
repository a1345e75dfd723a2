// The command line: an editable combo box.
#include "platform/win32/controls.h"

#include <commctrl.h>
#include <shellapi.h>

#include "platform/interpreter.h"
#include "platform/win32/system_function.h"
#include "platform/win32/text.h"

namespace promptella {
namespace {

// Posted to the edit field at Enter: the suggestions close once the key has been handled whole.
constexpr UINT kCloseSuggestions = WM_APP + 0x141;

}  // namespace

Win32ComboBox::Win32ComboBox(HWND parent, int id) {
  attach(createChild(parent, id, WC_COMBOBOXW,
                     CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP));
  SendMessageW(hwnd_, CB_LIMITTEXT, 0, 0);  // no limit: a long command line is the user's to type
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  GetComboBoxInfo(hwnd_, &info);
  edit_ = info.hwndItem;
  hook(edit_);
  // Files and folders dropped from the Explorer come as their paths (WM_DROPFILES).
  SetWindowLongPtrW(edit_, GWL_EXSTYLE, GetWindowLongPtrW(edit_, GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
}

std::optional<LRESULT> Win32ComboBox::onSubclassed(HWND window, UINT message, WPARAM wParam,
                                                   LPARAM lParam) {
  // Escape closes the open suggestions: the dialog manager must hand it to the field then.
  if (message == WM_GETDLGCODE && wParam == VK_ESCAPE && suggestions_ && suggestions_->shown()) {
    return DLGC_WANTALLKEYS | DefSubclassProc(window, message, wParam, lParam);
  }
  if (message == WM_DROPFILES) {
    insertDroppedPaths(reinterpret_cast<HDROP>(wParam));
    return 0;
  }
  if (message == WM_KEYDOWN && !suggestions_ && suggestions) {
    suggestions_ = std::make_unique<Suggestions>([this] {
      std::vector<std::wstring> entries;
      for (const std::string& entry : suggestions()) entries.push_back(widen(entry));
      return entries;
    });
    // Without the system's autocompletion the line simply offers nothing.
    static_cast<void>(suggestions_->attach(edit_));
  }
  // The key still goes to the edit field, whatever the handler did.
  if (message == WM_CHAR && onKey) {
    const bool enter = wParam == L'\r';
    onKey(enter ? Key::Enter : Key::Other);
    // The autocompletion takes the character after us, as typing, and opens its list again on
    // the line just run, over the stored-command buttons: it is closed once all is done.
    if (enter && suggestions_) PostMessageW(edit_, kCloseSuggestions, 0, 0);
  }
  if (message == kCloseSuggestions) {
    if (suggestions_) suggestions_->close();
    return 0;
  }
  return std::nullopt;
}

void Win32ComboBox::deliverEnter(const std::function<void()>& deliver) {
  // The line as it shows, or as the handler of Enter set it (trimmed): nothing else stays.
  expected_ = windowText(edit_);
  // With its list open, the autocompletion would keep the Enter character for itself.
  if (suggestions_) suggestions_->close();
  deliver();
  if (windowText(edit_) != *expected_) {
    SetWindowTextW(edit_, expected_->c_str());
    SendMessageW(edit_, EM_SETSEL, 0, -1);
  }
  expected_.reset();
}

void Win32ComboBox::insertDroppedPaths(HDROP drop) {
  // As a batch line takes them: full paths between spaces, each quoted where the interpreter
  // would otherwise split it or read an operator in it (R&D), each % doubled so that it names
  // no variable (every command runs from a batch file).
  const auto query = systemFunction<decltype(DragQueryFileW)>(L"shell32.dll", "DragQueryFileW");
  const auto finish = systemFunction<decltype(DragFinish)>(L"shell32.dll", "DragFinish");
  if (!query || !finish) return;
  std::wstring text;
  const UINT count = query(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::wstring path(query(drop, i, nullptr, 0) + 1, L'\0');
    path.resize(query(drop, i, path.data(), static_cast<UINT>(path.size())));
    if (!text.empty()) text += L' ';
    text += widen(literalPercents(quotedForInterpreter(narrow(path))));
  }
  finish(drop);
  SetFocus(edit_);
  SendMessageW(edit_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string Win32ComboBox::text() const {
  return narrow(windowText(hwnd_));
}

void Win32ComboBox::setText(std::string_view text) {
  if (expected_) expected_ = widen(text);
  SetWindowTextW(hwnd_, widen(text).c_str());
  // Wholly selected, the caret at its end: the next keys replace it, as in an address bar, and
  // are never glued in front of it.
  SendMessageW(edit_, EM_SETSEL, 0, -1);
}

LRESULT Win32ComboBox::listMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  // The list's own messages concern no hook, and a history of thousands of entries sends
  // thousands: they go to the combo box's own procedure directly (under Wine, each message
  // through a hook costs a look-up in its server).
  const auto own = reinterpret_cast<WNDPROC>(GetClassLongPtrW(hwnd_, GCLP_WNDPROC));
  return own ? CallWindowProcW(own, hwnd_, message, wParam, lParam)
             : SendMessageW(hwnd_, message, wParam, lParam);
}

int Win32ComboBox::count() const {
  return static_cast<int>(listMessage(CB_GETCOUNT, 0, 0));
}

std::string Win32ComboBox::item(int index) const {
  const auto length = listMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  listMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return narrow(text);
}

void Win32ComboBox::insertItem(int index, std::string_view text) {
  const std::wstring wide = widen(text);
  listMessage(CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide.c_str()));
}

void Win32ComboBox::removeItem(int index) {
  listMessage(CB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

}  // namespace promptella
