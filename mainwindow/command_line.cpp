// The command line and its history.
#include "mainwindow/command_line.h"

#include "platform/utf8.h"

namespace promptella {

CommandLine::CommandLine(ComboBox& field, CommandRunner& runner, IniFile& settings,
                         OperationQueue& operations)
    : field_(field), runner_(runner), settings_(settings), operations_(operations) {
  field_.onKey = [this](Key key) { onKey(key); };
}

void CommandLine::loadHistory() {
  showHistory(settings_.readList(setting::history()));
}

void CommandLine::onKey(Key key) {
  if (key != Key::Enter) return;
  const std::string command(trimSpaces(field_.text()));
  field_.setText(command);
  if (command.empty()) return;
  operations_.add([this, command] { return run(command); });
}

Task<> CommandLine::run(std::string command) {
  const bool ran = co_await runner_.run(command);
  if (!ran) co_return;  // the user was told
  // The new command goes on top of the history the file holds when it is saved, so that another
  // copy's commands stay; the list shows it at once.
  settings_.addToList(setting::history(), command, kHistoryLimit);
  showHistory(settings_.readList(setting::history()));
}

void CommandLine::showHistory(const std::vector<std::string>& entries) {
  bool same = field_.count() == static_cast<int>(entries.size());
  for (int i = 0; same && i < field_.count(); ++i) same = field_.item(i) == entries[i];
  if (same) return;
  while (field_.count() > 0) field_.removeItem(field_.count() - 1);
  for (const std::string& entry : entries) field_.insertItem(field_.count(), entry);
}

}  // namespace promptella
