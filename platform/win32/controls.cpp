// Win32 control wrappers.
#include "platform/win32/controls.h"

#include <commctrl.h>
#include <winnetwk.h>

#include <algorithm>
#include <cwctype>

#include "platform/win32/error_boundary.h"
#include "platform/win32/text.h"

namespace promptella {
namespace {

constexpr wchar_t kWrapperProperty[] = L"Promptella.Control";
constexpr COLORREF kNavy = RGB(0, 0, 128);  // the drive list's text

HWND createChild(HWND parent, int id, const wchar_t* className, DWORD style, DWORD exStyle = 0,
                 const wchar_t* text = L"") {
  return CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10,
                         parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleW(nullptr), nullptr);
}

std::wstring windowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool sameFolder(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool isDirectory(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring fullPath(const std::wstring& text) {
  const DWORD size = GetFullPathNameW(text.c_str(), 0, nullptr, nullptr);
  if (size == 0) return {};
  std::wstring out(size, L'\0');
  out.resize(GetFullPathNameW(text.c_str(), size, out.data(), nullptr));
  return out;
}

// The length of the root of a full path: "C:\" or "\\server\share\".
std::size_t rootLength(const std::wstring& path) {
  if (path.size() >= 3 && path[1] == L':') return 3;
  if (path.rfind(L"\\\\", 0) == 0) {
    const auto server = path.find(L'\\', 2);
    if (server == std::wstring::npos) return path.size();
    const auto share = path.find(L'\\', server + 1);
    return share == std::wstring::npos ? path.size() : share + 1;
  }
  return 0;
}

void drawFolderGlyph(HDC dc, RECT box, bool open) {
  const int w = box.right - box.left, h = box.bottom - box.top;
  const int s = std::min(w, h);
  const int x = box.left + (w - s) / 2, y = box.top + (h - s) / 2;
  HBRUSH fill = CreateSolidBrush(open ? RGB(255, 224, 96) : RGB(240, 200, 64));
  HPEN edge = CreatePen(PS_SOLID, 1, RGB(128, 96, 0));
  HGDIOBJ oldBrush = SelectObject(dc, fill);
  HGDIOBJ oldPen = SelectObject(dc, edge);
  Rectangle(dc, x + s / 8, y + s / 4, x + s / 2, y + s / 2);  // tab
  Rectangle(dc, x + s / 8, y + s / 3, x + s - s / 8, y + s - s / 6);
  if (open) {
    POINT flap[] = {{x + s / 4, y + s / 2},
                    {x + s, y + s / 2},
                    {x + s - s / 8 - 1, y + s - s / 6 - 1},
                    {x + s / 8, y + s - s / 6 - 1}};
    Polygon(dc, flap, 4);
  }
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(edge);
  DeleteObject(fill);
}

std::string sortKey(const wchar_t* name) {
  const DWORD flags = LCMAP_SORTKEY | LINGUISTIC_IGNORECASE;
  const int size =
      LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, name, -1, nullptr, 0, nullptr, nullptr, 0);
  std::string key(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, name, -1, reinterpret_cast<LPWSTR>(key.data()),
                size, nullptr, nullptr, 0);
  return key;
}

// The dialog manager asks a control whether it wants Enter before it would press a button.
bool asksForEnter(UINT message, WPARAM wParam, LPARAM lParam) {
  return message == WM_GETDLGCODE && lParam && wParam == VK_RETURN &&
         reinterpret_cast<MSG*>(lParam)->message == WM_KEYDOWN;
}

// Handles the paint messages that wait, and nothing else, so that no input runs in between.
void repaintPending() {
  MSG message;
  while (PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&message);
}

}  // namespace

// ----- Win32Control -------------------------------------------------------------------------

Win32Control::~Win32Control() {
  if (hwnd_ && IsWindow(hwnd_)) RemovePropW(hwnd_, kWrapperProperty);
}

void Win32Control::attach(HWND hwnd) {
  hwnd_ = hwnd;
  SetPropW(hwnd_, kWrapperProperty, this);
}

void Win32Control::setFont(HFONT font) {
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
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

// ----- Win32DriveList -----------------------------------------------------------------------

Win32DriveList::Win32DriveList(HWND parent, int id) {
  attach(createChild(
      parent, id, WC_COMBOBOXW,
      CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP));
  wchar_t current[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, current);
  current_ = static_cast<wchar_t>(std::towlower(current[0]));
  refresh();
}

std::wstring Win32DriveList::driveText(wchar_t letter) {
  letter = static_cast<wchar_t>(std::towlower(letter));
  std::wstring text{letter, L':'};
  const std::wstring root = text + L"\\";
  if (GetDriveTypeW(root.c_str()) == DRIVE_REMOTE) {
    wchar_t share[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (WNetGetConnectionW(text.c_str(), share, &size) == NO_ERROR) return text + L" " + share;
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
  HBRUSH body = CreateSolidBrush(RGB(192, 192, 192));
  HGDIOBJ oldBrush = SelectObject(dc, body);
  Rectangle(dc, glyph.left, glyph.top + height / 4, glyph.right, glyph.bottom - height / 8);
  SelectObject(dc, oldBrush);
  DeleteObject(body);
  RECT light{glyph.right - height / 4 - 1, glyph.bottom - height / 3, glyph.right - 2,
             glyph.bottom - height / 4};
  HBRUSH green = CreateSolidBrush(RGB(0, 160, 0));
  FillRect(dc, &light, green);
  DeleteObject(green);
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

// ----- Win32FolderList ----------------------------------------------------------------------

Win32FolderList::Win32FolderList(HWND parent, int id) {
  attach(createChild(
      parent, id, WC_LISTBOXW,
      LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_NODATA | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
      WS_EX_CLIENTEDGE));
  SetWindowSubclass(hwnd_, keyProc, 0, reinterpret_cast<DWORD_PTR>(this));
  wchar_t current[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, current);
  path_ = current;
  populate();
}

void Win32FolderList::setItemHeight(int pixels) {
  SendMessageW(hwnd_, LB_SETITEMHEIGHT, 0, pixels);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

std::string Win32FolderList::path() const {
  return narrow(path_);
}

std::wstring Win32FolderList::resolve(const std::wstring& current, const std::wstring& quoted) {
  // As the interpreter's cd reads it: quotes group, they are no part of a name.
  std::wstring text = quoted;
  std::erase(text, L'"');
  if (text.empty()) return {};
  std::wstring target;
  const bool hasDrive = text.size() >= 2 && text[1] == L':';
  if (hasDrive || text.rfind(L"\\\\", 0) == 0) {
    target = fullPath(text);  // a drive alone gives that drive's current folder
  } else if (text[0] == L'\\' || text[0] == L'/') {
    target = fullPath(current.substr(0, rootLength(current)) + text.substr(1));
  } else {
    std::wstring base = current;
    if (!base.empty() && base.back() != L'\\') base += L'\\';
    target = fullPath(base + text);
  }
  if (target.empty()) return {};
  while (target.size() > rootLength(target) && target.back() == L'\\') target.pop_back();
  if (target.size() == 2 && target[1] == L':') target += L'\\';
  if (target.size() >= 2 && target[1] == L':')
    target[0] = static_cast<wchar_t>(std::towupper(target[0]));
  return isDirectory(target) ? target : std::wstring();
}

bool Win32FolderList::setPath(std::string_view text) {
  const std::wstring target = resolve(path_, widen(text));
  if (target.empty()) return false;
  if (target == path_) return true;
  const bool changed = !sameFolder(target, path_);
  path_ = target;
  populate();
  if (changed && onChange) onChange();
  return true;
}

void Win32FolderList::populate() {
  entries_.clear();
  const std::size_t root = rootLength(path_);
  entries_.push_back({path_.substr(0, root), path_.substr(0, root), 0, true});
  for (std::size_t start = root; start < path_.size();) {
    std::size_t end = path_.find(L'\\', start);
    if (end == std::wstring::npos) end = path_.size();
    entries_.push_back({path_.substr(start, end - start), path_.substr(0, end),
                        static_cast<int>(entries_.size()), true});
    start = end + 1;
  }
  const int current = static_cast<int>(entries_.size()) - 1;

  // Sorted as Explorer sorts, by the user's collation ("Élan" with the E's), through sort keys:
  // one conversion per name, then plain byte comparisons.
  struct Child {
    std::wstring name;
    std::string key;
  };
  std::vector<Child> children;
  std::wstring pattern = path_;
  if (pattern.back() != L'\\') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW found;
  HANDLE search =
      FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchLimitToDirectories,
                       nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
      const wchar_t* name = found.cFileName;
      if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0))) continue;
      children.push_back({name, sortKey(name)});
      // A folder of many thousands takes a moment: the windows keep painting meanwhile.
      if (children.size() % 2048 == 0) repaintPending();
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  std::sort(children.begin(), children.end(),
            [](const Child& a, const Child& b) { return a.key < b.key; });
  entries_.reserve(entries_.size() + children.size());
  for (auto& child : children) entries_.push_back({std::move(child.name), {}, current + 1, false});

  // The path is also the list's window text, where automation tools read it.
  SetWindowTextW(hwnd_, path_.c_str());
  SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(hwnd_, LB_SETCOUNT, entries_.size(), 0);
  SendMessageW(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(current), 0);
  SendMessageW(hwnd_, LB_SETTOPINDEX, static_cast<WPARAM>(std::max(0, current - 2)), 0);
  SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(hwnd_, nullptr, TRUE);
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
  // A folder that vanished since it was listed fails quietly: the list stays as it is.
  setPath(narrow(target));
}

bool Win32FolderList::onCommand(WORD code) {
  if (code != LBN_DBLCLK) return false;
  openEntry(static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0)));
  return true;
}

LRESULT CALLBACK Win32FolderList::keyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR data) noexcept {
  return guarded([&] { return handleKey(hwnd, message, wParam, lParam, data); }, LRESULT{0});
}

LRESULT Win32FolderList::handleKey(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                   DWORD_PTR data) {
  auto* self = reinterpret_cast<Win32FolderList*>(data);
  if (asksForEnter(message, wParam, lParam)) {
    return DLGC_WANTALLKEYS | DefSubclassProc(hwnd, message, wParam, lParam);
  }
  if (message == WM_KEYDOWN && wParam == VK_RETURN) {
    self->openEntry(static_cast<int>(SendMessageW(hwnd, LB_GETCURSEL, 0, 0)));
    return 0;
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, keyProc, 0);
  return DefSubclassProc(hwnd, message, wParam, lParam);
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

// ----- Win32ComboBox ------------------------------------------------------------------------

Win32ComboBox::Win32ComboBox(HWND parent, int id) {
  attach(createChild(parent, id, WC_COMBOBOXW,
                     CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP));
  SendMessageW(hwnd_, CB_LIMITTEXT, 0, 0);  // no limit: a long command line is the user's to type
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  GetComboBoxInfo(hwnd_, &info);
  edit_ = info.hwndItem;
  SetWindowSubclass(edit_, editProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK Win32ComboBox::editProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR data) noexcept {
  return guarded([&] { return handleEdit(hwnd, message, wParam, lParam, data); }, LRESULT{0});
}

LRESULT Win32ComboBox::handleEdit(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                  DWORD_PTR data) {
  auto* self = reinterpret_cast<Win32ComboBox*>(data);
  if (asksForEnter(message, wParam, lParam)) {
    return DLGC_WANTALLKEYS | DefSubclassProc(hwnd, message, wParam, lParam);
  }
  if (message == WM_CHAR && self->onKeyPress) {
    self->onKeyPress(static_cast<int>(wParam));
    // The handler may have disabled or rebuilt things; the key still goes to the edit field.
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, editProc, 0);
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

std::string Win32ComboBox::text() const {
  return narrow(windowText(hwnd_));
}

void Win32ComboBox::setText(std::string_view text) {
  SetWindowTextW(hwnd_, widen(text).c_str());
}

int Win32ComboBox::count() const {
  return static_cast<int>(SendMessageW(hwnd_, CB_GETCOUNT, 0, 0));
}

std::string Win32ComboBox::item(int index) const {
  const auto length = SendMessageW(hwnd_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(hwnd_, CB_GETLBTEXT, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return narrow(text);
}

void Win32ComboBox::insertItem(int index, std::string_view text) {
  const std::wstring wide = widen(text);
  SendMessageW(hwnd_, CB_INSERTSTRING, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(wide.c_str()));
}

void Win32ComboBox::removeItem(int index) {
  SendMessageW(hwnd_, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

// ----- Win32Button --------------------------------------------------------------------------

Win32Button::Win32Button(HWND parent, int id, HWND toolTips, bool picture) : toolTips_(toolTips) {
  attach(
      createChild(parent, id, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP | (picture ? BS_BITMAP : 0)));
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = parent;
  tool.uId = reinterpret_cast<UINT_PTR>(hwnd_);
  tool.lpszText = const_cast<wchar_t*>(L"");
  SendMessageW(toolTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
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
  toolTip_ = text;
  if (!toolTips_) return;
  std::wstring wide = widen(text);
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = GetParent(hwnd_);
  tool.uId = reinterpret_cast<UINT_PTR>(hwnd_);
  tool.lpszText = wide.data();
  SendMessageW(toolTips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Win32Button::setPicture(HBITMAP picture) {
  SendMessageW(hwnd_, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
}

bool Win32Button::onCommand(WORD code) {
  if (code != BN_CLICKED) return false;
  if (onClick && IsWindowEnabled(hwnd_)) onClick();
  return true;
}

// ----- Win32MenuItem ------------------------------------------------------------------------

void Win32MenuItem::setEnabled(bool enabled) {
  EnableMenuItem(menu_, id_, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

bool Win32MenuItem::enabled() const {
  return !(GetMenuState(menu_, id_, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
}

// ----- Win32Label ---------------------------------------------------------------------------

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

// ----- Win32MessageBox ----------------------------------------------------------------------

void Win32MessageBox::show(std::string_view text) {
  MessageBoxW(owner_, widen(text).c_str(), L"Promptella", MB_OK);
}

}  // namespace promptella
