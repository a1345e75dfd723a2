// The pickers' change handlers and the restore of the saved folder.
#include "mainwindow/pickers.h"

namespace promptella {

Pickers::Pickers(DriveList& drives, FolderList& folders, BatchRunner& batches, IniFile& settings,
                 PickerMoveGuard& guard, MessageBoxService& messages)
    : drives_(drives),
      folders_(folders),
      batches_(batches),
      settings_(settings),
      guard_(guard),
      messages_(messages) {
  drives_.onChange = [this] { onDriveChanged(); };
  folders_.onChange = [this] { onFolderChanged(); };
}

void Pickers::restoreSavedFolder() {
  guard_.reset();
  const auto saved = settings_.readValue("Configuration", "Path");
  if (!saved) return;
  drives_.setDrive(*saved);
  folders_.setPath(*saved);
}

void Pickers::onDriveChanged() {
  if (guard_.takeProgramMove()) return;  // the console has run the command that moved it
  const std::string drive = drives_.drive();
  bool moved = false;
  if (drive.find(':') != std::string::npos) {
    moved = batches_.enterDrive(drive).started() && folders_.setPath(driveLine(drive));
  } else {
    moved = folders_.setPath(drive);
  }
  if (!moved) {
    // A drive without a medium, or one that cannot be reached: back to the folder's drive, which
    // runs this handler once more for that drive.
    drives_.setDrive(folders_.path());
    guard_.reset();
  }
}

void Pickers::onFolderChanged() {
  if (!guard_.takeProgramMove()) {
    const RunResult result = batches_.enterFolder(drives_.drive(), folders_.path());
    if (!result.started()) messages_.show(*result.failure);
  }
  settings_.writeValue("Configuration", "Path", folders_.path());
}

}  // namespace promptella
