// The drive list.
#include "platform/win32/controls.h"

#include <commctrl.h>
#include <winnetwk.h>

#include <cwctype>

#include "platform/win32/handles.h"
#include "platform/win32/system_function.h"
#include "platform/win32/text.h"

namespace promptella {
namespace {

constexpr COLORREF kNavy = RGB(0, 0, 128);  // the drive list's text

}  // namespace

Win32DriveList::Win32DriveList(HWND parent, int id) {
  attach(createChild(
      parent, id, WC_COMBOBOXW,
      CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP));
  // Started in a network folder (\\server\share), the program stands on no drive.
  wchar_t current[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, current);
  if (current[1] == L':') current_ = static_cast<wchar_t>(std::towlower(current[0]));
  refresh();
}

std::wstring Win32DriveList::driveText(wchar_t letter) {
  letter = static_cast<wchar_t>(std::towlower(letter));
  std::wstring text{letter, L':'};
  const std::wstring root = text + L"\\";
  if (GetDriveTypeW(root.c_str()) == DRIVE_REMOTE) {
    wchar_t share[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    const auto connection =
        systemFunction<decltype(WNetGetConnectionW)>(L"mpr.dll", "WNetGetConnectionW");
    if (connection && connection(text.c_str(), share, &size) == NO_ERROR) {
      return text + L" " + share;
    }
  }
  wchar_t label[MAX_PATH + 1] = {};
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  const BOOL ok = GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr,
                                        nullptr, nullptr, 0);
  SetErrorMode(oldMode);
  if (ok && label[0]) text += std::wstring(L" ") + label;
  return text;
}

bool Win32DriveList::driveReady(wchar_t letter) {
  letter = static_cast<wchar_t>(std::towlower(letter));
  if (letter < L'a' || letter > L'z' || !(GetLogicalDrives() & (1u << (letter - L'a')))) {
    return false;
  }
  const std::wstring root{letter, L':', L'\\'};
  // A drive without a medium, or a network drive that cannot be reached, has no readable root.
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  const DWORD attributes = GetFileAttributesW(root.c_str());
  SetErrorMode(oldMode);
  return attributes != INVALID_FILE_ATTRIBUTES;
}

void Win32DriveList::refresh() {
  items_.clear();
  const DWORD drives = GetLogicalDrives();
  for (wchar_t letter = L'a'; letter <= L'z'; ++letter) {
    if (drives & (1u << (letter - L'a'))) items_.push_back(driveText(letter));
  }
  SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
  for (const auto& item : items_) {
    SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(indexOf(current_)), 0);
}

int Win32DriveList::indexOf(wchar_t letter) const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i][0] == letter) return static_cast<int>(i);
  }
  return -1;
}

void Win32DriveList::select(wchar_t letter) {
  current_ = letter;
  if (indexOf(letter) < 0) refresh();
  SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(indexOf(letter)), 0);
}

std::string Win32DriveList::drive() const {
  if (current_ == 0) return {};
  const int index = indexOf(current_);
  return narrow(index >= 0 ? items_[static_cast<std::size_t>(index)]
                           : std::wstring{current_, L':'});
}

bool Win32DriveList::setDrive(std::string_view text) {
  const std::wstring wide = widen(text);
  if (wide.empty() || !driveReady(wide[0])) return false;
  const wchar_t letter = static_cast<wchar_t>(std::towlower(wide[0]));
  if (letter == current_) return true;
  select(letter);
  if (onChange) onChange();
  return true;
}

bool Win32DriveList::onCommand(WORD code) {
  if (code == CBN_DROPDOWN) {
    refresh();
    return true;
  }
  if (code != CBN_SELCHANGE) return false;
  const auto index = SendMessageW(hwnd_, CB_GETCURSEL, 0, 0);
  if (index < 0 || index >= static_cast<LRESULT>(items_.size())) return true;
  const wchar_t letter = items_[static_cast<std::size_t>(index)][0];
  // The user's pick changes the drive even when it is not ready: the change handler recovers.
  if (letter != current_) {
    current_ = letter;
    if (onChange) onChange();
  }
  return true;
}

bool Win32DriveList::onDrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item.itemID == static_cast<UINT>(-1) || item.itemID >= items_.size()) return true;
  const int height = item.rcItem.bottom - item.rcItem.top;
  RECT glyph{item.rcItem.left + 2, item.rcItem.top + 2, item.rcItem.left + height,
             item.rcItem.bottom - 2};
  // A small drive: a grey box with a green light.
  {
    const UniqueBrush body(CreateSolidBrush(RGB(192, 192, 192)));
    const ScopedSelect select(dc, body.get());
    Rectangle(dc, glyph.left, glyph.top + height / 4, glyph.right, glyph.bottom - height / 8);
  }
  RECT light{glyph.right - height / 4 - 1, glyph.bottom - height / 3, glyph.right - 2,
             glyph.bottom - height / 4};
  const UniqueBrush green(CreateSolidBrush(RGB(0, 160, 0)));
  FillRect(dc, &light, green.get());
  RECT textBox = item.rcItem;
  textBox.left = glyph.right + 4;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                            : (IsWindowEnabled(hwnd_) ? kNavy : GetSysColor(COLOR_GRAYTEXT)));
  const std::wstring& text = items_[item.itemID];
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textBox,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &item.rcItem);
  return true;
}

}  // namespace promptella
