// Console mode: the companion console becomes the program's input until a line beginning with
// "halt". Its click handler returns only when the mode ends.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "console/companion_console.h"
#include "engine/command_runner.h"
#include "platform/controls.h"

namespace promptella {

std::string consoleModeTitle();
std::string consoleModeNotice();

class ConsoleMode {
 public:
  // `commandControls`: the controls that console mode disables, in the order it disables them
  // (the lists, the command line and the legends); `setSlotsEnabled` does the same for the stored
  // commands' controls, after them.
  ConsoleMode(Label& link, std::vector<Control*> commandControls,
              std::function<void(bool)> setSlotsEnabled, CompanionConsole& console,
              CommandRunner& runner, FormWindow& window, MessageBoxService& messages);

  void onLinkClicked();

 private:
  void setCommandControlsEnabled(bool enabled);

  std::vector<Control*> commandControls_;
  std::function<void(bool)> setSlotsEnabled_;
  CompanionConsole& console_;
  CommandRunner& runner_;
  FormWindow& window_;
  MessageBoxService& messages_;
};

}  // namespace promptella
