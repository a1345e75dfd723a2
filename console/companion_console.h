// The companion console: opened beside the main window at start-up, released at shut-down.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/async.h"
#include "platform/console.h"
#include "platform/controls.h"
#include "platform/outcome.h"
#include "product.h"

namespace promptella {

inline constexpr std::string_view kConsoleTitle = kProductName;
inline constexpr std::string_view kConsoleGreeting = "Hello from Console\r\n";
// Line input and echo, and processed input: without it a Ctrl+C typed at the keyboard reaches a
// reader as the character 0x03 and raises no signal, so it could not stop a running command.
inline constexpr unsigned kConsoleInputMode = 7;
// The class of the window that stands for a console hosted elsewhere (Windows Terminal); it
// cannot be moved.
inline constexpr std::string_view kPseudoConsoleClass = "PseudoConsoleWindow";

class CompanionConsole {
 public:
  explicit CompanionConsole(ConsoleApi& api) : api_(api) {}

  // Creates, titles, greets and places the console right beside `mainWindow` at the top of the
  // screen; a failure ends only the set-up, and the screen's updates are let go before it
  // returns.
  Outcome open(const FormWindow& mainWindow);
  void setTitle(std::string_view title) { api_.setTitle(title); }
  // The next line typed in the console, whole, without its line end; nothing when the console
  // gives no line. A line ends at CR or LF, whichever comes first; the LF of a CR LF pair is
  // skipped, and text typed ahead after a line end is kept for the next read.
  Task<std::optional<std::string>> readLine();
  // Releases the console; also after a failed set-up, where there is nothing to release.
  void close();

 private:
  void placeBeside(const FormWindow& mainWindow);

  ConsoleApi& api_;
  ConsoleHandle input_ = 0;
  ConsoleHandle output_ = 0;
  WindowHandle window_ = 0;
  std::string pending_;  // read past the end of the last line
  bool afterCarriageReturn_ = false;
};

}  // namespace promptella
