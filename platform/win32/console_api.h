// The companion console's operations over the Windows console functions.
#pragma once

#include "platform/console.h"

namespace promptella {

class Win32ConsoleApi : public ConsoleApi {
 public:
  void lockScreenUpdates() override;
  void unlockScreenUpdates() override;
  bool allocConsole() override;
  ConsoleHandle standardOutput() override;
  ConsoleHandle standardInput() override;
  void setTitle(std::string_view title) override;
  void setInputMode(ConsoleHandle input, unsigned mode) override;
  void write(ConsoleHandle output, std::string_view text) override;
  WindowHandle findWindow(std::string_view className, std::string_view title) override;
  WindowHandle ownConsoleWindow() override;
  ScreenRect windowRect(WindowHandle window) override;
  ScreenRect visibleFrame(WindowHandle window) override;
  std::string windowClass(WindowHandle window) override;
  void moveWindow(WindowHandle window, int x, int y, int width, int height) override;
  std::optional<std::string> readChunk(ConsoleHandle input) override;
  void closeHandle(ConsoleHandle handle) override;
  void freeConsole() override;
  void destroyWindow(WindowHandle window) override;

 private:
  wchar_t pendingHighSurrogate_ = 0;  // the first half of a pair split between two reads
};

}  // namespace promptella
