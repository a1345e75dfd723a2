// The clear confirmation and the About box as modal Win32 dialogs, laid out in twips like the
// main window, and the system shell.
#pragma once

#include <windows.h>

#include "platform/dialogs.h"

namespace promptella {

// The last dialog that Win32Dialogs opened (it may be closed by now): the window that activation
// comes from when the user returns from the About box or the clear confirmation.
HWND lastProgramDialog();

class Win32Dialogs : public DialogService {
 public:
  // `owner`: the main window, disabled while a dialog is open; `icon` and `hand` are the
  // program's icon and pointing-hand pointer.
  Win32Dialogs(HWND owner, HICON icon, HCURSOR hand) : owner_(owner), icon_(icon), hand_(hand) {}
  void showYesNo(const std::function<void(YesNoView&)>& load) override;
  void showAbout(const std::function<void(AboutView&)>& load) override;

 private:
  HWND owner_;
  HICON icon_;
  HCURSOR hand_;
};

class Win32Shell : public Shell {
 public:
  Outcome execute(std::string_view operation, std::string_view document,
                  std::string_view parameters, std::string_view directory, int show) override;
};

}  // namespace promptella
