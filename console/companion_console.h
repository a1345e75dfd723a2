// The companion console: opened beside the main window at start-up, released at shut-down.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/console.h"
#include "platform/controls.h"

namespace promptella {

inline constexpr std::string_view kConsoleTitle = "Promptella";
inline constexpr std::string_view kConsoleGreeting = "Hello from Console\r\n";
inline constexpr unsigned kConsoleInputMode = 6;  // line input + echo, nothing processed
// The class of the window that stands for a console hosted elsewhere (Windows Terminal); it
// cannot be moved.
inline constexpr std::string_view kPseudoConsoleClass = "PseudoConsoleWindow";

class CompanionConsole {
 public:
  CompanionConsole(ConsoleApi& api, MessageBoxService& messages) : api_(api), messages_(messages) {}

  // Creates, titles, greets and places the console right beside `mainWindow` at the top of the
  // screen; a failure is shown in a message box and ends only the set-up.
  void OpenConsole(const FormWindow& mainWindow);
  void ConsoleWrite(std::string_view text);
  void SetTitle(std::string_view title) { api_.setTitle(title); }
  // The next line typed in the console, whole, without its line end; nothing when the console
  // gives no line. A line ends at CR or LF, whichever comes first; the LF of a CR LF pair is
  // skipped, and text typed ahead after a line end is kept for the next read.
  std::optional<std::string> ConsoleRead();
  void CloseConsole();

  ConsoleHandle ConsoleInput = 0;
  ConsoleHandle ConsoleOutput = 0;
  WindowHandle ConsoleWindow = 0;
  ScreenRect ConsoleRect;

 private:
  void placeBeside(const FormWindow& mainWindow);

  ConsoleApi& api_;
  MessageBoxService& messages_;
  std::string pending_;  // read past the end of the last line
  bool afterCarriageReturn_ = false;
};

}  // namespace promptella
