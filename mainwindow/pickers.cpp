// The pickers' steps.
#include "mainwindow/pickers.h"

#include "platform/utf8.h"
#include "settings/setting_names.h"

namespace promptella {

Pickers::Pickers(DriveList& drives, FolderList& folders, BatchRunner& batches, IniFile& settings,
                 MessageBoxService& messages)
    : drives_(drives),
      folders_(folders),
      batches_(batches),
      settings_(settings),
      messages_(messages) {
  drives_.onChange = [this] { drivePicked(); };
  folders_.onChange = [this] { folderPicked(); };
}

Reach Pickers::pickDrive(std::string_view text) {
  const std::string before = asciiLower(drives_.drive().substr(0, 1));
  const Reach moved = drives_.setDrive(text);
  if (moved && asciiLower(drives_.drive().substr(0, 1)) != before) drivePicked();
  return moved;
}

void Pickers::restoreSavedFolder() {
  const auto saved = settings_.readValue(setting::folder());
  if (!saved) return;
  // A drive or folder that can no longer be reached leaves its list where it is; one whose drive
  // did not answer in time is told.
  Reach folder = pickDrive(*saved);
  if (folder.kind != Reach::noAnswer) {
    const std::string shown = folders_.path();
    folder = folders_.setPath(*saved);
    if (folder && asciiLower(folders_.path()) != asciiLower(shown)) folderPicked();
  }
  if (folder.kind == Reach::noAnswer) messages_.show(noAnswerMessage(*saved, folders_.path()));
}

void Pickers::drivePicked() {
  const std::string drive = drives_.drive();
  const std::string before = folders_.path();
  Reach moved{Reach::unreachable};
  if (drive.find(':') == std::string::npos) {
    moved = folders_.setPath(drive);
  } else if (const Outcome entered = batches_.enterDrive(drive); !entered.succeeded()) {
    // Its batch could not be written or started: the lists stay on the folder's drive, which
    // answered a moment ago.
    static_cast<void>(drives_.setDrive(before));
    messages_.show(*entered.failure);
    return;
  } else {
    moved = folders_.setPath(driveLine(drive));
  }
  if (moved) {
    if (folders_.path() != before) folderPicked();
    return;
  }
  // A drive without a medium, or one that cannot be reached: back to the folder's drive, picked
  // once more. One that did not answer in time is told.
  static_cast<void>(pickDrive(folders_.path()));  // the folder's drive is there
  if (moved.kind == Reach::noAnswer) messages_.show(noAnswerMessage(drive, folders_.path()));
}

void Pickers::folderPicked() {
  const Outcome result = batches_.enterFolder(drives_.drive(), folders_.path());
  if (!result.succeeded()) messages_.show(*result.failure);
  saveFolder();
}

void Pickers::saveFolder() {
  settings_.writeValue(setting::folder(), folders_.path());
}

}  // namespace promptella
