// The controls of the main window that the handlers work with. Each window (the real one, the unit
// tests' fake) hands over its controls by ID; the roles below are read from them here, once, by
// the layout table.
#pragma once

#include <map>
#include <vector>

#include "platform/controls.h"
#include "storedcommands/slots.h"

namespace promptella {

struct MainControls {
  // `byId`: every control of the layout table and every menu entry of a slot, by its ID.
  MainControls(FormWindow& window, const std::map<int, Control*>& byId);

  FormWindow& window;
  DriveList& drives;
  FolderList& folders;
  ComboBox& commandLine;
  SlotControls<Button> slotButtons{};
  SlotControls<Button> storeButtons{};
  SlotControls<MenuItem> menuItems{};
  Label& consoleLink;
  std::vector<Label*> legends;  // the texts ("cd", "[chdir]", the legends)
};

}  // namespace promptella
