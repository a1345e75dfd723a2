// Where the settings and batch files live.
#include "settings/file_names.h"

#include <filesystem>

#include "platform/files.h"
#include "product.h"

namespace promptella {

std::string settingsFileIn(std::string_view folder) {
  std::string file(folder);
  file += static_cast<char>(std::filesystem::path::preferred_separator);
  return file.append(kProductName).append(".ini");
}

FileFolders chooseFileFolders(Application& app) {
  const std::string programFolder = app.folder();
  std::string folder = programFolder;
  const std::string dataFolder = app.localDataFolder();
  if (!app.folderWritable(programFolder)) {
    if (!dataFolder.empty()) {  // else nowhere better: reads still work, writes fail
      folder = dataFolder;
      const auto own = pathFromUtf8(settingsFileIn(dataFolder));
      if (!fileStamp(own)) {
        if (const auto bytes = readWholeFile(pathFromUtf8(settingsFileIn(programFolder)))) {
          // A copy that fails leaves the defaults; the file beside the program stays as it was.
          static_cast<void>(replaceFileAtomically(own, *bytes));
        }
      }
    }
  }
  // The interpreter reads a batch file line by line while it runs: where other users can change
  // files (a folder made at a drive's root), one of them could change what runs as this user.
  // The batch file then goes to the user's own folder; the settings stay where they are.
  std::string batchFolder = folder;
  if (batchFolder == programFolder && !dataFolder.empty() && !app.folderPrivate(programFolder)) {
    batchFolder = dataFolder;
  }
  return {folder, batchFolder};
}

}  // namespace promptella
