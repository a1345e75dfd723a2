// The clear confirmation dialog's handlers.
#include "storedcommands/clear_dialog.h"

#include "mainwindow/main_form.h"

namespace promptella {

frmYesNo::frmYesNo(YesNoView& view, MainForm& main) : view_(view), main_(main) {
  view_.onYes = [this] { cmdYes_Click(); };
  view_.onNo = [this] { cmdNo_Click(); };
}

void frmYesNo::Form_Load() {
  view_.setTitle(std::string(kProductName) + " - " + std::string(kVersion));
  view_.setQuestion("Clear command #" + std::to_string(main_.PendingClearSlot + 1) + " ?");
  view_.setCommand(main_.PendingClearCommand);
}

void frmYesNo::cmdYes_Click() {
  main_.clearSlot(main_.PendingClearSlot);
  view_.unload();
}

void frmYesNo::cmdNo_Click() {
  view_.unload();
}

}  // namespace promptella
