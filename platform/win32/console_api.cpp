// The console functions of kernel32 and the window functions of user32 used by the console.
#include "platform/win32/console_api.h"

#include <windows.h>

#include <thread>
#include <utility>

#include "platform/win32/handles.h"
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

DWORD WINAPI Win32ConsoleApi::allocateConsole(void* self) {
  static_cast<Win32ConsoleApi*>(self)->allocated_ = AllocConsole() != 0;
  return 0;
}

void Win32ConsoleApi::startAllocating() {
  // Screen updates are held back from before the console exists until it stands beside the
  // window, as when the console is made in the load: it never shows at another place first.
  lockScreenUpdates();
  // A thread that needs next to no stack: it makes one call.
  allocating_ = UniqueHandle(CreateThread(nullptr, 64 * 1024, allocateConsole, this,
                                          STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
}

bool Win32ConsoleApi::allocConsole() {
  if (!allocating_) return AllocConsole() != 0;
  WaitForSingleObject(allocating_.get(), INFINITE);
  allocating_.reset();
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

std::optional<std::wstring> readOnce(HANDLE input) noexcept {
  try {
    wchar_t buffer[kReadSize];
    DWORD read = 0;
    if (!ReadConsoleW(input, buffer, kReadSize, &read, nullptr) || read == 0) return std::nullopt;
    return std::wstring(buffer, read);
  } catch (...) {
    return std::nullopt;  // out of memory: as good as no line
  }
}

// While a line is awaited the program takes no input, yet its windows repaint themselves and the
// close box, the system menu's Close and Alt+F4 still end the program.
bool keepsWindowAlive(const MSG& message) {
  switch (message.message) {
    case WM_PAINT:
    case WM_NCPAINT:
    case WM_ERASEBKGND:
    case WM_SYNCPAINT:
    case WM_CLOSE:
      return true;
    case WM_SYSCOMMAND:
      return (message.wParam & 0xFFF0) == SC_CLOSE;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCMOUSEMOVE:
      return message.wParam == HTCLOSE || message.wParam == HTCAPTION ||
             message.wParam == HTSYSMENU;
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
      return message.wParam == VK_F4;
    default:
      return false;
  }
}

}  // namespace

std::optional<std::string> Win32ConsoleApi::readChunk(ConsoleHandle input) {
  // The read blocks until Enter, so it runs on a thread of its own while this one keeps the
  // windows alive.
  UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::optional<std::wstring> chunk;
  std::thread reader([&]() noexcept {
    chunk = readOnce(asHandle(input));
    SetEvent(done.get());
  });
  HANDLE wait = done.get();
  while (MsgWaitForMultipleObjects(1, &wait, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        break;
      }
      if (keepsWindowAlive(message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
  }
  reader.join();
  if (!chunk) return std::nullopt;
  if (pendingHighSurrogate_) chunk->insert(chunk->begin(), std::exchange(pendingHighSurrogate_, 0));
  if (IS_HIGH_SURROGATE(chunk->back())) {
    pendingHighSurrogate_ = chunk->back();
    chunk->pop_back();
  }
  return narrow(*chunk);
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
