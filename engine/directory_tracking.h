// Moves the drive and folder lists to follow a command that changes drive or folder.
#pragma once

#include <string_view>

#include "platform/controls.h"
#include "platform/outcome.h"

namespace promptella {

// Called right after the command was started. A command whose second character is a colon moves
// the drive list, and the folder list follows to that drive's current folder; "cd" or "chdir"
// (any case) followed by a space moves the folder list to the rest of the command, trimmed, and
// the drive list follows a folder on another drive. So the lists always show one folder, the one
// the next command runs in. The moves raise no change event, so they start no batch; a move that
// fails leaves its list where it is. What to tell the user when a drive did not answer in time.
Outcome followDirectoryChange(std::string_view command, DriveList& drives, FolderList& folders);

// Removes spaces (only the space character) at both ends.
std::string_view trimSpaces(std::string_view text);

}  // namespace promptella
