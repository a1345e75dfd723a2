// The drive and folder lists. Both raise their change event inside the assignment that changes
// them, so the handlers nest: the drive handler's move of the folder list runs the folder handler
// to its end before going on.
#pragma once

#include "engine/batch_runner.h"
#include "engine/picker_move_guard.h"
#include "platform/controls.h"
#include "settings/ini_file.h"

namespace promptella {

class Pickers {
 public:
  Pickers(DriveList& drives, FolderList& folders, BatchRunner& batches, IniFile& settings,
          PickerMoveGuard& guard, MessageBoxService& messages);

  // Moves both lists to the folder saved at the last change, as if the user had picked it; a
  // folder that can no longer be reached leaves them where they are.
  void restoreSavedFolder();

  void onDriveChanged();
  void onFolderChanged();

 private:
  DriveList& drives_;
  FolderList& folders_;
  BatchRunner& batches_;
  IniFile& settings_;
  PickerMoveGuard& guard_;
  MessageBoxService& messages_;
};

}  // namespace promptella
