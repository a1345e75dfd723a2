// Where the program's files live, chosen from its folder once at start-up.
#pragma once

#include <string>
#include <string_view>

#include "platform/app.h"

namespace promptella {

struct FileFolders {
  std::string settings;  // for the settings file
  std::string batches;   // for the batch files
};

// The program's folder wherever it is writable, as always. Where it is not (a program installed
// under Program Files), the user's local data folder, as portable tools do; a settings file
// beside the program is taken along the first time, so nothing is lost. The batch files go to
// the user's folder too where other users could change files beside the program.
FileFolders chooseFileFolders(Application& app);

// The settings file in `folder`: "Promptella.ini". The separator is always added, so a folder at
// a drive's root gets two in a row, which the system accepts.
std::string settingsFileIn(std::string_view folder);

}  // namespace promptella
