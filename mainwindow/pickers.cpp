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
  // A drive or folder that can no longer be reached leaves its list where it is.
  static_cast<void>(drives_.setDrive(*saved));
  static_cast<void>(folders_.setPath(*saved));
}

void Pickers::onDriveChanged() {
  if (guard_.takeProgramMove()) return;  // the console has run the command that moved it
  const std::string drive = drives_.drive();
  bool moved = false;
  if (drive.find(':') != std::string::npos) {
    moved = batches_.enterDrive(drive).succeeded() && folders_.setPath(driveLine(drive));
  } else {
    moved = folders_.setPath(drive);
  }
  if (!moved) {
    // A drive without a medium, or one that cannot be reached: back to the folder's drive, which
    // runs this handler once more for that drive.
    static_cast<void>(drives_.setDrive(folders_.path()));  // the folder's drive is there
    guard_.reset();
  }
}

void Pickers::onFolderChanged() {
  if (!guard_.takeProgramMove()) {
    const Outcome result = batches_.enterFolder(drives_.drive(), folders_.path());
    if (!result.succeeded()) messages_.show(*result.failure);
  }
  // IniFile tells the user of a file held by another program and saves the change later; a file
  // that takes no change at all (read-only, a full disk) keeps what it had, as before.
  static_cast<void>(settings_.writeValue("Configuration", "Path", folders_.path()));
}

}  // namespace promptella
