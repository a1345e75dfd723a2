// The drive and folder lists' rules.
#include "engine/working_folder.h"

#include "platform/folder_path.h"
#include "platform/interpreter.h"
#include "platform/utf8.h"

namespace promptella {

void Moved::tell(const Outcome& more) {
  if (!more.failure) return;
  told.failure = told.failure ? *told.failure + "\r\n\r\n" + *more.failure : *more.failure;
}

std::string noAnswerMessage(std::string_view driveOrFolder, std::string_view shown) {
  const std::string drive(driveOrFolder.substr(0, driveOrFolder.find(':') + 1));
  return "The drive " + drive + " did not answer within " + std::to_string(kDriveAnswerSeconds) +
         " seconds, or you stopped waiting for it (a sleeping disk, a disc spinning up or a "
         "share reconnecting may answer later). The lists stay on " +
         std::string(shown) + ".";
}

Task<> WorkingFolder::driveFollowsFolder() {
  // The folder's drive answered a moment ago; one that fails now leaves the list where it was.
  static_cast<void>(co_await drives_.setDrive(folders_.path()));
}

Moved WorkingFolder::settled(const Reach& reached, std::string_view target,
                             const std::string& before) const {
  Moved moved;
  moved.folderChanged = folders_.path() != before;
  if (reached.kind == Reach::noAnswer) {
    moved.told = Outcome::failed(noAnswerMessage(target, folders_.path()));
  }
  return moved;
}

Task<Moved> WorkingFolder::showDrive(std::string drive, bool recovering) {
  const std::string before = folders_.path();
  Moved moved;
  Reach reached{Reach::unreachable};
  if (drive.find(':') == std::string::npos) {
    reached = co_await folders_.setPath(drive);
  } else {
    const Outcome entered = batches_.enterDrive(drive);
    if (!entered.succeeded()) {
      // Its batch could not be written or started: the lists stay on the folder's drive.
      co_await driveFollowsFolder();
      moved.told = entered;
      co_return moved;
    }
    reached = co_await folders_.setPath(driveLine(drive));
  }
  if (reached) {
    if (driveLetterOf(drives_.drive()) != driveLetterOf(folders_.path())) {
      co_await driveFollowsFolder();
    }
    moved.folderChanged = folders_.path() != before;
    if (moved.folderChanged) moved.tell(batches_.enterFolder(drives_.drive(), folders_.path()));
    co_return moved;
  }
  // A drive without a medium, or one that cannot be reached: back to the folder's drive, picked
  // once more.
  co_await driveFollowsFolder();
  const char folderDrive = driveLetterOf(folders_.path());
  if (!recovering && folderDrive && driveLetterOf(drives_.drive()) == folderDrive) {
    moved = co_await showDrive(drives_.drive(), true);
  }
  if (reached.kind == Reach::noAnswer) {
    moved.tell(Outcome::failed(noAnswerMessage(drive, folders_.path())));
  }
  co_return moved;
}

Task<Moved> WorkingFolder::drivePicked(std::string drive) {
  co_return co_await showDrive(std::move(drive), false);
}

Task<Moved> WorkingFolder::folderPicked(std::string folder) {
  const std::string before = folders_.path();
  const Reach reached = co_await folders_.setPath(folder);
  // A folder that vanished since it was listed fails quietly: the list stays as it is.
  Moved moved = settled(reached, folder, before);
  if (moved.folderChanged) moved.tell(batches_.enterFolder(drives_.drive(), folders_.path()));
  co_return moved;
}

Task<Moved> WorkingFolder::restore(std::string saved) {
  const std::string before = folders_.path();
  Moved moved;
  const char shownDrive = driveLetterOf(drives_.drive());
  Reach reached = co_await drives_.setDrive(saved);
  if (reached && driveLetterOf(drives_.drive()) != shownDrive) {
    moved = co_await showDrive(drives_.drive(), false);
  }
  if (reached.kind != Reach::noAnswer) {
    const std::string shown = folders_.path();
    reached = co_await folders_.setPath(saved);
    if (reached && asciiLower(folders_.path()) != asciiLower(shown)) {
      moved.tell(batches_.enterFolder(drives_.drive(), folders_.path()));
    }
  }
  if (reached.kind == Reach::noAnswer) {
    moved.tell(Outcome::failed(noAnswerMessage(saved, folders_.path())));
  }
  moved.folderChanged = folders_.path() != before;
  co_return moved;
}

Task<Moved> WorkingFolder::checkShown() {
  const Reach here = co_await folders_.stillThere();
  Moved moved;
  if (here) co_return moved;
  const std::string gone = folders_.path();
  // A drive that does not answer is told as such, and not asked again for each folder above.
  if (here.kind == Reach::noAnswer) {
    moved.told = Outcome::failed("Nothing was run. " + noAnswerMessage(gone, gone));
    co_return moved;
  }
  const std::string told = "Couldn't run the command: the folder " + gone +
                           " no longer exists or cannot be reached. Nothing was run.";
  for (std::string up = parentFolder(gone); !up.empty(); up = parentFolder(up)) {
    const Reach moveUp = co_await folders_.setPath(up);
    if (moveUp) {
      moved.folderChanged = true;
      moved.told = Outcome::failed(told + " The lists now show " + folders_.path() + ".");
      co_return moved;
    }
    if (moveUp.kind == Reach::noAnswer) break;  // the drive went quiet: no use asking again
  }
  moved.told = Outcome::failed(told + " Pick another drive or folder.");
  co_return moved;
}

Task<Moved> WorkingFolder::follow(std::string command) {
  const std::string before = folders_.path();
  const std::string lower = asciiLower(command);
  std::size_t second = 0;
  if (!lower.empty()) decodeUtf8(lower, second);  // the second character starts after the first
  if (second < lower.size() && lower[second] == ':') {
    const char shown = driveLetterOf(drives_.drive());
    const Reach moved = co_await drives_.setDrive(lower);
    if (!moved || driveLetterOf(drives_.drive()) == shown) co_return settled(moved, lower, before);
    // The folder list follows to that drive's current folder; one that cannot be read sends the
    // drive list back.
    const Reach followed = co_await folders_.setPath(driveLine(drives_.drive()));
    if (!followed) co_await driveFollowsFolder();
    co_return settled(followed, lower, before);
  }

  const auto space = lower.find(' ');
  if (space == std::string::npos) co_return Moved{};
  const std::string_view firstWord = std::string_view(lower).substr(0, space);
  if (firstWord != "cd" && firstWord != "chdir") co_return Moved{};
  const std::string folder(trimSpaces(std::string_view(command).substr(space + 1)));
  // The interpreter refuses a network path as its current folder, so the lists stay too.
  std::string unquoted = folder;
  std::erase(unquoted, '"');
  if (isNetworkPath(unquoted)) co_return Moved{};
  const Reach moved = co_await folders_.setPath(folder);
  // A cd to another drive's folder: the drive list follows.
  const char folderDrive = driveLetterOf(folders_.path());
  if (moved && folderDrive && folderDrive != driveLetterOf(drives_.drive())) {
    co_await driveFollowsFolder();
  }
  co_return settled(moved, unquoted, before);
}

}  // namespace promptella
