// The main window's controls, read by their roles.
#include "mainwindow/main_controls.h"

#include "mainwindow/control_ids.h"
#include "mainwindow/layout.h"

#include <stdexcept>

namespace promptella {
namespace {

// The control with `id`; a window that has none of that kind is a fault of the program's.
template <typename T>
T& get(const std::map<int, Control*>& byId, int id) {
  const auto found = byId.find(id);
  T* control = found == byId.end() ? nullptr : dynamic_cast<T*>(found->second);
  if (!control) throw std::logic_error("the main window has no such control");
  return *control;
}

}  // namespace

MainControls::MainControls(FormWindow& window_, const std::map<int, Control*>& byId)
    : window(window_),
      drives(get<DriveList>(byId, ids::kDriveList)),
      folders(get<FolderList>(byId, ids::kFolderList)),
      commandLine(get<ComboBox>(byId, ids::kCommandLine)),
      consoleLink(get<Label>(byId, ids::kConsoleLink)) {
  for (std::size_t i = 0; i < kSlotCount; ++i) {
    const int slot = static_cast<int>(i);
    slotButtons[i] = &get<Button>(byId, ids::kSlotButtonFirst + slot);
    storeButtons[i] = &get<Button>(byId, ids::kStoreButtonFirst + slot);
    menuItems[i] = &get<MenuItem>(byId, ids::kMenuRunFirst + slot);
  }
  for (const auto& row : layout::controls()) {
    if (row.kind == layout::Kind::Text) legends.push_back(&get<Label>(byId, row.id));
  }
}

}  // namespace promptella
