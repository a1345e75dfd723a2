// The main window's controls, read by their roles.
#include "mainwindow/main_controls.h"

#include "mainwindow/control_ids.h"
#include "mainwindow/layout.h"

namespace promptella {

MainControls::MainControls(FormWindow& window_, std::map<int, Control*> byId_)
    : byId(std::move(byId_)),
      window(window_),
      drives(get<DriveList>(ids::kDriveList)),
      folders(get<FolderList>(ids::kFolderList)),
      commandLine(get<ComboBox>(ids::kCommandLine)),
      consoleLink(get<Label>(ids::kConsoleLink)) {
  for (std::size_t i = 0; i < kSlotCount; ++i) {
    const int slot = static_cast<int>(i);
    slotButtons[i] = &get<Button>(ids::kSlotButtonFirst + slot);
    storeButtons[i] = &get<Button>(ids::kStoreButtonFirst + slot);
    menuItems[i] = &get<MenuItem>(ids::kMenuRunFirst + slot);
  }
  for (const auto& row : layout::controls()) {
    if (row.kind == layout::Kind::Label && row.tabPosition < 0)
      legends.push_back(&get<Label>(row.id));
  }
}

}  // namespace promptella
