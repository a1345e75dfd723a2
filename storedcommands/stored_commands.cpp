// The stored-command slots.
#include "storedcommands/stored_commands.h"

#include <optional>

#include "platform/utf8.h"
#include "product.h"

namespace promptella {
namespace {

// The question whether a slot is to be cleared, with the command it holds.
class ClearConfirmation {
 public:
  ClearConfirmation(YesNoView& view, int slot, std::string_view command, StoredCommands& slots)
      : view_(view), slot_(slot), slots_(slots) {
    view_.onYes = [this] {
      slots_.clear(slot_);
      view_.unload();
    };
    view_.onNo = [this] { view_.unload(); };
    view_.setTitle(std::string(kProductName) + " - " + std::string(kVersion));
    view_.setQuestion("Clear command #" + std::to_string(slot_ + 1) + " ?");
    view_.setCommand(command);
  }

 private:
  YesNoView& view_;
  int slot_;
  StoredCommands& slots_;
};

}  // namespace

StoredCommands::StoredCommands(SlotControls<Button> slotButtons, SlotControls<Button> storeButtons,
                               SlotControls<MenuItem> menuItems, ComboBox& commandLine,
                               CommandRunner& runner, IniFile& settings, DialogService& dialogs,
                               OperationQueue& operations)
    : slotButtons_(slotButtons),
      storeButtons_(storeButtons),
      menuItems_(menuItems),
      commandLine_(commandLine),
      runner_(runner),
      settings_(settings),
      dialogs_(dialogs),
      operations_(operations) {
  for (int slot = 0; slot < kSlotCount; ++slot) {
    storeButtons_[index(slot)]->onClick = [this, slot] { onStore(slot); };
    slotButtons_[index(slot)]->onClick = [this, slot] { onRun(slot); };
    menuItems_[index(slot)]->onClick = [this, slot] { onRun(slot); };
  }
}

void StoredCommands::load() {
  for (int slot = 0; slot < kSlotCount; ++slot) {
    show(slot, settings_.readValue(setting::storedCommand(index(slot))).value_or(""));
  }
  if (!filled(0)) show(0, kDefaultFirstSlotCommand);
}

void StoredCommands::show(int slot, std::string_view command) {
  Button& button = *slotButtons_[index(slot)];
  button.setCaption(command);
  button.setToolTip(command);
  nameForScreenReaders(slot);
  button.setEnabled(!command.empty());
  menuItems_[index(slot)]->setEnabled(!command.empty());
}

void StoredCommands::clear(int slot) {
  // The tooltip stays as it was: a disabled button shows none.
  slotButtons_[index(slot)]->setCaption("");
  nameForScreenReaders(slot);
  slotButtons_[index(slot)]->setEnabled(false);
  menuItems_[index(slot)]->setEnabled(false);
  settings_.removeValue(setting::storedCommand(index(slot)));
}

void StoredCommands::nameForScreenReaders(int slot) {
  const std::string command = slotButtons_[index(slot)]->caption();
  slotButtons_[index(slot)]->setAccessibleName("Run command #" + std::to_string(slot + 1) + " " +
                                               (command.empty() ? "(empty)" : command));
}

void StoredCommands::setEnabled(bool enabled) {
  for (int slot = 0; slot < kSlotCount; ++slot) {
    storeButtons_[index(slot)]->setEnabled(enabled);
    const bool usable = enabled && filled(slot);
    slotButtons_[index(slot)]->setEnabled(usable);
    menuItems_[index(slot)]->setEnabled(usable);
  }
}

void StoredCommands::onStore(int slot) {
  // One line on screen as in the file, where a line break could not stand.
  const std::string text = oneLine(commandLine_.text());
  if (!text.empty()) {
    show(slot, text);
    settings_.writeValue(setting::storedCommand(index(slot)), text);
    return;
  }
  if (!filled(slot)) return;
  std::optional<ClearConfirmation> dialog;
  dialogs_.showYesNo([&](YesNoView& view) {
    dialog.emplace(view, slot, slotButtons_[index(slot)]->caption(), *this);
  });
}

void StoredCommands::onRun(int slot) {
  const std::string command = slotButtons_[index(slot)]->caption();
  if (command.empty()) return;
  commandLine_.setText(command);
  operations_.add([this, command] { return run(command); });
}

Task<> StoredCommands::run(std::string command) {
  static_cast<void>(co_await runner_.run(std::move(command)));  // what did not run has been told
}

}  // namespace promptella
