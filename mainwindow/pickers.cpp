// The drive and folder pickers' change handlers. Both lists raise their change event inside the
// assignment that changes them, so these handlers nest: the drive handler's move of the folder
// list runs the folder handler to its end before going on.
#include "mainwindow/main_form.h"

namespace promptella {

void MainForm::Lecteurs_Change() {
  if (!PickerEventsEnabled) {
    PickerEventsEnabled = true;  // the program moved the list itself: nothing to run
    return;
  }
  const std::string drive = c_.Lecteurs.drive();
  const auto colon = drive.find(':');
  bool moved = false;
  if (colon != std::string::npos) {
    const std::string letter = drive.substr(0, colon + 1);
    moved = !runner_->RunBatch(letter, "", "", "", "") && c_.Chemins.setPath(letter);
  } else {
    moved = c_.Chemins.setPath(drive);
  }
  if (!moved) {
    // A drive without a medium, or one that cannot be reached: back to the folder's drive, which
    // runs this handler once more for that drive.
    c_.Lecteurs.setDrive(c_.Chemins.path());
    PickerEventsEnabled = true;
  }
}

void MainForm::Chemins_Change() {
  if (PickerEventsEnabled) {
    if (const auto failure =
            runner_->RunBatch("@echo off", c_.Lecteurs.drive(), "@echo on", cdLine(), "")) {
      s_.messages.show(*failure);
    }
  }
  settings_->WriteIniValue("Configuration", "Path", c_.Chemins.path());
  PickerEventsEnabled = true;
}

}  // namespace promptella
