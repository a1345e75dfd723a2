// The ten stored-command slots: storing the command line into a slot, asking to clear it, and
// running it from its button, its menu entry or its function key.
#include <optional>

#include "mainwindow/main_form.h"
#include "storedcommands/clear_dialog.h"

namespace promptella {

void MainForm::showSlot(int n, std::string_view command) {
  Button& button = *c_.cmdStored[static_cast<std::size_t>(n)];
  button.setCaption(command);
  button.setToolTip(command);
  button.setEnabled(!command.empty());
  c_.mnuCommand[static_cast<std::size_t>(n)]->setEnabled(!command.empty());
}

void MainForm::clearSlot(int n) {
  // The tooltip stays as it was: a disabled button shows none.
  c_.cmdStored[static_cast<std::size_t>(n)]->setCaption("");
  c_.cmdStored[static_cast<std::size_t>(n)]->setEnabled(false);
  c_.mnuCommand[static_cast<std::size_t>(n)]->setEnabled(false);
  settings_->DeleteIniKey("StoredCommands", numberedKey(static_cast<std::size_t>(n)));
}

void MainForm::cmdAdd_Click(int index) {
  std::string text = c_.lstCommandes.text();
  if (!text.empty()) {
    // One line on screen as in the file, where a line break could not stand.
    for (char& c : text) {
      if (c == '\r' || c == '\n') c = ' ';
    }
    showSlot(index, text);
    settings_->WriteIniValue("StoredCommands", numberedKey(static_cast<std::size_t>(index)), text);
    return;
  }
  const std::string stored = c_.cmdStored[static_cast<std::size_t>(index)]->caption();
  if (stored.empty()) return;
  PendingClearSlot = index;
  PendingClearCommand = stored;
  std::optional<frmYesNo> dialog;
  s_.dialogs.showYesNo([&](YesNoView& view) {
    dialog.emplace(view, *this);
    dialog->Form_Load();
  });
}

void MainForm::cmdStored_Click(int index) {
  const std::string command = c_.cmdStored[static_cast<std::size_t>(index)]->caption();
  if (command.empty()) return;
  c_.lstCommandes.setText(command);
  runCommand(command);
}

void MainForm::mnuCommand_Click(int index) {
  cmdStored_Click(index);
}

}  // namespace promptella
