// The companion console's set-up, its two primitives and its release.
#include "console/companion_console.h"

namespace promptella {

void CompanionConsole::OpenConsole(const FormWindow& mainWindow) {
  api_.lockScreenUpdates();
  const auto fail = [&](std::string_view message) {
    api_.unlockScreenUpdates();
    messages_.show(message);
  };
  if (!api_.allocConsole()) {
    // The process already has a console (handed down by its parent, or given by a Wine virtual
    // desktop), where nobody would see the commands: leave it and create one of our own.
    api_.freeConsole();
    if (!api_.allocConsole()) return fail("Couldn't allocate console");
  }
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
  if (ConsoleWindow != 0) placeBeside(mainWindow);
  api_.unlockScreenUpdates();
}

void CompanionConsole::placeBeside(const FormWindow& mainWindow) {
  // A console shown by Windows Terminal is not a window of ours to move.
  if (api_.windowClass(ConsoleWindow) == kPseudoConsoleClass) return;
  ConsoleRect = api_.windowRect(ConsoleWindow);
  // The visible frames touch, and the visible top stands on the screen's top edge, whatever
  // invisible borders either window has.
  const ScreenRect visible = api_.visibleFrame(ConsoleWindow);
  const int x = mainWindow.visibleFrame().right - (visible.left - ConsoleRect.left);
  const int y = -(visible.top - ConsoleRect.top);
  api_.moveWindow(ConsoleWindow, x, y, ConsoleRect.right - ConsoleRect.left,
                  ConsoleRect.bottom - ConsoleRect.top);
}

void CompanionConsole::ConsoleWrite(std::string_view text) {
  api_.write(ConsoleOutput, text);
}

std::optional<std::string> CompanionConsole::ConsoleRead() {
  if (ConsoleInput == 0) return std::nullopt;
  std::string line = std::move(pending_);
  pending_.clear();
  for (;;) {
    if (afterCarriageReturn_ && !line.empty()) {
      if (line.front() == '\n') line.erase(0, 1);
      afterCarriageReturn_ = false;
    }
    const auto end = line.find_first_of("\r\n");
    if (end != std::string::npos) {
      afterCarriageReturn_ = line[end] == '\r';
      pending_ = line.substr(end + 1);
      line.resize(end);
      return line;
    }
    const auto chunk = api_.readChunk(ConsoleInput);
    if (!chunk) return std::nullopt;
    line += *chunk;
  }
}

void CompanionConsole::CloseConsole() {
  api_.closeHandle(ConsoleInput);
  api_.closeHandle(ConsoleOutput);
  api_.freeConsole();
  api_.destroyWindow(ConsoleWindow);
}

}  // namespace promptella
