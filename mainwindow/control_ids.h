// The IDs of the controls of the main window and the dialogs, and of the menu entries: the
// program's automation interface. Scripts (and the end-to-end tests) find the controls with
// GetDlgItem and send menu commands with WM_COMMAND.
#pragma once

#include "storedcommands/slots.h"

namespace promptella::ids {

// The main window.
inline constexpr int kCommandLine = 1000;       // editable combo box; its list is the history
inline constexpr int kDriveList = 1001;         // drop-down list of drives
inline constexpr int kFolderList = 1002;        // list box; its window text is the path
inline constexpr int kSlotButtonFirst = 1100;   // run slot 1..10: 1100..1109
inline constexpr int kStoreButtonFirst = 1200;  // store into slot 1..10: 1200..1209
inline constexpr int kLabelCd = 1300;           // "cd"
inline constexpr int kLabelChdir = 1301;        // "[chdir]"
inline constexpr int kLabelLegend1 = 1302;      // the command line's legend
inline constexpr int kLabelLegend2 = 1303;      // the store buttons' legend
inline constexpr int kConsoleLink = 1304;       // "Switch to console mode ..."

inline constexpr int kMenuExit = 2000;      // File, Exit
inline constexpr int kMenuRunFirst = 2100;  // Stored commands, Run command #1..#10: 2100..2109
inline constexpr int kMenuAbout = 2200;     // ?, About

// The clear confirmation.
inline constexpr int kClearQuestion = 100;  // "Clear command #n ?"
inline constexpr int kClearCommand = 101;   // the slot's command
inline constexpr int kClearYes = 102;
inline constexpr int kClearNo = 103;

// The About box.
inline constexpr int kAboutOk = 1;  // IDOK
inline constexpr int kAboutCredit = 110;
inline constexpr int kAboutLink = 111;

}  // namespace promptella::ids
