// frmYesNo: asks whether a stored-command slot is to be cleared.
#pragma once

#include <string>

#include "platform/dialogs.h"

namespace promptella {

class MainForm;

class frmYesNo {
 public:
  // Wires the view's buttons to the handlers below.
  frmYesNo(YesNoView& view, MainForm& main);
  void Form_Load();
  void cmdYes_Click();
  void cmdNo_Click();

 private:
  YesNoView& view_;
  MainForm& main_;
};

}  // namespace promptella
