// The companion console's operations over the Windows console functions.
#pragma once

#include "platform/console.h"
#include "platform/win32/handles.h"

namespace promptella {

class Win32ConsoleApi : public ConsoleApi {
 public:
  ~Win32ConsoleApi() override;
  // Starts creating the console on a thread of its own, so that the console host comes up while
  // the main window builds its controls; the next allocConsole() takes the result.
  void startAllocating();
  // Once the console exists, Ctrl+C and Ctrl+Break stop only the command that runs in it; closing
  // the console, log-off and shut-down are sent to `window` as WM_ENDSESSION before the program
  // ends, so that it can clean up.
  static void sendEndsTo(HWND window);

  void lockScreenUpdates() override;
  void unlockScreenUpdates() override;
  [[nodiscard]] bool allocConsole() override;
  [[nodiscard]] ConsoleHandle standardOutput() override;
  [[nodiscard]] ConsoleHandle standardInput() override;
  void setTitle(std::string_view title) override;
  void setInputMode(ConsoleHandle input, unsigned mode) override;
  void write(ConsoleHandle output, std::string_view text) override;
  [[nodiscard]] WindowHandle findWindow(std::string_view className,
                                        std::string_view title) override;
  [[nodiscard]] WindowHandle ownConsoleWindow() override;
  ScreenRect windowRect(WindowHandle window) override;
  ScreenRect visibleFrame(WindowHandle window) override;
  std::string windowClass(WindowHandle window) override;
  void moveWindow(WindowHandle window, int x, int y, int width, int height) override;
  Task<std::optional<std::string>> readChunk(ConsoleHandle input) override;
  void closeHandle(ConsoleHandle handle) override;
  void freeConsole() override;
  void destroyWindow(WindowHandle window) override;

 private:
  static BOOL WINAPI onControlEvent(DWORD event);

  UniqueHandle allocating_;  // the thread that creates the console
  bool allocated_ = false, screenLocked_ = false;
  wchar_t pendingHighSurrogate_ = 0;  // the first half of a pair split between two reads
};

}  // namespace promptella
