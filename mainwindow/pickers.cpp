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
  // A drive or folder that can no longer be reached leaves its list where it is; one whose drive
  // did not answer in time is told.
  const Reach drive = drives_.setDrive(*saved);
  const Reach folder = drive.kind == Reach::noAnswer ? drive : folders_.setPath(*saved);
  if (folder.kind == Reach::noAnswer) messages_.show(noAnswerMessage(*saved, folders_.path()));
}

void Pickers::onDriveChanged() {
  if (guard_.takeProgramMove()) return;  // the console has run the command that moved it
  const std::string drive = drives_.drive();
  Reach moved{Reach::unreachable};
  if (drive.find(':') == std::string::npos) {
    moved = folders_.setPath(drive);
  } else if (batches_.enterDrive(drive).succeeded()) {
    moved = folders_.setPath(driveLine(drive));
  }
  if (!moved) {
    // A drive without a medium, or one that cannot be reached: back to the folder's drive, which
    // runs this handler once more for that drive. One that did not answer in time is told.
    static_cast<void>(drives_.setDrive(folders_.path()));  // the folder's drive is there
    guard_.reset();
    if (moved.kind == Reach::noAnswer) messages_.show(noAnswerMessage(drive, folders_.path()));
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
