// The folder list.
#include "platform/win32/controls.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "platform/folder_path.h"
#include "platform/win32/controls/name_sorter.h"
#include "platform/win32/folder_search.h"
#include "platform/win32/handles.h"
#include "platform/win32/off_thread.h"
#include "platform/win32/text.h"

namespace promptella {
namespace {

// Equal but for case, as file names compare.
bool sameName(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// Whether `path` is a folder, asked off the window's thread: a drive that does not answer in time
// (a sleeping disk, a share whose server is gone), or that the user stops waiting for with Esc,
// is told apart.
Task<Reach> folderAt(std::wstring path) {
  const auto asking = offThread<bool>(
      [path] {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES &&
               (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      },
      kDriveAnswerWait, true);
  const auto folder = co_await asking;
  if (!folder) co_return Reach{Reach::noAnswer};
  co_return Reach{*folder ? Reach::reached : Reach::unreachable};
}

void drawFolderGlyph(HDC dc, RECT box, bool open) {
  const int w = box.right - box.left, h = box.bottom - box.top;
  const int s = std::min(w, h);
  const int x = box.left + (w - s) / 2, y = box.top + (h - s) / 2;
  const UniqueBrush fill(CreateSolidBrush(open ? RGB(255, 224, 96) : RGB(240, 200, 64)));
  const UniquePen edge(CreatePen(PS_SOLID, 1, RGB(128, 96, 0)));
  const ScopedSelect brush(dc, fill.get());
  const ScopedSelect pen(dc, edge.get());
  Rectangle(dc, x + s / 8, y + s / 4, x + s / 2, y + s / 2);  // tab
  Rectangle(dc, x + s / 8, y + s / 3, x + s - s / 8, y + s - s / 6);
  if (open) {
    POINT flap[] = {{x + s / 4, y + s / 2},
                    {x + s, y + s / 2},
                    {x + s - s / 8 - 1, y + s - s / 6 - 1},
                    {x + s / 8, y + s - s / 6 - 1}};
    Polygon(dc, flap, 4);
  }
}

// The subfolders of `folder`, sorted. The whole listing is read and sorted off the window's
// thread: a slow drive, thousands of names on a share, or a share that goes away in the middle of
// a listing never holds the window. A listing that has not ended in time shows no subfolders.
Task<std::vector<std::wstring>> readSubfolders(std::wstring folder) {
  const std::wstring pattern = folder + (folder.back() == L'\\' ? L"*" : L"\\*");
  const auto listing = offThread<std::vector<std::wstring>>(
      [pattern] {
        NameSorter sorter;
        FolderSearch search(pattern, true, true);
        for (bool more = search.found(); more; more = search.next()) {
          if (search.entryIsSubfolder()) sorter.add(search.entry().cFileName);
        }
        return sorter.finish();
      },
      kDriveAnswerWait);
  auto names = co_await listing;
  co_return names ? std::move(*names) : std::vector<std::wstring>{};
}

}  // namespace

Win32FolderList::Win32FolderList(HWND parent, int id) {
  attach(createChild(
      parent, id, WC_LISTBOXW,
      LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_NODATA | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
      WS_EX_CLIENTEDGE));
  hook(hwnd_);
  wchar_t current[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, current);
  path_ = current;
  // Its subfolders come once listed, unless the list has moved on by then.
  show({});
  listing_.emplace(listLater());
  listing_->start([](std::exception_ptr) {});
}

Task<> Win32FolderList::listLater() {
  const std::wstring shown = path_;
  std::vector<std::wstring> names = co_await readSubfolders(shown);
  if (path_ == shown) show(std::move(names));
}

void Win32FolderList::setItemHeight(int pixels) {
  SendMessageW(hwnd_, LB_SETITEMHEIGHT, 0, pixels);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

std::string Win32FolderList::path() const {
  return narrow(path_);
}

Task<Reach> Win32FolderList::setPath(std::string text) {
  // A full path, a drive alone, a root-relative or a relative path, each possibly quoted in whole
  // or in part.
  const std::string toResolve = folderToResolve(narrow(path_), text);
  if (toResolve.empty()) co_return Reach{Reach::unreachable};
  const std::wstring full = fullPath(widen(toResolve));
  if (full.empty()) co_return Reach{Reach::unreachable};
  const std::wstring target = widen(tidyFolder(narrow(full)));
  const Reach there = co_await folderAt(target);
  if (!there || target == path_) co_return there;
  std::vector<std::wstring> names = co_await readSubfolders(target);
  path_ = target;
  show(std::move(names));
  co_return Reach{Reach::reached};
}

Task<Reach> Win32FolderList::stillThere() const {
  co_return co_await folderAt(path_);
}

void Win32FolderList::show(std::vector<std::wstring> subfolders) {
  entries_.clear();
  const std::size_t root = rootLength(std::wstring_view(path_));
  entries_.push_back({path_.substr(0, root), path_.substr(0, root), 0, true});
  for (std::size_t start = root; start < path_.size();) {
    std::size_t end = path_.find(L'\\', start);
    if (end == std::wstring::npos) end = path_.size();
    entries_.push_back({path_.substr(start, end - start), path_.substr(0, end),
                        static_cast<int>(entries_.size()), true});
    start = end + 1;
  }
  const int current = static_cast<int>(entries_.size()) - 1;
  for (std::wstring& name : subfolders) {
    entries_.push_back({std::move(name), {}, current + 1, false});
  }

  // The path is also the list's window text, where automation tools read it.
  SetWindowTextW(hwnd_, path_.c_str());
  // The list is refilled unseen: with its visible style off, neither the new count nor the scroll
  // bar that comes or goes is drawn before the whole list is drawn once.
  const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
  SetWindowLongPtrW(hwnd_, GWL_STYLE, style & ~WS_VISIBLE);
  SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(hwnd_, LB_SETCOUNT, entries_.size(), 0);
  SendMessageW(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(current), 0);
  SendMessageW(hwnd_, LB_SETTOPINDEX, static_cast<WPARAM>(std::max(0, current - 2)), 0);
  SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
  SetWindowLongPtrW(hwnd_, GWL_STYLE, style);
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void Win32FolderList::openEntry(int index) {
  if (index < 0 || index >= static_cast<int>(entries_.size())) return;
  const Entry& entry = entries_[static_cast<std::size_t>(index)];
  std::wstring target = entry.fullPath;
  if (target.empty()) {  // a subfolder of the folder shown
    target = path_;
    if (target.back() != L'\\') target += L'\\';
    target += entry.name;
  }
  if (!sameName(target, path_) && onChange) onChange(narrow(target));
}

bool Win32FolderList::onCommand(WORD code) {
  if (code != LBN_DBLCLK) return false;
  openEntry(static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0)));
  return true;
}

std::optional<LRESULT> Win32FolderList::onSubclassed(HWND, UINT message, WPARAM wParam,
                                                     LPARAM lParam) {
  if ((message == LB_GETTEXT || message == LB_GETTEXTLEN) && wParam < entries_.size()) {
    const std::wstring& name = entries_[wParam].name;
    if (message == LB_GETTEXT) {
      auto* buffer = reinterpret_cast<wchar_t*>(lParam);
      buffer[name.copy(buffer, name.size())] = L'\0';
    }
    return static_cast<LRESULT>(name.size());
  }
  if (message == WM_CHAR && wParam >= L' ') {
    findTyped(static_cast<wchar_t>(wParam));
    return 0;
  }
  if (message != WM_KEYDOWN || wParam != VK_RETURN) return std::nullopt;
  openEntry(static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0)));
  return 0;
}

void Win32FolderList::findTyped(wchar_t typed) {
  // As the Explorer's lists do: the letters typed in a row name the start of an entry; the same
  // letter again goes on to the next entry that starts with it. A pause starts a new search.
  const ULONGLONG now = GetTickCount64();
  if (now - lastTyped_ > GetDoubleClickTime() * 2) typed_.clear();
  lastTyped_ = now;
  const wchar_t letter[] = {typed, 0};
  if (!(typed_.size() == 1 && sameName(typed_, letter))) typed_ += typed;
  if (entries_.empty()) return;
  const auto count = static_cast<int>(entries_.size());
  const int selected = static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0));
  // A first letter, or the same again, looks past the entry selected; more letters look at it too.
  const int start = std::max(selected, 0) + (typed_.size() == 1 ? 1 : 0);
  for (int i = 0; i < count; ++i) {
    const int index = (start + i) % count;
    const std::wstring& name = entries_[static_cast<std::size_t>(index)].name;
    if (name.size() >= typed_.size() &&
        sameName(std::wstring_view(name).substr(0, typed_.size()), typed_)) {
      SendMessageW(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
      return;
    }
  }
}

bool Win32FolderList::onDrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  const bool selected = item.itemState & ODS_SELECTED;
  FillRect(dc, &item.rcItem, GetSysColorBrush(COLOR_WINDOW));
  if (item.itemID >= entries_.size()) return true;
  const Entry& entry = entries_[item.itemID];
  const int height = item.rcItem.bottom - item.rcItem.top;
  const int indent = item.rcItem.left + 2 + entry.level * (height * 2 / 3);
  drawFolderGlyph(dc,
                  RECT{indent, item.rcItem.top + 1, indent + height - 2, item.rcItem.bottom - 1},
                  entry.open);
  SIZE extent{};
  GetTextExtentPoint32W(dc, entry.name.c_str(), static_cast<int>(entry.name.size()), &extent);
  RECT textBox{indent + height + 2, item.rcItem.top, indent + height + 6 + extent.cx,
               item.rcItem.bottom};
  if (selected) FillRect(dc, &textBox, GetSysColorBrush(COLOR_HIGHLIGHT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(!IsWindowEnabled(hwnd_) ? COLOR_GRAYTEXT
                               : selected              ? COLOR_HIGHLIGHTTEXT
                                                       : COLOR_WINDOWTEXT));
  RECT inner = textBox;
  inner.left += 2;
  DrawTextW(dc, entry.name.c_str(), static_cast<int>(entry.name.size()), &inner,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &textBox);
  return true;
}

}  // namespace promptella
