// Runs a command the way every command runs, whichever way it came (the command line, a stored
// command, console mode): a batch from the drive and folder that the lists show, then the lists
// follow the drive or folder that the command changes to.
#pragma once

#include <functional>
#include <string>

#include "engine/batch_runner.h"
#include "engine/working_folder.h"
#include "platform/async.h"
#include "platform/controls.h"

namespace promptella {

class CommandRunner {
 public:
  CommandRunner(BatchRunner& batches, WorkingFolder& folder, MessageBoxService& messages)
      : batches_(batches), folder_(folder), messages_(messages) {}

  // Raised when a command, or the folder shown going away, moved the folder list.
  std::function<void()> onFolderMoved;

  // False, after telling the user why, when the folder shown is gone or the batch could not be
  // written or started: a command never runs anywhere else. A folder move is passed on before
  // the user is told anything.
  Task<bool> run(std::string command);
  // Ends once the command started last has ended.
  Task<> lastRunEnded() const { return batches_.lastRunEnded(); }

 private:
  void settle(const Moved& moved);

  BatchRunner& batches_;
  WorkingFolder& folder_;
  MessageBoxService& messages_;
};

}  // namespace promptella
