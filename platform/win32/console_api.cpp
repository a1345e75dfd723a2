// The console functions of kernel32 and the window functions of user32 used by the console.
#include "platform/win32/console_api.h"

#include <windows.h>

#include <atomic>
#include <utility>

#include "platform/win32/off_thread.h"
#include "platform/win32/screen.h"
#include "platform/win32/text.h"

namespace promptella {
namespace {

HANDLE asHandle(ConsoleHandle handle) {
  return reinterpret_cast<HANDLE>(handle);
}
HWND asWindow(WindowHandle window) {
  return reinterpret_cast<HWND>(window);
}

std::atomic<HWND> endSessionWindow{nullptr};

ConsoleHandle standardHandle(DWORD which) {
  HANDLE handle = GetStdHandle(which);
  return handle == INVALID_HANDLE_VALUE ? 0 : reinterpret_cast<ConsoleHandle>(handle);
}

}  // namespace

void Win32ConsoleApi::lockScreenUpdates() {
  if (!screenLocked_) screenLocked_ = LockWindowUpdate(GetDesktopWindow()) != 0;
}

void Win32ConsoleApi::unlockScreenUpdates() {
  LockWindowUpdate(nullptr);
  screenLocked_ = false;
}

Win32ConsoleApi::~Win32ConsoleApi() {
  if (allocating_) WaitForSingleObject(allocating_.get(), INFINITE);
  if (screenLocked_) unlockScreenUpdates();
}

void Win32ConsoleApi::sendEndsTo(HWND window) {
  endSessionWindow = window;
}

// Runs on a thread that the system starts in the program for each event. Without it, the default
// handler would end the program on the Ctrl+C meant for a command.
BOOL WINAPI Win32ConsoleApi::onControlEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      return TRUE;  // every process of the console has it: the command's own stop it
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT: {
      // The window's thread cleans up, bounded: the system gives a handler a few seconds.
      if (const HWND window = endSessionWindow.load()) {
        DWORD_PTR ignored = 0;
        const LPARAM why = event == CTRL_CLOSE_EVENT    ? ENDSESSION_CLOSEAPP
                           : event == CTRL_LOGOFF_EVENT ? ENDSESSION_LOGOFF
                                                        : 0;
        SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, why, SMTO_NORMAL, 3000, &ignored);
      }
      return FALSE;  // then the default handler ends the program, as before
    }
    default:
      return FALSE;
  }
}

void Win32ConsoleApi::startAllocating() {
  // Screen updates are deferred from before the console exists until it stands beside the
  // window, as when the console is made in the load: it never shows at another place first.
  lockScreenUpdates();
  allocating_ = startThread([this] { allocated_ = AllocConsole() != 0; });
}

bool Win32ConsoleApi::allocConsole() {
  if (allocating_) {
    WaitForSingleObject(allocating_.get(), INFINITE);
    allocating_.reset();
  } else {
    allocated_ = AllocConsole() != 0;
  }
  if (allocated_) {
    // A program that started us in a new process group (or with Ctrl+C ignored) handed that down;
    // the commands, which inherit it from us, must stop on Ctrl+C.
    SetConsoleCtrlHandler(nullptr, FALSE);
    SetConsoleCtrlHandler(onControlEvent, TRUE);
  }
  return allocated_;
}

ConsoleHandle Win32ConsoleApi::standardOutput() {
  return standardHandle(STD_OUTPUT_HANDLE);
}

ConsoleHandle Win32ConsoleApi::standardInput() {
  return standardHandle(STD_INPUT_HANDLE);
}

void Win32ConsoleApi::setTitle(std::string_view title) {
  SetConsoleTitleW(widen(title).c_str());
}

void Win32ConsoleApi::setInputMode(ConsoleHandle input, unsigned mode) {
  SetConsoleMode(asHandle(input), mode);
}

void Win32ConsoleApi::write(ConsoleHandle output, std::string_view text) {
  const std::wstring wide = widen(text);
  DWORD written = 0;
  WriteConsoleW(asHandle(output), wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}

WindowHandle Win32ConsoleApi::findWindow(std::string_view className, std::string_view title) {
  return reinterpret_cast<WindowHandle>(
      FindWindowW(widen(className).c_str(), widen(title).c_str()));
}

WindowHandle Win32ConsoleApi::ownConsoleWindow() {
  return reinterpret_cast<WindowHandle>(GetConsoleWindow());
}

ScreenRect Win32ConsoleApi::windowRect(WindowHandle window) {
  return outerRect(asWindow(window));
}

ScreenRect Win32ConsoleApi::visibleFrame(WindowHandle window) {
  return visibleRect(asWindow(window));
}

std::string Win32ConsoleApi::windowClass(WindowHandle window) {
  wchar_t name[256] = {};
  const int length = GetClassNameW(asWindow(window), name, 256);
  return narrow(std::wstring_view(name, static_cast<std::size_t>(length > 0 ? length : 0)));
}

void Win32ConsoleApi::moveWindow(WindowHandle window, int x, int y, int width, int height) {
  MoveWindow(asWindow(window), x, y, width, height, TRUE);
}

namespace {

constexpr DWORD kReadSize = 256;

// One read on a thread of its own; a Ctrl+C typed at the keyboard ends a read with nothing (it
// stopped the command that ran), and the user is still typing the line.
std::optional<std::wstring> readOnce(HANDLE input) {
  wchar_t buffer[kReadSize];
  for (;;) {
    DWORD count = 0;
    SetLastError(ERROR_SUCCESS);
    if (ReadConsoleW(input, buffer, kReadSize, &count, nullptr) && count > 0) {
      return std::wstring(buffer, count);
    }
    if (GetLastError() != ERROR_OPERATION_ABORTED) return std::nullopt;
  }
}

}  // namespace

Task<std::optional<std::string>> Win32ConsoleApi::readChunk(ConsoleHandle input) {
  // The read blocks until Enter: it waits on a thread of its own, for as long as the user takes;
  // one still waiting when the program ends ends with it.
  const auto reading = offThread<std::optional<std::wstring>>(
      [in = asHandle(input)] { return readOnce(in); }, INFINITE);
  auto read = co_await reading;
  if (!read || !*read) co_return std::nullopt;
  std::wstring& chunk = **read;
  if (pendingHighSurrogate_) chunk.insert(chunk.begin(), std::exchange(pendingHighSurrogate_, 0));
  if (IS_HIGH_SURROGATE(chunk.back())) {
    pendingHighSurrogate_ = chunk.back();
    chunk.pop_back();
  }
  co_return narrow(chunk);
}

void Win32ConsoleApi::closeHandle(ConsoleHandle handle) {
  if (handle != 0) CloseHandle(asHandle(handle));
}

void Win32ConsoleApi::freeConsole() {
  FreeConsole();
}

void Win32ConsoleApi::destroyWindow(WindowHandle window) {
  if (window != 0) DestroyWindow(asWindow(window));
}

}  // namespace promptella
