// The companion console's set-up, its two primitives and its release.
#include "console/companion_console.h"

#include <cmath>

namespace promptella {

void CompanionConsole::OpenConsole(const FormWindow& mainWindow) {
  api_.lockScreenUpdates();
  const auto fail = [&](std::string_view message) {
    api_.unlockScreenUpdates();
    messages_.show(message);
  };
  if (!api_.allocConsole()) return fail("Couldn't allocate console");
  ConsoleOutput = api_.standardOutput();
  if (ConsoleOutput == 0) return fail("Couldn't allocate STDOUT");
  ConsoleInput = api_.standardInput();
  if (ConsoleInput == 0) return fail("Couldn't allocate STDIN");

  api_.setTitle(kConsoleTitle);
  api_.setInputMode(ConsoleInput, kConsoleInputMode);
  ConsoleWrite(kConsoleGreeting);

  // Console windows of the Windows 95 family had the class "tty"; on NT-family systems the
  // process's own console window is asked for instead.
  ConsoleWindow = api_.findWindow("tty", kConsoleTitle);
  if (ConsoleWindow == 0) ConsoleWindow = api_.ownConsoleWindow();
  if (ConsoleWindow != 0) {
    ConsoleRect = api_.windowRect(ConsoleWindow);
    const int x =
        static_cast<int>(std::lround(mainWindow.widthTwips() / mainWindow.twipsPerPixelX()));
    api_.moveWindow(ConsoleWindow, x, 0, ConsoleRect.right - ConsoleRect.left,
                    ConsoleRect.bottom - ConsoleRect.top);
  }
  api_.unlockScreenUpdates();
}

void CompanionConsole::ConsoleWrite(std::string_view text) {
  api_.write(ConsoleOutput, text);
}

std::optional<std::string> CompanionConsole::ConsoleRead() {
  if (ConsoleInput == 0) return std::nullopt;
  return api_.readLine(ConsoleInput);
}

void CompanionConsole::CloseConsole() {
  api_.closeHandle(ConsoleInput);
  api_.closeHandle(ConsoleOutput);
  api_.freeConsole();
  api_.destroyWindow(ConsoleWindow);
}

}  // namespace promptella
