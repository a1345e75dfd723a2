// The drive list.
#include "platform/win32/controls.h"

#include <commctrl.h>
#include <winnetwk.h>

#include <cwctype>
#include <memory>

#include "platform/win32/handles.h"
#include "platform/win32/off_thread.h"
#include "platform/win32/system_function.h"
#include "platform/win32/text.h"

namespace promptella {
DWORD DriveSource::drives() const {
  return GetLogicalDrives();
}

std::wstring DriveSource::describe(wchar_t letter) const {
  letter = static_cast<wchar_t>(std::towlower(letter));
  std::wstring text{letter, L':'};
  const std::wstring root = text + L"\\";
  // The network provider knows a mapped drive's share, connected or not, without its root.
  wchar_t share[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  const auto connection =
      systemFunction<decltype(WNetGetConnectionW)>(L"mpr.dll", "WNetGetConnectionW");
  if (GetDriveTypeW(root.c_str()) == DRIVE_REMOTE && connection) {
    const DWORD found = connection(text.c_str(), share, &size);
    if (found == NO_ERROR || found == ERROR_CONNECTION_UNAVAIL) {
      return share[0] ? text + L" " + share : text;
    }
  }
  wchar_t label[MAX_PATH + 1] = {};
  if (GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr,
                            0) &&
      label[0]) {
    text += std::wstring(L" ") + label;
  }
  return text;
}

bool DriveSource::ready(wchar_t letter) const {
  letter = static_cast<wchar_t>(std::towlower(letter));
  if (letter < L'a' || letter > L'z' || !(drives() & (1u << (letter - L'a')))) return false;
  // A drive without a medium, or a network drive that cannot be reached, has no readable root.
  const std::wstring root{letter, L':', L'\\'};
  return GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES;
}

Win32DriveList::Win32DriveList(HWND parent, int id, std::shared_ptr<const DriveSource> source)
    : source_(std::move(source)) {
  makeJobWindow();
  attach(createChild(
      parent, id, WC_COMBOBOXW,
      CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP));
  // Started in a network folder (\\server\share), the program stands on no drive.
  wchar_t current[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, current);
  if (current[1] == L':') current_ = static_cast<wchar_t>(std::towlower(current[0]));
  refresh();
}

void Win32DriveList::refresh() {
  items_.clear();
  const DWORD drives = source_->drives();
  for (wchar_t letter = L'a'; letter <= L'z'; ++letter) {
    if (!(drives & (1u << (letter - L'a')))) continue;
    const auto known = described_.find(letter);
    items_.push_back(known != described_.end() ? known->second : std::wstring{letter, L':'});
  }
  SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
  for (const auto& item : items_) {
    SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(indexOf(current_)), 0);
  describeInBackground();
}

void Win32DriveList::describeInBackground() {
  if (describing_) return;
  std::vector<wchar_t> letters;
  for (const auto& item : items_) letters.push_back(item[0]);
  // Each text comes back to the list's thread as it is read; the thread ends with the last.
  describing_ = static_cast<bool>(startThread(
      [source = source_, this, alive = std::weak_ptr(alive_), letters = std::move(letters)] {
        for (const wchar_t letter : letters) {
          try {
            postToWindow([this, alive, letter, text = source->describe(letter)] {
              if (!alive.expired()) showDescription(letter, text);
            });
          } catch (...) {
            // the letter alone stays
          }
        }
        postToWindow([this, alive] {
          if (!alive.expired()) describing_ = false;
        });
      }));
}

void Win32DriveList::showDescription(wchar_t letter, const std::wstring& text) {
  described_[letter] = text;
  const int index = indexOf(letter);
  if (index < 0 || items_[static_cast<std::size_t>(index)] == text) return;
  items_[static_cast<std::size_t>(index)] = text;
  SendMessageW(hwnd_, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
  SendMessageW(hwnd_, CB_INSERTSTRING, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(indexOf(current_)), 0);
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  if (GetComboBoxInfo(hwnd_, &info) && info.hwndList) InvalidateRect(info.hwndList, nullptr, TRUE);
}

int Win32DriveList::indexOf(wchar_t letter) const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i][0] == letter) return static_cast<int>(i);
  }
  return -1;
}

void Win32DriveList::select(wchar_t letter) {
  current_ = letter;
  if (letter && indexOf(letter) < 0) refresh();
  SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(indexOf(letter)), 0);
}

std::string Win32DriveList::drive() const {
  if (current_ == 0) return {};
  const int index = indexOf(current_);
  return narrow(index >= 0 ? items_[static_cast<std::size_t>(index)]
                           : std::wstring{current_, L':'});
}

Task<Reach> Win32DriveList::setDrive(std::string text) {
  const std::wstring wide = widen(text);
  if (wide.empty()) co_return Reach{Reach::unreachable};
  const wchar_t letter = static_cast<wchar_t>(std::towlower(wide[0]));
  // Meanwhile the window answers, the pointer says the program is busy, and Esc gives up.
  const auto asking = offThread<bool>([source = source_, letter] { return source->ready(letter); },
                                      kDriveAnswerWait, true);
  const auto ready = co_await asking;
  if (!ready || !*ready) {
    select(current_);  // back from what the user picked, if anything
    co_return Reach{ready ? Reach::unreachable : Reach::noAnswer};
  }
  select(letter);
  co_return Reach{Reach::reached};
}

bool Win32DriveList::onCommand(WORD code) {
  if (code == CBN_DROPDOWN) {
    refresh();
    return true;
  }
  if (code != CBN_SELCHANGE) return false;
  const auto index = SendMessageW(hwnd_, CB_GETCURSEL, 0, 0);
  if (index < 0 || index >= static_cast<LRESULT>(items_.size())) return true;
  const std::wstring& picked = items_[static_cast<std::size_t>(index)];
  // The list shows the pick until the change handler has moved it there, or back.
  if (picked[0] != current_ && onChange) onChange(narrow(picked));
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
                   : !IsWindowEnabled(hwnd_)
                       ? GetSysColor(COLOR_GRAYTEXT)
                       : textColour().value_or(GetSysColor(COLOR_WINDOWTEXT)));
  const std::wstring& text = items_[item.itemID];
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textBox,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &item.rcItem);
  return true;
}

}  // namespace promptella
