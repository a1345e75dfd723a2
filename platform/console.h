// The console operations of the companion console, one call each, so that the order in which the
// console is set up and released stays in portable code.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/async.h"
#include "platform/controls.h"

namespace promptella {

using ConsoleHandle = std::uintptr_t;  // 0: none
using WindowHandle = std::uintptr_t;   // 0: none

class ConsoleApi {
 public:
  virtual ~ConsoleApi() = default;
  virtual void lockScreenUpdates() = 0;
  virtual void unlockScreenUpdates() = 0;
  [[nodiscard]] virtual bool allocConsole() = 0;
  [[nodiscard]] virtual ConsoleHandle standardOutput() = 0;
  [[nodiscard]] virtual ConsoleHandle standardInput() = 0;
  virtual void setTitle(std::string_view title) = 0;
  virtual void setInputMode(ConsoleHandle input, unsigned mode) = 0;
  virtual void write(ConsoleHandle output, std::string_view text) = 0;
  // A top-level window by class and title; 0 when there is none.
  [[nodiscard]] virtual WindowHandle findWindow(std::string_view className,
                                                std::string_view title) = 0;
  // The window of the process's own console, found without a class name; 0 when there is none.
  [[nodiscard]] virtual WindowHandle ownConsoleWindow() = 0;
  virtual ScreenRect windowRect(WindowHandle window) = 0;
  // The part of the window's rectangle that the user sees: on Windows 10 and 11 the rectangle
  // includes invisible resize borders that the desktop window manager leaves out.
  virtual ScreenRect visibleFrame(WindowHandle window) = 0;
  virtual std::string windowClass(WindowHandle window) = 0;
  virtual void moveWindow(WindowHandle window, int x, int y, int width, int height) = 0;
  // What one read of the console in line mode delivers, given later (the read waits for the user
  // on a thread of its own): at most 256 characters of the typed line, followed by its line end
  // when that fits. Windows ends a line with CR LF, or a lone CR with processed input off; a
  // longer line arrives over several reads. Nothing when the console delivers nothing (no
  // console, a failed read).
  virtual Task<std::optional<std::string>> readChunk(ConsoleHandle input) = 0;
  virtual void closeHandle(ConsoleHandle handle) = 0;
  virtual void freeConsole() = 0;
  virtual void destroyWindow(WindowHandle window) = 0;
};

}  // namespace promptella
