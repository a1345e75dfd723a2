// The folder the next command runs in, as the drive and folder lists show it, and every rule that
// moves them: the user's picks, the restore of the saved folder, following a command that changes
// drive or folder, the walk up from a folder that is gone, and what is told when a drive does not
// answer. Each step returns what moved and what to tell; the callers save and tell it.
#pragma once

#include <string>
#include <string_view>

#include "engine/batch_runner.h"
#include "platform/async.h"
#include "platform/controls.h"
#include "platform/outcome.h"

namespace promptella {

// What a move of the lists did.
struct [[nodiscard]] Moved {
  bool folderChanged = false;  // the folder shown is another: it is to be saved
  Outcome told = Outcome::success();
  // Adds `more` to what is told, as a paragraph of its own.
  void tell(const Outcome& more);
};

// What the user is told when the drive of `driveOrFolder` did not answer; `shown` is where the
// lists stay.
std::string noAnswerMessage(std::string_view driveOrFolder, std::string_view shown);

class WorkingFolder {
 public:
  WorkingFolder(DriveList& drives, FolderList& folders, BatchRunner& batches)
      : drives_(drives), folders_(folders), batches_(batches) {}

  // The drive text and the folder the lists show.
  std::string drive() const { return drives_.drive(); }
  std::string folder() const { return folders_.path(); }

  // The user picked `drive` in the drive list: its batch runs, then the folder list goes to that
  // drive's current folder, whose cd runs. A drive that cannot be reached sends the lists back to
  // the folder's drive, picked once more; one that did not answer in time is told.
  Task<Moved> drivePicked(std::string drive);
  // The user opened `folder` in the folder list: the list goes there and its cd runs.
  Task<Moved> folderPicked(std::string folder);
  // The folder saved at the last change, as if the user had picked its drive and then itself; a
  // folder that can no longer be reached leaves the lists where they are.
  Task<Moved> restore(std::string saved);
  // Before a command runs: whether the folder shown can still be entered. When it cannot (another
  // program removed it, its drive went away or does not answer), `told` says so, and the lists go
  // up to the nearest folder that is still there.
  Task<Moved> checkShown();
  // Right after `command` started: a command whose second character is a colon moves the drive
  // list, and the folder list follows to that drive's current folder; "cd" or "chdir" (any case)
  // followed by a space moves the folder list to the rest of the command, trimmed, and the drive
  // list follows a folder on another drive. So the lists always show one folder, the one the next
  // command runs in. A move that fails leaves the lists where they are; a drive that did not
  // answer in time is told.
  Task<Moved> follow(std::string command);

 private:
  // The drive's batch, then the folder list to its current folder; `recovering`: the drive is the
  // folder's own, picked again after another could not be reached.
  Task<Moved> showDrive(std::string drive, bool recovering);
  // The drive list goes to the folder list's drive. That drive answered a moment ago; should it
  // fail now, the batches still take the folder's drive (driveLineFor).
  Task<> driveFollowsFolder();
  // The folder list's move ended as `reached`: where the lists stand now, and what to tell.
  Moved settled(const Reach& reached, std::string_view target, const std::string& before) const;

  DriveList& drives_;
  FolderList& folders_;
  BatchRunner& batches_;
};

}  // namespace promptella
