// Start-up, activation and shut-down of the main window.
#include "mainwindow/main_form.h"

#include "about/about_dialog.h"
#include "platform/files.h"

namespace promptella {

MainForm::MainForm(MainControls controls, MainServices services) : c_(controls), s_(services) {
  c_.Lecteurs.onChange = [this] { Lecteurs_Change(); };
  c_.Chemins.onChange = [this] { Chemins_Change(); };
  c_.lstCommandes.onKeyPress = [this](int key) { lstCommandes_KeyPress(key); };
  c_.lblModeConsole.onClick = [this] { lblModeConsole_Click(); };
  for (int i = 0; i < ids::kSlotCount; ++i) {
    const auto slot = static_cast<std::size_t>(i);
    c_.cmdAdd[slot]->onClick = [this, i] { cmdAdd_Click(i); };
    c_.cmdStored[slot]->onClick = [this, i] { cmdStored_Click(i); };
    c_.mnuCommand[slot]->onClick = [this, i] { mnuCommand_Click(i); };
  }
}

void MainForm::Form_Load() {
  c_.window.setCaption(std::string(kProductName) + " " + std::string(kVersion));
  files_ = chooseFileNames(s_.app);
  settings_.emplace(pathFromUtf8(files_.IniFilePath));
  runner_.emplace(pathFromUtf8(files_.BatchFilePath), s_.launcher);

  for (int n = 0; n < ids::kSlotCount; ++n) {
    showSlot(n, settings_->ReadIniValue("StoredCommands", numberedKey(static_cast<std::size_t>(n)))
                    .value_or(""));
  }
  // The default lives only on screen until the user stores a command in slot 0.
  if (c_.cmdStored[0]->caption().empty()) showSlot(0, kDefaultSlot0Command);

  // Entry 0 on top, in the order saved; keys after a gap are never read.
  for (const auto& entry : settings_->ReadNumberedValues("Commands")) {
    c_.lstCommandes.insertItem(c_.lstCommandes.count(), entry);
  }

  s_.console.OpenConsole(c_.window);
}

void MainForm::Form_Activate() {
  PickerEventsEnabled = true;
  const auto saved = settings_->ReadIniValue("Configuration", "Path");
  if (!saved) return;
  // A saved folder that can no longer be reached leaves the lists where they are.
  c_.Lecteurs.setDrive(*saved);
  c_.Chemins.setPath(*saved);
}

void MainForm::Form_Unload() {
  removeFile(pathFromUtf8(files_.BatchFilePath));  // a missing or busy file is no reason to stay
  runner_->removeFinishedSpareFiles();
  s_.console.CloseConsole();
  s_.app.terminate(0);
}

void MainForm::mnuExit_Click() {
  s_.app.terminate(0);
}

void MainForm::mnuAbout_Click() {
  std::optional<frmAbout> dialog;
  s_.dialogs.showAbout([&](AboutView& view) {
    dialog.emplace(view, s_.shell);
    dialog->Form_Load();
  });
}

bool MainForm::runCommand(std::string_view command) {
  if (const auto failure = runner_->runCommand(c_.Lecteurs.drive(), c_.Chemins.path(), command)) {
    s_.messages.show(*failure);
    return false;
  }
  TrackDirectoryChange(command, c_.Lecteurs, c_.Chemins, PickerEventsEnabled);
  return true;
}

}  // namespace promptella
