// What the Win32 tests, the end-to-end tests and the benchmarks share: fresh folders in the
// temporary folder, and waiting on a condition with a deadline.
#pragma once

#include <windows.h>

#include <tlhelp32.h>

#include <chrono>
#include <cwchar>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <system_error>
#include <thread>

namespace promptella::testing {

// Waits until `condition` holds, polling; false when the deadline passes first.
inline bool waitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds deadline = std::chrono::seconds(30),
                    std::chrono::milliseconds poll = std::chrono::milliseconds(20)) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(poll);
  }
  return true;
}

// Hands the messages that came to this thread's windows to them, after waiting a moment for one:
// the pump of a test that waits for the window's answers, which come back as messages.
inline void pumpMessages() {
  MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

inline std::filesystem::path systemTempFolder() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  return temp;
}

// An empty folder `name` in the temporary folder; whatever stood there before is removed.
inline std::filesystem::path freshTempFolder(const std::wstring& name) {
  const auto folder = systemTempFolder() / name;
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  std::filesystem::create_directories(folder);
  return folder;
}

// A message box of this process owned by `owner`, as a thread of the test sees it while it is
// open: its text and whether its owner still took input. The thread then closes it.
struct MessageBoxSeen {
  HWND box = nullptr;
  std::wstring text;
  bool ownerEnabled = true;
};
inline std::thread closeMessageBox(HWND owner, MessageBoxSeen& seen,
                                   std::function<void(HWND box)> whileOpen = {}) {
  return std::thread([owner, &seen, whileOpen] {
    waitFor([&] {
      HWND found = nullptr;
      while ((found = FindWindowExW(nullptr, found, L"#32770", nullptr)) != nullptr) {
        DWORD process = 0;
        GetWindowThreadProcessId(found, &process);
        if (process == GetCurrentProcessId() && GetWindow(found, GW_OWNER) == owner &&
            IsWindowVisible(found)) {
          seen.box = found;
          return true;
        }
      }
      return false;
    });
    if (!seen.box) return;
    seen.ownerEnabled = IsWindowEnabled(owner) != 0;
    EnumChildWindows(
        seen.box,
        [](HWND child, LPARAM text) -> BOOL {
          wchar_t part[1024] = {};
          GetWindowTextW(child, part, 1024);
          auto& all = *reinterpret_cast<std::wstring*>(text);
          if (wcslen(part) > all.size()) all = part;  // the message is the longest text
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&seen.text));
    if (whileOpen) whileOpen(seen.box);
    PostMessageW(seen.box, WM_COMMAND, IDOK, 0);
  });
}

// The file's bytes; empty when it cannot be read.
inline std::string fileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A value of a settings file as the system's profile functions read it.
inline std::wstring iniValue(const std::filesystem::path& ini, const wchar_t* section,
                             const wchar_t* key) {
  wchar_t value[4096] = {};
  GetPrivateProfileStringW(section, key, L"", value, 4096, ini.c_str());
  return value;
}

// Waits until the settings file holds `expected` (case aside for a path) under the key: the
// program saves its changes off its window's thread, a moment after it shows them.
inline bool iniBecomes(const std::filesystem::path& ini, const wchar_t* section, const wchar_t* key,
                       const std::wstring& expected) {
  return waitFor(
      [&] { return lstrcmpiW(iniValue(ini, section, key).c_str(), expected.c_str()) == 0; });
}

// For messages of failed checks: ASCII text as it is, anything else as one byte each.
inline std::string narrowAscii(const std::wstring& text) {
  std::string out;
  for (const wchar_t c : text) out += static_cast<char>(c);
  return out;
}

// Calls `visit` with the ID of each running process that `parent` started.
inline void forEachChildProcess(DWORD parent, const std::function<void(DWORD)>& visit) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ParentProcessID == parent) visit(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
}

// The upper-case file name of a running process's program; empty when it has ended.
inline std::wstring processName(DWORD process) {
  std::wstring name;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more && name.empty();
       more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ProcessID == process) name = entry.szExeFile;
  }
  CloseHandle(snapshot);
  for (wchar_t& c : name) c = static_cast<wchar_t>(std::towupper(c));
  return name;
}

// Whether a window of `main`'s thread other than `main` and its tooltips is shown, such as the
// list of suggestions below the command line.
inline bool popupShown(HWND main) {
  std::pair<HWND, bool> search{main, false};
  EnumThreadWindows(
      GetWindowThreadProcessId(main, nullptr),
      [](HWND window, LPARAM found) {
        auto& [owner, shown] = *reinterpret_cast<std::pair<HWND, bool>*>(found);
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        shown |= window != owner && IsWindowVisible(window) && lstrcmpW(name, L"tooltips_class32");
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.second;
}

// A ready drive other than the temporary folder's, as a lower-case letter: Wine's Z:, or a D: on
// many Windows machines; 0 when there is none (the test is then skipped).
inline wchar_t otherReadyDrive() {
  const wchar_t own = static_cast<wchar_t>(towlower(systemTempFolder().wstring()[0]));
  const DWORD drives = GetLogicalDrives();
  for (wchar_t letter = L'z'; letter >= L'c'; --letter) {
    const wchar_t root[] = {letter, L':', L'\\', 0};
    if (letter == own || !(drives & (1u << (letter - L'a')))) continue;
    const UINT type = GetDriveTypeW(root);
    if ((type == DRIVE_FIXED || type == DRIVE_REMOTE) &&
        GetFileAttributesW(root) != INVALID_FILE_ATTRIBUTES) {
      return letter;
    }
  }
  return 0;
}

}  // namespace promptella::testing
