// The drive and folder lists as the user works them: each pick is an operation of the window's
// queue, and every folder the lists move to is saved. The lists raise their change events for
// the user's picks only; the rules that move them are the working folder's.
#pragma once

#include <string>

#include "engine/working_folder.h"
#include "platform/async.h"
#include "platform/controls.h"
#include "settings/ini_file.h"

namespace promptella {

class Pickers {
 public:
  Pickers(DriveList& drives, FolderList& folders, WorkingFolder& folder, IniFile& settings,
          MessageBoxService& messages, OperationQueue& operations);

  // Moves both lists to the folder saved at the last change, as if the user had picked it; a
  // folder that can no longer be reached leaves them where they are.
  Task<> restoreSavedFolder();
  // The folder list moved without a pick (a command changed folder): the folder is saved.
  void saveFolder();

 private:
  Task<> drivePicked(std::string drive);
  Task<> folderPicked(std::string folder);
  // Saves the folder when it changed, and tells what there is to tell.
  void settle(const Moved& moved);

  WorkingFolder& folder_;
  IniFile& settings_;
  MessageBoxService& messages_;
};

}  // namespace promptella
