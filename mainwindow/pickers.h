// The drive and folder lists: the user's picks, the restore of the saved folder, and the saving of
// every folder the lists move to. The lists raise their change events for the user's picks only;
// each step here is called explicitly, in the order the picks' rules give.
#pragma once

#include "engine/batch_runner.h"
#include "platform/controls.h"
#include "settings/ini_file.h"

namespace promptella {

class Pickers {
 public:
  Pickers(DriveList& drives, FolderList& folders, BatchRunner& batches, IniFile& settings,
          MessageBoxService& messages);

  // Moves both lists to the folder saved at the last change, as if the user had picked it; a
  // folder that can no longer be reached leaves them where they are.
  void restoreSavedFolder();
  // The folder list moved without a pick (a command changed folder): the folder is saved.
  void saveFolder();

 private:
  // The user picked a drive: its batch runs, then the folder list goes to the drive's current
  // folder as if picked; a drive that cannot be reached sends the drive list back.
  void drivePicked();
  // The user opened a folder: its batch runs, and it is saved.
  void folderPicked();
  // The drive list moves to `text`, as if picked when that changes the drive.
  Reach pickDrive(std::string_view text);

  DriveList& drives_;
  FolderList& folders_;
  BatchRunner& batches_;
  IniFile& settings_;
  MessageBoxService& messages_;
};

}  // namespace promptella
