// The ten stored-command slots: storing the command line into a slot, asking whether to clear it
// (the clear confirmation), and running it from its button, its menu entry or its function key. A
// slot's command lives in its button's caption; an empty caption is an empty slot, whose button and
// menu entry are disabled.
#pragma once

#include <string>
#include <string_view>

#include "engine/command_runner.h"
#include "platform/async.h"
#include "platform/controls.h"
#include "platform/dialogs.h"
#include "settings/ini_file.h"
#include "storedcommands/slots.h"

namespace promptella {

inline constexpr std::string_view kDefaultFirstSlotCommand = "dir /w";

class StoredCommands {
 public:
  StoredCommands(SlotControls<Button> slotButtons, SlotControls<Button> storeButtons,
                 SlotControls<MenuItem> menuItems, ComboBox& commandLine, CommandRunner& runner,
                 IniFile& settings, DialogService& dialogs, OperationQueue& operations);

  // Fills the slots from the settings; the first slot shows "dir /w" until a command is stored
  // there (the default lives only on screen).
  void load();

  // The store button: the command line goes into the slot; with an empty command line beside a
  // filled slot, the user is asked whether to clear it.
  void onStore(int slot);
  // The slot button, its menu entry and its function key: the command line shows the slot's
  // command, wholly selected, and it runs in its turn.
  void onRun(int slot);

  // Shows `command` in the slot: an empty command leaves it blank and disabled.
  void show(int slot, std::string_view command);
  // Empties the slot and deletes its key.
  void clear(int slot);
  // Whether the slot holds a command.
  [[nodiscard]] bool filled(int slot) const {
    return !slotButtons_[index(slot)]->caption().empty();
  }
  // Disables every slot's store button, slot button and menu entry, in that order; enabling
  // gives a slot's button and menu entry back only when the slot holds a command.
  void setEnabled(bool enabled);

 private:
  static std::size_t index(int slot) { return static_cast<std::size_t>(slot); }
  Task<> run(std::string command);
  // "Run command #n" followed by the command, or "(empty)": the button's text is the command only.
  void nameForScreenReaders(int slot);

  SlotControls<Button> slotButtons_, storeButtons_;
  SlotControls<MenuItem> menuItems_;
  ComboBox& commandLine_;
  CommandRunner& runner_;
  IniFile& settings_;
  DialogService& dialogs_;
  OperationQueue& operations_;
};

}  // namespace promptella
