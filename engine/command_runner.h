// Runs a command the way every command runs, whichever way it came (the command line, a stored
// command, console mode): a batch from the drive and folder that the lists show, then the lists
// follow the drive or folder that the command changes to.
#pragma once

#include <string_view>

#include "engine/batch_runner.h"
#include "engine/directory_tracking.h"
#include "engine/picker_move_guard.h"
#include "platform/controls.h"

namespace promptella {

class CommandRunner {
 public:
  CommandRunner(BatchRunner& batches, DriveList& drives, FolderList& folders,
                PickerMoveGuard& guard, MessageBoxService& messages)
      : batches_(batches), drives_(drives), folders_(folders), guard_(guard), messages_(messages) {}

  // False, after telling the user why, when the batch could not be written or started.
  [[nodiscard]] bool run(std::string_view command) {
    const Outcome result = batches_.runCommand(drives_.drive(), folders_.path(), command);
    if (!result.succeeded()) {
      messages_.show(*result.failure);
      return false;
    }
    followDirectoryChange(command, drives_, folders_, guard_);
    return true;
  }

 private:
  BatchRunner& batches_;
  DriveList& drives_;
  FolderList& folders_;
  PickerMoveGuard& guard_;
  MessageBoxService& messages_;
};

}  // namespace promptella
