// The console operations of the companion console, one call each, so that the order in which the
// console is set up and released stays in portable code.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace promptella {

using ConsoleHandle = std::uintptr_t;  // 0: none
using WindowHandle = std::uintptr_t;   // 0: none

struct ScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

class ConsoleApi {
 public:
  virtual ~ConsoleApi() = default;
  virtual void lockScreenUpdates() = 0;
  virtual void unlockScreenUpdates() = 0;
  virtual bool allocConsole() = 0;
  virtual ConsoleHandle standardOutput() = 0;
  virtual ConsoleHandle standardInput() = 0;
  virtual void setTitle(std::string_view title) = 0;
  virtual void setInputMode(ConsoleHandle input, unsigned mode) = 0;
  virtual void write(ConsoleHandle output, std::string_view text) = 0;
  // A top-level window by class and title; 0 when there is none.
  virtual WindowHandle findWindow(std::string_view className, std::string_view title) = 0;
  // The window of the process's own console, found without a class name; 0 when there is none.
  virtual WindowHandle ownConsoleWindow() = 0;
  virtual ScreenRect windowRect(WindowHandle window) = 0;
  virtual void moveWindow(WindowHandle window, int x, int y, int width, int height) = 0;
  // One line typed in the console, without its line end, however long; nothing when the console
  // delivers no line (no console, a failed read).
  virtual std::optional<std::string> readLine(ConsoleHandle input) = 0;
  virtual void closeHandle(ConsoleHandle handle) = 0;
  virtual void freeConsole() = 0;
  virtual void destroyWindow(WindowHandle window) = 0;
};

}  // namespace promptella
