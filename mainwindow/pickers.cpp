// The pickers' operations.
#include "mainwindow/pickers.h"

#include "settings/setting_names.h"

namespace promptella {

Pickers::Pickers(DriveList& drives, FolderList& folders, WorkingFolder& folder, IniFile& settings,
                 MessageBoxService& messages, OperationQueue& operations)
    : folder_(folder), settings_(settings), messages_(messages) {
  drives.onChange = [this, &operations](const std::string& picked) {
    operations.add([this, picked] { return drivePicked(picked); });
  };
  folders.onChange = [this, &operations](const std::string& opened) {
    operations.add([this, opened] { return folderPicked(opened); });
  };
}

Task<> Pickers::restoreSavedFolder() {
  const auto saved = settings_.readValue(setting::folder());
  if (!saved) co_return;
  const Moved moved = co_await folder_.restore(*saved);
  settle(moved);
}

Task<> Pickers::drivePicked(std::string drive) {
  const Moved moved = co_await folder_.drivePicked(std::move(drive));
  settle(moved);
}

Task<> Pickers::folderPicked(std::string folder) {
  const Moved moved = co_await folder_.folderPicked(std::move(folder));
  settle(moved);
}

void Pickers::settle(const Moved& moved) {
  if (moved.folderChanged) saveFolder();
  if (moved.told.failure) messages_.show(*moved.told.failure);
}

void Pickers::saveFolder() {
  settings_.writeValue(setting::folder(), folder_.folder());
}

}  // namespace promptella
