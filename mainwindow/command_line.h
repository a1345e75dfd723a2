// The command line: Enter runs the command and keeps it in the history of at most 20 entries,
// newest on top, saved in the settings file after every change, merged with what other copies of
// the program saved meanwhile.
#pragma once

#include "engine/command_runner.h"
#include "platform/controls.h"
#include "settings/ini_file.h"

namespace promptella {

inline constexpr int kHistoryLimit = 20;

class CommandLine {
 public:
  CommandLine(ComboBox& field, CommandRunner& runner, IniFile& settings);

  // The history as saved: entry 0 on top, in the order saved; keys after a gap are never read.
  void loadHistory();
  void onKey(Key key);

 private:
  // Makes the list show `entries`, in order.
  void showHistory(const std::vector<std::string>& entries);

  ComboBox& field_;
  CommandRunner& runner_;
  IniFile& settings_;
};

}  // namespace promptella
