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
  bool moved = false;
  if (drive.find(':') != std::string::npos) {
    moved = !runner_->enterDrive(drive) && c_.Chemins.setPath(driveLine(drive));
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
    if (const auto failure = runner_->enterFolder(c_.Lecteurs.drive(), c_.Chemins.path())) {
      s_.messages.show(*failure);
    }
  }
  settings_->WriteIniValue("Configuration", "Path", c_.Chemins.path());
  PickerEventsEnabled = true;
}

}  // namespace promptella
