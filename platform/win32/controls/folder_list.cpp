// The folder list.
#include "platform/win32/controls.h"

#include <commctrl.h>

#include <algorithm>
#include <condition_variable>
#include <cwctype>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/win32/error_boundary.h"
#include "platform/win32/handles.h"
#include "platform/win32/off_thread.h"
#include "platform/win32/text.h"

namespace promptella {
namespace {

bool sameFolder(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// Whether `path` is a folder. A drive that does not answer in time (a sleeping disk, a share
// whose server is gone) counts as no folder; the windows paint meanwhile.
bool isDirectory(const std::wstring& path) {
  return offThread<bool>(
             [path] {
               const DWORD attributes = GetFileAttributesW(path.c_str());
               return attributes != INVALID_FILE_ATTRIBUTES &&
                      (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
             },
             Win32DriveList::kReadyWait)
      .value_or(false);
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

// Appends the sort key of `name` in the user's collation to `keys`; one call for any name that
// fits the buffer, as nearly all do.
void appendSortKey(std::string& keys, const std::wstring& name) {
  const DWORD flags = LCMAP_SORTKEY | LINGUISTIC_IGNORECASE;
  BYTE buffer[1024];
  int size = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, name.c_str(), -1,
                           reinterpret_cast<LPWSTR>(buffer), sizeof(buffer), nullptr, nullptr, 0);
  if (size > 0) {
    keys.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(size));
    return;
  }
  size = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, name.c_str(), -1, nullptr, 0, nullptr,
                       nullptr, 0);
  if (size <= 0) return;
  const std::size_t at = keys.size();
  keys.resize(at + static_cast<std::size_t>(size));
  LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, name.c_str(), -1,
                reinterpret_cast<LPWSTR>(keys.data() + at), size, nullptr, nullptr, 0);
}

// A subfolder's name with its sort key.
struct SortedName {
  std::wstring* name;
  std::string_view key;
  bool operator<(const SortedName& other) const { return key < other.key; }
};

// Subfolder names as they are found, in batches, then sorted by their keys.
struct NameBatch {
  static constexpr std::size_t kSize = 1024;
  std::vector<std::wstring> names;
  std::string keys;  // all the batch's keys, one after another
  std::vector<SortedName> sorted;
  void sort() {
    keys.clear();
    keys.reserve(names.size() * 48);
    std::vector<std::size_t> keyEnds;
    keyEnds.reserve(names.size());
    for (const std::wstring& name : names) {
      appendSortKey(keys, name);
      keyEnds.push_back(keys.size());
    }
    const std::string_view all = keys;
    sorted.clear();
    sorted.reserve(names.size());
    for (std::size_t i = 0, begin = 0; i < names.size(); begin = keyEnds[i++]) {
      sorted.push_back({&names[i], all.substr(begin, keyEnds[i] - begin)});
    }
    std::sort(sorted.begin(), sorted.end());
  }
};

// Sorts full batches on a second thread while the folder is still being read, so that a folder
// of many thousands costs little more than reading it. Started only for a folder that fills a
// batch.
class BatchSorter {
 public:
  ~BatchSorter() { finish(); }
  // Hands over a full batch, to be sorted on the second thread.
  void add(NameBatch* batch) {
    if (!thread_.joinable()) {
      try {
        thread_ = std::thread([this]() noexcept { run(); });
      } catch (const std::system_error&) {  // no second thread: the batches are sorted afterwards
        return;
      }
    }
    const std::lock_guard lock(mutex_);
    waiting_.push_back(batch);
    wake_.notify_one();
  }
  // Waits until every batch handed over is sorted.
  void finish() {
    if (!thread_.joinable()) return;
    {
      const std::lock_guard lock(mutex_);
      done_ = true;
      wake_.notify_one();
    }
    thread_.join();
  }

 private:
  void run() noexcept {
    for (;;) {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return done_ || next_ < waiting_.size(); });
      if (next_ == waiting_.size()) return;
      NameBatch* batch = waiting_[next_++];
      lock.unlock();
      try {
        batch->sort();
      } catch (...) {  // out of memory: the batch is left unsorted and sorted again below
        batch->sorted.clear();
      }
    }
  }

  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<NameBatch*> waiting_;
  std::size_t next_ = 0;
  bool done_ = false;
};

// Handles the paint messages that wait, and nothing else, so that no input runs in between.
void repaintPending() {
  MSG message;
  while (PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&message);
}

}  // namespace

Win32FolderList::Win32FolderList(HWND parent, int id) {
  attach(createChild(
      parent, id, WC_LISTBOXW,
      LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_NODATA | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
      WS_EX_CLIENTEDGE));
  subclass(hwnd_);
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
  std::vector<std::unique_ptr<NameBatch>> batches;
  BatchSorter sorter;
  std::wstring pattern = path_;
  if (pattern.back() != L'\\') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW found;
  // The first read of a folder is what a slow drive makes wait: it is made off the window's
  // thread, which paints meanwhile.
  // (A read given up leaves its search handle to the thread that made it: a small leak, once.)
  const auto opened = offThread<std::pair<HANDLE, WIN32_FIND_DATAW>>(
      [pattern] {
        std::pair<HANDLE, WIN32_FIND_DATAW> result{};
        result.first =
            FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &result.second,
                             FindExSearchLimitToDirectories, nullptr, FIND_FIRST_EX_LARGE_FETCH);
        return result;
      },
      Win32DriveList::kReadyWait);
  HANDLE search = opened ? opened->first : INVALID_HANDLE_VALUE;
  if (opened) found = opened->second;
  if (search != INVALID_HANDLE_VALUE) {
    // A folder that takes long to read (thousands of names on a slow disk or share) does not
    // freeze the windows: past a moment they paint again, now and then, until it is read.
    ULONGLONG nextPaint = GetTickCount64() + 100;
    std::size_t count = 0;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
      const wchar_t* name = found.cFileName;
      if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0))) continue;
      if (batches.empty() || batches.back()->names.size() == NameBatch::kSize) {
        if (!batches.empty()) sorter.add(batches.back().get());
        batches.push_back(std::make_unique<NameBatch>());
        batches.back()->names.reserve(NameBatch::kSize);
      }
      batches.back()->names.emplace_back(name);
      if (++count % 256 == 0 && GetTickCount64() >= nextPaint) {
        repaintPending();
        nextPaint = GetTickCount64() + 50;
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  sorter.finish();
  // The sorted batches are merged, two runs at a time.
  std::vector<SortedName> children;
  std::vector<std::size_t> runEnds;
  for (const auto& batch : batches) {
    if (batch->sorted.size() != batch->names.size()) batch->sort();  // the last, or one that failed
    children.insert(children.end(), batch->sorted.begin(), batch->sorted.end());
    runEnds.push_back(children.size());
  }
  while (runEnds.size() > 1) {
    std::vector<std::size_t> merged;
    for (std::size_t i = 0; i < runEnds.size(); i += 2) {
      if (i + 1 == runEnds.size()) {
        merged.push_back(runEnds[i]);
        break;
      }
      const auto begin = children.begin();
      const std::size_t first = i == 0 ? 0 : runEnds[i - 1];
      std::inplace_merge(begin + static_cast<std::ptrdiff_t>(first),
                         begin + static_cast<std::ptrdiff_t>(runEnds[i]),
                         begin + static_cast<std::ptrdiff_t>(runEnds[i + 1]));
      merged.push_back(runEnds[i + 1]);
    }
    runEnds = std::move(merged);
  }
  entries_.reserve(entries_.size() + children.size());
  for (auto& child : children) entries_.push_back({std::move(*child.name), {}, current + 1, false});

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
  // A folder that vanished since it was listed fails quietly: the list stays as it is.
  static_cast<void>(setPath(narrow(target)));
}

bool Win32FolderList::onCommand(WORD code) {
  if (code != LBN_DBLCLK) return false;
  openEntry(static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0)));
  return true;
}

std::optional<LRESULT> Win32FolderList::onSubclassed(HWND, UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_KEYDOWN || wParam != VK_RETURN) return std::nullopt;
  openEntry(static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0)));
  return 0;
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
