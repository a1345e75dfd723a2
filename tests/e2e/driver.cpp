// The end-to-end driver's means of working the program from outside.
#include "tests/e2e/driver.h"

#include "mainwindow/control_ids.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace promptella::e2e {
namespace {

struct FoundWindow {
  DWORD pid;
  const wchar_t* className;
  HWND result;
};

HWND findProcessWindow(DWORD pid, const wchar_t* className) {
  FoundWindow search{pid, className, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<FoundWindow*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        wchar_t name[128] = {};
        GetClassNameW(hwnd, name, 128);
        if (owner == s->pid && lstrcmpiW(name, s->className) == 0) {
          s->result = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.result;
}

}  // namespace

std::function<bool(const std::wstring&)> holds(const std::wstring& text) {
  return [text](const std::wstring& line) { return line.find(text) != std::wstring::npos; };
}

std::function<bool(const std::wstring&)> showsOutput(const std::wstring& text) {
  return [text](const std::wstring& line) {
    return line.find(text) != std::wstring::npos &&
           line.find(L"echo " + text) == std::wstring::npos;
  };
}

std::filesystem::path executableFolder() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::filesystem::path(path).parent_path();
}

PromptellaProcess::PromptellaProcess(const std::string& ini) {
  static int counter = 0;
  folder_ = testing::freshTempFolder(L"promptella-e2e-" + std::to_wstring(GetCurrentProcessId()) +
                                     L"-" + std::to_wstring(++counter));
  std::filesystem::copy_file(executableFolder() / L"Promptella.exe", folder_ / L"Promptella.exe");
  if (!ini.empty()) std::ofstream(folder_ / L"Promptella.ini", std::ios::binary) << ini;
}

PromptellaProcess::PromptellaProcess(ExistingFolder folder)
    : folder_(std::move(folder.path)), ownsFolder_(false) {}

void PromptellaProcess::release() {
  if (!info_.hProcess) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  // Batches the program started and that still run would outlive the test: end them too.
  testing::forEachChildProcess(info_.dwProcessId, [](DWORD pid) {
    if (HANDLE child = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
      TerminateProcess(child, 1);
      WaitForSingleObject(child, 5000);
      CloseHandle(child);
    }
  });
  CloseHandle(info_.hProcess);
  CloseHandle(info_.hThread);
  info_ = {};
}

void PromptellaProcess::kill() {
  release();
}

PromptellaProcess::~PromptellaProcess() {
  release();
  if (!ownsFolder_) return;
  std::error_code ignored;
  // Batches started by the program may still hold files for a moment.
  waitFor(
      [&] {
        return !std::filesystem::exists(folder_) ||
               std::filesystem::remove_all(folder_, ignored) > 0;
      },
      std::chrono::seconds(5));
}

void PromptellaProcess::start(const std::filesystem::path& workingFolder) {
  startWith({}, workingFolder);
  if (!waitUntilShown()) throw std::runtime_error("the main window did not show");
}

void PromptellaProcess::launch(const std::wstring& arguments) {
  startWith(arguments, {});
}

void PromptellaProcess::startWith(const std::wstring& arguments,
                                  const std::filesystem::path& workingFolder) {
  release();  // a program started before by this object has ended, or ends now
  const std::filesystem::path exe = folder_ / L"Promptella.exe";
  std::wstring commandLine = L"\"" + exe.wstring() + L"\"" + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  const std::filesystem::path cwd = workingFolder.empty() ? folder_ : workingFolder;
  // Detached, as when started from the desktop: the program makes a console of its own.
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                      nullptr, cwd.c_str(), &startup, &info_)) {
    throw std::runtime_error("cannot start Promptella.exe");
  }
}

bool PromptellaProcess::waitUntilShown(std::chrono::milliseconds deadline) {
  return waitFor(
      [&] {
        window_ = findProcessWindow(info_.dwProcessId, L"PromptellaMainWindow");
        return window_ && IsWindowVisible(window_);
      },
      deadline);
}

std::wstring PromptellaProcess::text(HWND control) const {
  std::wstring text(static_cast<std::size_t>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0)) + 1,
                    L'\0');
  text.resize(static_cast<std::size_t>(
      SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

std::vector<std::wstring> PromptellaProcess::comboItems(int id) const {
  std::vector<std::wstring> items;
  const HWND combo = control(id);
  const auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t buffer[4096] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
    items.emplace_back(buffer);
  }
  return items;
}

std::wstring PromptellaProcess::toolTip(HWND button) const {
  // The tooltip's text lives in the program's memory: ask through a buffer placed there.
  const HWND tips = findProcessWindow(info_.dwProcessId, TOOLTIPS_CLASSW);
  if (!tips) return L"<no tooltip window>";
  constexpr std::size_t kChars = 1024;
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid());
  auto* remote = static_cast<BYTE*>(VirtualAllocEx(
      process, nullptr, sizeof(TTTOOLINFOW) + kChars * 2, MEM_COMMIT, PAGE_READWRITE));
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(button);
  tool.lpszText = reinterpret_cast<wchar_t*>(remote + sizeof(TTTOOLINFOW));
  std::wstring text(kChars, L'\0');
  WriteProcessMemory(process, remote, &tool, sizeof(tool), nullptr);
  WriteProcessMemory(process, remote + sizeof(TTTOOLINFOW), text.data(), kChars * 2, nullptr);
  SendMessageW(tips, TTM_GETTEXTW, kChars, reinterpret_cast<LPARAM>(remote));
  ReadProcessMemory(process, remote + sizeof(TTTOOLINFOW), text.data(), kChars * 2, nullptr);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  text.resize(wcslen(text.c_str()));
  return text;
}

void PromptellaProcess::typeCommand(const std::wstring& text) {
  const HWND edit = FindWindowExW(control(1000), nullptr, L"Edit", nullptr);
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  for (const wchar_t c : text) SendMessageW(edit, WM_CHAR, c, 0);
  SendMessageW(edit, WM_CHAR, L'\r', 0);
}

void PromptellaProcess::focus(int id) const {
  const HWND edit = FindWindowExW(control(ids::kCommandLine), nullptr, L"Edit", nullptr);
  const auto focused = [&] {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(window_, nullptr), &info);
    return info.hwndFocus;
  };
  // A click into the command line or the folder list, which a click does not run; the other
  // controls as a keyboard user gets there from the command line: Tab, or Shift+Tab for the
  // console-mode link, which comes last, each time until the focus has moved.
  const HWND target = id == ids::kCommandLine ? edit : control(id);
  SetForegroundWindow(window_);
  RECT box{};
  GetWindowRect(id == ids::kFolderList ? target : edit, &box);
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT click[3] = {};
  for (INPUT& input : click) input.type = INPUT_MOUSE;
  click[0].mi.dx = MulDiv((box.left + box.right) / 2, 65535, width - 1);
  click[0].mi.dy = MulDiv(id == ids::kFolderList ? box.bottom - 4 : (box.top + box.bottom) / 2,
                          65535, height - 1);
  click[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  click[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  click[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(3, click, sizeof(INPUT));
  const HWND clicked = id == ids::kFolderList ? target : edit;
  waitFor([&] { return focused() == clicked; }, std::chrono::seconds(5));
  const bool back = id == ids::kConsoleLink;
  for (int tabs = 0; tabs < 64 && focused() != target; ++tabs) {
    const HWND before = focused();
    if (back) {
      pressKey(VK_TAB, {VK_SHIFT});
    } else {
      pressKey(VK_TAB);
    }
    waitFor([&] { return focused() != before; }, std::chrono::seconds(5));
  }
}

namespace {

INPUT keyInput(WORD key, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  return input;
}

void addKey(std::vector<INPUT>& inputs, WORD key, std::initializer_list<WORD> held) {
  for (const WORD modifier : held) inputs.push_back(keyInput(modifier, true));
  inputs.push_back(keyInput(key, true));
  inputs.push_back(keyInput(key, false));
  for (auto it = std::rbegin(held); it != std::rend(held); ++it) {
    inputs.push_back(keyInput(*it, false));
  }
}

}  // namespace

void PromptellaProcess::pressKeys(const std::wstring& text) const {
  std::vector<INPUT> inputs;
  for (const wchar_t c : text) {
    if (c == L'\n') {
      addKey(inputs, VK_RETURN, {});
      continue;
    }
    const SHORT scan = VkKeyScanW(c);
    const WORD key = LOBYTE(scan);
    if (HIBYTE(scan) & 1) {
      addKey(inputs, key, {VK_SHIFT});
    } else {
      addKey(inputs, key, {});
    }
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void PromptellaProcess::pressKey(WORD key, std::initializer_list<WORD> held) const {
  std::vector<INPUT> inputs;
  addKey(inputs, key, held);
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

bool PromptellaProcess::pickDrive(const std::wstring& text) {
  const HWND drives = control(1001);
  const auto count = SendMessageW(drives, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t item[MAX_PATH] = {};
    SendMessageW(drives, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
    if (std::wstring(item).rfind(text, 0) == 0) {
      SendMessageW(drives, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
      SendMessageW(window_, WM_COMMAND, MAKEWPARAM(1001, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(drives));
      return true;
    }
  }
  return false;
}

void PromptellaProcess::click(int id) {
  const HWND target = control(id);
  wchar_t className[64] = {};
  GetClassNameW(target, className, 64);
  const WORD code = lstrcmpiW(className, L"Static") == 0 ? STN_CLICKED : BN_CLICKED;
  // Posted: a click may open a modal dialog, which a sent message would wait for.
  PostMessageW(window_, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(target));
}

void PromptellaProcess::postMenu(int id) {
  PostMessageW(window_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

std::wstring messageText(HWND box) {
  wchar_t text[1024] = {};
  GetWindowTextW(GetDlgItem(box, 0xFFFF), text, 1024);  // a message box's static text
  return text;
}

HWND PromptellaProcess::waitForDialog(const std::wstring& title,
                                      std::chrono::milliseconds deadline) const {
  HWND found = nullptr;
  waitFor(
      [&] {
        found = nullptr;
        while ((found = FindWindowExW(nullptr, found, L"#32770", title.c_str())) != nullptr) {
          DWORD owner = 0;
          GetWindowThreadProcessId(found, &owner);
          if (owner == pid() && IsWindowVisible(found)) return true;
        }
        return false;
      },
      deadline);
  return found;
}

namespace {

INPUT_RECORD keyRecord(bool down, WORD virtualKey, wchar_t c, DWORD controlKeys = 0) {
  INPUT_RECORD record{};
  record.EventType = KEY_EVENT;
  record.Event.KeyEvent.bKeyDown = down;
  record.Event.KeyEvent.wRepeatCount = 1;
  record.Event.KeyEvent.wVirtualKeyCode = virtualKey;
  record.Event.KeyEvent.wVirtualScanCode = static_cast<WORD>(MapVirtualKeyW(virtualKey, 0));
  record.Event.KeyEvent.uChar.UnicodeChar = c;
  record.Event.KeyEvent.dwControlKeyState = controlKeys;
  return record;
}

void writeConsoleInput(const std::vector<INPUT_RECORD>& records) {
  HANDLE input =
      CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  DWORD written = 0;
  WriteConsoleInputW(input, records.data(), static_cast<DWORD>(records.size()), &written);
  CloseHandle(input);
}

}  // namespace

void PromptellaProcess::typeIntoConsole(const std::wstring& text) const {
  std::vector<INPUT_RECORD> records;
  const auto key = [&](wchar_t c, WORD virtualKey) {
    for (const bool down : {true, false}) records.push_back(keyRecord(down, virtualKey, c));
  };
  for (const wchar_t c : text) key(c, static_cast<WORD>(LOBYTE(VkKeyScanW(c))));
  key(L'\r', VK_RETURN);
  writeConsoleInput(records);
}

void PromptellaProcess::pressCtrlC() const {
  writeConsoleInput({keyRecord(true, VK_CONTROL, 0, LEFT_CTRL_PRESSED),
                     keyRecord(true, 'C', 0x03, LEFT_CTRL_PRESSED),
                     keyRecord(false, 'C', 0x03, LEFT_CTRL_PRESSED),
                     keyRecord(false, VK_CONTROL, 0, 0)});
}

bool PromptellaProcess::attachConsole() {
  FreeConsole();
  return AttachConsole(pid()) != 0;
}

void PromptellaProcess::detachConsole() {
  FreeConsole();
}

std::wstring PromptellaProcess::consoleLine(int row) const {
  HANDLE output =
      CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  CONSOLE_SCREEN_BUFFER_INFO info{};
  GetConsoleScreenBufferInfo(output, &info);
  std::wstring line(static_cast<std::size_t>(info.dwSize.X > 0 ? info.dwSize.X : 80), L' ');
  DWORD read = 0;
  ReadConsoleOutputCharacterW(output, line.data(), static_cast<DWORD>(line.size()),
                              COORD{0, static_cast<SHORT>(row)}, &read);
  CloseHandle(output);
  line.resize(read);
  while (!line.empty() && line.back() == L' ') line.pop_back();
  return line;
}

std::vector<std::wstring> PromptellaProcess::consoleLines() const {
  HANDLE output =
      CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  CONSOLE_SCREEN_BUFFER_INFO info{};
  GetConsoleScreenBufferInfo(output, &info);
  std::vector<std::wstring> lines;
  const auto width = static_cast<std::size_t>(info.dwSize.X > 0 ? info.dwSize.X : 80);
  for (SHORT row = 0; row <= info.dwCursorPosition.Y; ++row) {
    std::wstring line(width, L' ');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(output, line.data(), static_cast<DWORD>(width), COORD{0, row},
                                &read);
    line.resize(read);
    while (!line.empty() && line.back() == L' ') line.pop_back();
    lines.push_back(line);
  }
  CloseHandle(output);
  return lines;
}

bool PromptellaProcess::waitForConsole(const std::function<bool(const std::wstring&)>& match,
                                       std::chrono::milliseconds deadline) const {
  return waitFor(
      [&] {
        for (const auto& line : consoleLines()) {
          if (match(line)) return true;
        }
        return false;
      },
      deadline);
}

DWORD PromptellaProcess::waitForExit(std::chrono::milliseconds deadline) {
  if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(deadline.count())) != WAIT_OBJECT_0) {
    return STILL_ACTIVE;
  }
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

std::filesystem::path screenshotFolder() {
  wchar_t value[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"PROMPTELLA_SCREENSHOTS", value, MAX_PATH)) return value;
  return executableFolder() / L"screenshots";
}

bool saveScreenshot(const std::filesystem::path& file) {
  std::filesystem::create_directories(file.parent_path());
  // Every window paints what it holds now, the console included, before the screen is read.
  EnumWindows(
      [](HWND window, LPARAM) {
        if (IsWindowVisible(window)) {
          RedrawWindow(window, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
        return TRUE;
      },
      0);
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY | CAPTUREBLT);
  SelectObject(memory, old);
  const DWORD stride = static_cast<DWORD>((width * 3 + 3) & ~3);
  const DWORD imageSize = stride * static_cast<DWORD>(height);
  BITMAPFILEHEADER header{
      0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + imageSize),
      0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&header), sizeof(header));
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(BITMAPINFOHEADER));
  out.write(static_cast<const char*>(bits), imageSize);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return out.good();
}

}  // namespace promptella::e2e
