// The companion console's set-up, its two primitives and its release.
#include "console/companion_console.h"

namespace promptella {

Outcome CompanionConsole::open(const FormWindow& mainWindow) {
  api_.lockScreenUpdates();
  const auto fail = [&](std::string message) {
    api_.unlockScreenUpdates();
    return Outcome::failed(std::move(message));
  };
  if (!api_.allocConsole()) {
    // The process already has a console (handed down by its parent, or given by a Wine virtual
    // desktop), where nobody would see the commands: leave it and create one of our own.
    api_.freeConsole();
    if (!api_.allocConsole()) return fail("Couldn't allocate console");
  }
  output_ = api_.standardOutput();
  if (output_ == 0) return fail("Couldn't allocate STDOUT");
  input_ = api_.standardInput();
  if (input_ == 0) return fail("Couldn't allocate STDIN");

  api_.setTitle(kConsoleTitle);
  api_.setInputMode(input_, kConsoleInputMode);
  api_.write(output_, kConsoleGreeting);

  // Console windows of the Windows 95 family had the class "tty"; on NT-family systems the
  // process's own console window is asked for instead.
  window_ = api_.findWindow("tty", kConsoleTitle);
  if (window_ == 0) window_ = api_.ownConsoleWindow();
  if (window_ != 0) placeBeside(mainWindow);
  api_.unlockScreenUpdates();
  return Outcome::success();
}

void CompanionConsole::placeBeside(const FormWindow& mainWindow) {
  // A console shown by Windows Terminal is not a window of ours to move.
  if (api_.windowClass(window_) == kPseudoConsoleClass) return;
  const ScreenRect rect = api_.windowRect(window_);
  // The visible frames touch, and the visible top stands on the screen's top edge, whatever
  // invisible borders either window has.
  const ScreenRect visible = api_.visibleFrame(window_);
  const int x = mainWindow.visibleFrame().right - (visible.left - rect.left);
  const int y = -(visible.top - rect.top);
  api_.moveWindow(window_, x, y, rect.right - rect.left, rect.bottom - rect.top);
}

Task<std::optional<std::string>> CompanionConsole::readLine() {
  if (input_ == 0) co_return std::nullopt;
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
      co_return line;
    }
    const auto chunk = co_await api_.readChunk(input_);
    if (!chunk) co_return std::nullopt;
    line += *chunk;
  }
}

void CompanionConsole::close() {
  api_.closeHandle(input_);
  api_.closeHandle(output_);
  api_.freeConsole();
  api_.destroyWindow(window_);
}

}  // namespace promptella
