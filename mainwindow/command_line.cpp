// The command line: Enter runs the command and keeps it in the history of at most 20 entries,
// newest on top, saved in the settings file after every change.
#include "mainwindow/main_form.h"

namespace promptella {

void MainForm::lstCommandes_KeyPress(int keyAscii) {
  if (keyAscii != 13) return;
  const std::string command(trimSpaces(c_.lstCommandes.text()));
  c_.lstCommandes.setText(command);
  if (command.empty()) return;
  if (!runCommand(command)) return;  // the user was told; the line keeps its text

  ComboBox& history = c_.lstCommandes;
  for (int i = 0; i < history.count(); ++i) {
    if (history.item(i) == command) return;  // already there: the order stays as it is
  }
  history.insertItem(0, command);
  // Only one entry goes, so a longer list loaded from a hand-written file keeps its length.
  if (history.count() > kHistoryLimit) history.removeItem(history.count() - 1);
  saveHistory();
}

void MainForm::saveHistory() {
  std::vector<std::string> entries;
  for (int i = 0; i < c_.lstCommandes.count(); ++i) entries.push_back(c_.lstCommandes.item(i));
  settings_->RewriteNumberedSection("Commands", entries);
}

}  // namespace promptella
