// The main window's control and menu IDs: the program's automation interface. Scripts (and the
// end-to-end tests) find the controls with GetDlgItem and send menu commands with WM_COMMAND.
#pragma once

namespace promptella::ids {

inline constexpr int kCommandLine = 1000;   // lstCommandes: editable combo box
inline constexpr int kDriveList = 1001;     // Lecteurs: drop-down list of drives
inline constexpr int kFolderList = 1002;    // Chemins: list box; its window text is the path
inline constexpr int kStoredFirst = 1100;   // cmdStored(0..9): 1100..1109
inline constexpr int kAddFirst = 1200;      // cmdAdd(0..9): 1200..1209
inline constexpr int kLabelCd = 1300;       // lblCD
inline constexpr int kLabelChdir = 1301;    // lblChdir
inline constexpr int kLabelLegend1 = 1302;  // lblLeg1
inline constexpr int kLabelLegend2 = 1303;  // lblLeg2
inline constexpr int kConsoleLink = 1304;   // lblModeConsole

inline constexpr int kMenuExit = 2000;          // File, Exit
inline constexpr int kMenuCommandFirst = 2100;  // Stored commands, Run command #1..#10: 2100..2109
inline constexpr int kMenuAbout = 2200;         // ?, About

inline constexpr int kSlotCount = 10;

}  // namespace promptella::ids
