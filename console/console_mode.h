// Console mode: the companion console becomes the program's input until a line beginning with
// "halt". The lines are read on a thread of their own; each is an operation of the window's
// queue, and while the mode lasts the main window's controls run nothing.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "console/companion_console.h"
#include "engine/command_runner.h"
#include "platform/async.h"
#include "platform/controls.h"

namespace promptella {

std::string consoleModeNotice();

class ConsoleMode {
 public:
  // `commandControls`: the controls that console mode disables, in the order it disables them
  // (the lists, the command line and the legends); `setSlotsEnabled` does the same for the stored
  // commands' controls, after them.
  ConsoleMode(Label& link, std::vector<Control*> commandControls,
              std::function<void(bool)> setSlotsEnabled, CompanionConsole& console,
              CommandRunner& runner, FormWindow& window, MessageBoxService& messages,
              OperationQueue& operations);

  // Starts console mode in its turn; in console mode, nothing.
  void onLinkClicked();

 private:
  Task<> enter();
  // Reads lines until "halt", each run in its turn.
  Task<> readLines();
  // Gives `ran` once the line's batch has started, or was told not to.
  Task<> runLine(std::string line, Later<bool> ran);
  Task<> leave(bool readFailed);
  void setCommandControlsEnabled(bool enabled);

  std::vector<Control*> commandControls_;
  std::function<void(bool)> setSlotsEnabled_;
  CompanionConsole& console_;
  CommandRunner& runner_;
  FormWindow& window_;
  MessageBoxService& messages_;
  OperationQueue& operations_;
  bool active_ = false;
  std::optional<Task<>> reader_;
};

}  // namespace promptella
