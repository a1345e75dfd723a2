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
  const bool isPrivate = app.folderPrivate(programFolder);
  if (isPrivate && app.folderWritable(programFolder)) return {programFolder, programFolder};
  const auto dataFolder = app.localDataFolder();
  if (!dataFolder) {  // nowhere better: reads still work, writes fail
    return {programFolder, isPrivate ? std::optional(programFolder) : std::nullopt};
  }
  const auto own = pathFromUtf8(settingsFileIn(*dataFolder));
  if (!fileStamp(own)) {
    if (const auto bytes = readWholeFile(pathFromUtf8(settingsFileIn(programFolder)))) {
      // A copy that fails leaves the defaults; the file beside the program stays as it was.
      static_cast<void>(replaceFileAtomically(own, *bytes));
    }
  }
  return {*dataFolder, dataFolder};
}

}  // namespace promptella
