// Directory tracking.
#include "engine/directory_tracking.h"

#include <string>

#include "engine/batch_runner.h"
#include "platform/interpreter.h"
#include "platform/utf8.h"

namespace promptella {

std::string_view trimSpaces(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

namespace {

// The drive letter that a drive text or a full path starts with, lower-case; 0 for none (a
// network path).
char driveLetterOf(std::string_view text) {
  return text.size() >= 2 && text[1] == ':' ? asciiLower(text[0]) : '\0';
}

// The drive list goes to the folder list's drive. That drive answered a moment ago; should it
// fail now, the batch still takes the folder's drive (driveLineFor).
void driveFollowsFolder(DriveList& drives, const FolderList& folders) {
  static_cast<void>(drives.setDrive(folders.path()));
}

// The drive list moved: the folder list follows to that drive's current folder, as after the
// user's pick of the drive; a drive whose folder cannot be read sends the drive list back.
Reach folderFollowsDrive(DriveList& drives, FolderList& folders) {
  const Reach followed = folders.setPath(driveLine(drives.drive()));
  if (!followed) driveFollowsFolder(drives, folders);
  return followed;
}

}  // namespace

Outcome followDirectoryChange(std::string_view command, DriveList& drives, FolderList& folders) {
  const std::string lower = asciiLower(command);
  // A drive that did not answer in time is told; one that is missing or not ready leaves the
  // lists as they are, silently.
  const auto told = [&](const Reach& reach, std::string_view target) {
    return reach.kind == Reach::noAnswer ? Outcome::failed(noAnswerMessage(target, folders.path()))
                                         : Outcome::success();
  };

  std::size_t pos = 0;
  if (!lower.empty()) decodeUtf8(lower, pos);  // the second character starts after the first
  if (pos < lower.size() && lower[pos] == ':') {
    const char before = driveLetterOf(drives.drive());
    if (const Reach moved = drives.setDrive(lower); !moved) return told(moved, lower);
    if (driveLetterOf(drives.drive()) != before) {
      return told(folderFollowsDrive(drives, folders), lower);
    }
  }

  const auto space = lower.find(' ');
  if (space == std::string::npos) return Outcome::success();
  const std::string_view firstWord = std::string_view(lower).substr(0, space);
  if (firstWord != "cd" && firstWord != "chdir") return Outcome::success();
  const std::string folder(trimSpaces(command.substr(space + 1)));
  // The interpreter refuses a network path as its current folder, so the lists stay too.
  std::string unquoted = folder;
  std::erase(unquoted, '"');
  if (isNetworkPath(unquoted)) return Outcome::success();
  if (const Reach moved = folders.setPath(folder); !moved) return told(moved, unquoted);
  // A cd to another drive's folder: the drive list follows.
  const char folderDrive = driveLetterOf(folders.path());
  if (folderDrive != 0 && folderDrive != driveLetterOf(drives.drive())) {
    driveFollowsFolder(drives, folders);
  }
  return Outcome::success();
}

}  // namespace promptella
