// Where the settings and batch files live.
#include "settings/file_names.h"

#include "platform/files.h"

namespace promptella {

FileNames chooseFileNames(const Application& app) {
  const std::string programFolder = app.folder();
  const FileNames beside = fileNamesFor(programFolder);
  if (app.folderWritable(programFolder)) return beside;
  const std::string dataFolder = app.localDataFolder();
  if (dataFolder.empty()) return beside;  // nowhere better: reads still work, writes fail
  const FileNames own = fileNamesFor(dataFolder);
  if (!fileStamp(pathFromUtf8(own.IniFilePath))) {
    if (const auto bytes = readWholeFile(pathFromUtf8(beside.IniFilePath))) {
      replaceFileAtomically(pathFromUtf8(own.IniFilePath), *bytes);
    }
  }
  return own;
}

}  // namespace promptella
