// The command line: Enter runs the command and keeps it in the history of at most 20 entries,
// newest on top, saved in the settings file after every change, merged with what other copies of
// the program saved meanwhile.
#pragma once

#include <string>
#include <vector>

#include "engine/command_runner.h"
#include "platform/async.h"
#include "platform/controls.h"
#include "settings/ini_file.h"

namespace promptella {

inline constexpr int kHistoryLimit = 20;

class CommandLine {
 public:
  CommandLine(ComboBox& field, CommandRunner& runner, IniFile& settings,
              OperationQueue& operations);

  // The history as saved: entry 0 on top, in the order saved; keys after a gap are never read.
  void loadHistory();
  // Enter takes the command as the line shows it then, trimmed, and runs it in its turn; the line
  // keeps it wholly selected, so that what the user types next replaces it.
  void onKey(Key key);

 private:
  Task<> run(std::string command);
  // Makes the list show `entries`, in order.
  void showHistory(const std::vector<std::string>& entries);

  ComboBox& field_;
  CommandRunner& runner_;
  IniFile& settings_;
  OperationQueue& operations_;
};

}  // namespace promptella
