// Where the program's files live, chosen from its folder once at start-up.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/app.h"

namespace promptella {

struct FileFolders {
  std::string settings;                // for the settings file
  std::optional<std::string> batches;  // for the batch files; none where no folder is the user's
};

// The program's folder where it is writable and no other user can change files there, as always.
// Elsewhere (a program installed under Program Files, or unpacked in a folder made at a drive's
// root, where other users could change a stored command or the batch file the interpreter reads
// line by line, and so run commands as this user), the user's local data folder, as portable
// tools do; a settings file beside the program is taken along the first time, so nothing is
// lost. Without such a folder the settings are read where they are, and batch files are written
// only where no other user can change them.
FileFolders chooseFileFolders(Application& app);

// The settings file in `folder`: "Promptella.ini". The separator is always added, so a folder at
// a drive's root gets two in a row, which the system accepts.
std::string settingsFileIn(std::string_view folder);

}  // namespace promptella
