// The program's two files, named from its folder once at start-up.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/app.h"
#include "product.h"

namespace promptella {

struct FileNames {
  std::string batchFile;
  std::string settingsFile;
};

// The separator is always added, so a program at a drive's root gets two in a row, which the
// system accepts. Copies of the program that run from one folder each have a batch file of
// their own: the first "~Promptella.bat", the others "~Promptella.<copy>.bat".
inline FileNames fileNamesFor(std::string_view appFolder, int copy = 1) {
  const std::string folder =
      std::string(appFolder) + static_cast<char>(std::filesystem::path::preferred_separator);
  std::string batch = folder;
  batch.append("~").append(kProductName);
  if (copy > 1) batch.append(".").append(std::to_string(copy));
  batch.append(".bat");
  return {batch, folder + std::string(kProductName) + ".ini"};
}

// Where the two files live: the program's folder wherever it is writable, as always. Where it is
// not (a program installed under Program Files), the user's local data folder, as portable tools
// do; a settings file beside the program is taken along the first time, so nothing is lost.
// The batch file goes to the user's folder too where other users could change files beside the
// program. The copy's number in the batch file's folder is claimed for the whole run, and batch
// files left there by copies that no longer run are removed.
FileNames chooseFileNames(Application& app);

// The copy a batch file of `folder` belongs to, and whether it is that copy's spare file of an
// overlapping run ("~Promptella-2.bat", "~Promptella.3-2.bat"); nothing for any other name.
struct BatchFileOwner {
  int copy;
  bool spare;
};
[[nodiscard]] std::optional<BatchFileOwner> batchFileOwner(std::string_view fileName);

}  // namespace promptella
