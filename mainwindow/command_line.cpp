// The command line and its history.
#include "mainwindow/command_line.h"

#include "engine/directory_tracking.h"

namespace promptella {

CommandLine::CommandLine(ComboBox& field, CommandRunner& runner, IniFile& settings)
    : field_(field), runner_(runner), settings_(settings) {
  field_.onKey = [this](Key key) { onKey(key); };
}

void CommandLine::loadHistory() {
  for (const auto& entry : settings_.readNumberedValues("Commands")) {
    field_.insertItem(field_.count(), entry);
  }
}

void CommandLine::onKey(Key key) {
  if (key != Key::Enter) return;
  const std::string command(trimSpaces(field_.text()));
  field_.setText(command);
  if (command.empty()) return;
  if (!runner_.run(command)) return;  // the user was told; the line keeps its text

  for (int i = 0; i < field_.count(); ++i) {
    if (field_.item(i) == command) return;  // already there: the order stays as it is
  }
  field_.insertItem(0, command);
  // Only one entry goes, so a longer list loaded from a hand-written file keeps its length.
  if (field_.count() > kHistoryLimit) field_.removeItem(field_.count() - 1);
  saveHistory();
}

void CommandLine::saveHistory() {
  std::vector<std::string> entries;
  for (int i = 0; i < field_.count(); ++i) entries.push_back(field_.item(i));
  // IniFile tells the user of a file held by another program and saves the change later; a file
  // that takes no change at all (read-only, a full disk) keeps what it had, as before.
  static_cast<void>(settings_.rewriteNumberedSection("Commands", entries));
}

}  // namespace promptella
