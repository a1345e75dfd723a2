// The controls of the main window that the handlers work with, as the window hands them over.
#pragma once

#include <array>

#include "platform/controls.h"
#include "storedcommands/slots.h"

namespace promptella {

struct MainControls {
  FormWindow& window;
  DriveList& drives;
  FolderList& folders;
  ComboBox& commandLine;
  SlotControls<Button> slotButtons;
  SlotControls<Button> storeButtons;
  SlotControls<MenuItem> menuItems;
  Label& consoleLink;
  std::array<Label*, 4> legends;  // "cd", "[chdir]", and the two legends below
};

}  // namespace promptella
