// The one way a command runs.
#include "engine/command_runner.h"

namespace promptella {

Task<bool> CommandRunner::run(std::string command) {
  const Moved here = co_await folder_.checkShown();
  if (!here.told.succeeded()) {
    settle(here);
    co_return false;
  }
  const Outcome ran = batches_.runCommand(folder_.drive(), folder_.folder(), command);
  if (!ran.succeeded()) {
    messages_.show(*ran.failure);
    co_return false;
  }
  const Moved followed = co_await folder_.follow(command);
  settle(followed);
  co_return true;
}

void CommandRunner::settle(const Moved& moved) {
  if (moved.folderChanged && onFolderMoved) onFolderMoved();
  if (moved.told.failure) messages_.show(*moved.told.failure);
}

}  // namespace promptella
