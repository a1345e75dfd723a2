// The controls of the main window that the handlers work with. Each window (the real one, the unit
// tests' fake) hands over its controls by ID; the roles below are read from them here, once, by
// the layout table.
#pragma once

#include <map>
#include <stdexcept>
#include <vector>

#include "platform/controls.h"
#include "storedcommands/slots.h"

namespace promptella {

struct MainControls {
  // `byId`: every control of the layout table and every menu entry of a slot, by its ID.
  MainControls(FormWindow& window, std::map<int, Control*> byId);

  // The control with `id`, for a subsystem that handles one of its own; throws std::logic_error
  // when the window has none of that kind.
  template <typename T>
  T& get(int id) const {
    const auto found = byId.find(id);
    T* control = found == byId.end() ? nullptr : dynamic_cast<T*>(found->second);
    if (!control) throw std::logic_error("the main window has no such control");
    return *control;
  }

  std::map<int, Control*> byId;
  FormWindow& window;
  DriveList& drives;
  FolderList& folders;
  ComboBox& commandLine;
  SlotControls<Button> slotButtons{};
  SlotControls<Button> storeButtons{};
  SlotControls<MenuItem> menuItems{};
  Label& consoleLink;
  std::vector<Label*> legends;  // the labels that are no link ("cd", "[chdir]", the legends)
};

}  // namespace promptella
