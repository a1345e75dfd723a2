// Runs a command the way every command runs, whichever way it came (the command line, a stored
// command, console mode): a batch from the drive and folder that the lists show, then the lists
// follow the drive or folder that the command changes to.
#pragma once

#include <string_view>

#include "engine/batch_runner.h"
#include "engine/directory_tracking.h"
#include "engine/picker_move_guard.h"
#include "platform/controls.h"
#include "platform/folder_path.h"

namespace promptella {

class CommandRunner {
 public:
  CommandRunner(BatchRunner& batches, DriveList& drives, FolderList& folders,
                PickerMoveGuard& guard, MessageBoxService& messages)
      : batches_(batches), drives_(drives), folders_(folders), guard_(guard), messages_(messages) {}

  // False, after telling the user why, when the batch could not be written or started, or the
  // folder shown is gone: a command never runs anywhere else.
  [[nodiscard]] bool run(std::string_view command) {
    if (const Reach here = folders_.stillThere(); !here) {
      // A drive that does not answer is told as such, and not asked again for each folder above.
      messages_.show(here.kind == Reach::noAnswer
                         ? "Nothing was run. " + noAnswerMessage(folders_.path(), folders_.path())
                         : recoverFromMissingFolder());
      return false;
    }
    const Outcome result = batches_.runCommand(drives_.drive(), folders_.path(), command);
    if (!result.succeeded()) {
      messages_.show(*result.failure);
      return false;
    }
    // The command runs; a drive it changes to that does not answer is told.
    if (const Outcome followed = followDirectoryChange(command, drives_, folders_, guard_);
        !followed.succeeded()) {
      messages_.show(*followed.failure);
    }
    return true;
  }

 private:
  // The folder shown was removed, or its drive went away: the lists go to the nearest folder
  // above it that is still there (saved as any move of theirs); the text for the user.
  std::string recoverFromMissingFolder() {
    const std::string gone = folders_.path();
    std::string told = "Couldn't run the command: the folder " + gone +
                       " no longer exists or cannot be reached. Nothing was run.";
    for (std::string up = parentFolder(gone); !up.empty(); up = parentFolder(up)) {
      const PickerMoveGuard::ProgramMove move(guard_);
      const Reach moved = folders_.setPath(up);
      if (moved) return told + " The lists now show " + folders_.path() + ".";
      if (moved.kind == Reach::noAnswer) break;  // the drive went quiet: no use asking again
    }
    return told + " Pick another drive or folder.";
  }

  BatchRunner& batches_;
  DriveList& drives_;
  FolderList& folders_;
  PickerMoveGuard& guard_;
  MessageBoxService& messages_;
};

}  // namespace promptella
