// Runs a command the way every command runs, whichever way it came (the command line, a stored
// command, console mode): a batch from the drive and folder that the lists show, then the lists
// follow the drive or folder that the command changes to.
#pragma once

#include <functional>
#include <string_view>

#include "engine/batch_runner.h"
#include "engine/directory_tracking.h"
#include "platform/controls.h"
#include "platform/folder_path.h"

namespace promptella {

class CommandRunner {
 public:
  CommandRunner(BatchRunner& batches, DriveList& drives, FolderList& folders,
                MessageBoxService& messages)
      : batches_(batches), drives_(drives), folders_(folders), messages_(messages) {}

  // Raised when a command, or the folder shown going away, moved the folder list.
  std::function<void()> onFolderMoved;

  // False, after telling the user why, when the batch could not be written or started, or the
  // folder shown is gone: a command never runs anywhere else. A folder move is passed on before
  // the user is told anything.
  [[nodiscard]] bool run(std::string_view command) {
    const std::string before = folders_.path();
    Outcome told = Outcome::success();
    const bool ran = runHere(command, told);
    if (folders_.path() != before && onFolderMoved) onFolderMoved();
    if (told.failure) messages_.show(*told.failure);
    return ran;
  }

 private:
  bool runHere(std::string_view command, Outcome& told) {
    if (const Reach here = folders_.stillThere(); !here) {
      // A drive that does not answer is told as such, and not asked again for each folder above.
      told = Outcome::failed(here.kind == Reach::noAnswer
                                 ? "Nothing was run. " +
                                       noAnswerMessage(folders_.path(), folders_.path())
                                 : recoverFromMissingFolder());
      return false;
    }
    told = batches_.runCommand(drives_.drive(), folders_.path(), command);
    if (told.failure) return false;
    // The command runs; a drive it changes to that does not answer is told.
    told = followDirectoryChange(command, drives_, folders_);
    return true;
  }

  // The folder shown was removed, or its drive went away: the lists go to the nearest folder
  // above it that is still there (saved as any move of theirs); the text for the user.
  std::string recoverFromMissingFolder() {
    const std::string gone = folders_.path();
    std::string told = "Couldn't run the command: the folder " + gone +
                       " no longer exists or cannot be reached. Nothing was run.";
    for (std::string up = parentFolder(gone); !up.empty(); up = parentFolder(up)) {
      const Reach moved = folders_.setPath(up);
      if (moved) return told + " The lists now show " + folders_.path() + ".";
      if (moved.kind == Reach::noAnswer) break;  // the drive went quiet: no use asking again
    }
    return told + " Pick another drive or folder.";
  }

  BatchRunner& batches_;
  DriveList& drives_;
  FolderList& folders_;
  MessageBoxService& messages_;
};

}  // namespace promptella
