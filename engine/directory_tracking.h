// Moves the drive and folder lists to follow a command that changes drive or folder.
#pragma once

#include <string_view>

#include "platform/controls.h"

namespace promptella {

// Called right after the command was started. A command whose second character is a colon moves
// the drive list; "cd" or "chdir" (any case) followed by a space moves the folder list to the rest
// of the command, trimmed. The lists' change handlers see `pickerEventsEnabled` false during the
// move, so they start no batch of their own; it is true again once the move has returned, whether
// the move failed, raised no change event, or did.
void TrackDirectoryChange(std::string_view command, DriveList& drives, FolderList& folders,
                          bool& pickerEventsEnabled);

// Removes spaces (only the space character) at both ends.
std::string_view trimSpaces(std::string_view text);

}  // namespace promptella
