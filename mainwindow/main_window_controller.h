// The main window's own events (load, activation, unload, File, Exit and ?, About) and the wiring
// of the subsystems that handle its controls: the pickers, the command line, the stored commands
// and console mode.
#pragma once

#include <array>
#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "console/console_mode.h"
#include "engine/batch_files.h"
#include "mainwindow/command_line.h"
#include "mainwindow/main_controls.h"
#include "mainwindow/pickers.h"
#include "platform/app.h"
#include "platform/dialogs.h"
#include "platform/process.h"
#include "settings/file_names.h"
#include "storedcommands/stored_commands.h"

namespace promptella {

// The program's two files, named once at start-up.
struct FileNames {
  std::optional<std::string> batchFile;  // none where no folder is the user's own
  std::string settingsFile;
};

// The services the handlers call.
struct MainServices {
  Application& app;
  CompanionConsole& console;
  MessageBoxService& messages;
  ProcessLauncher& launcher;
  DialogService& dialogs;
  Shell& shell;
  Worker& worker;  // saves the settings off the window's thread
};

// The program's messages, held back while the screen's updates are (at start-up, until the
// console stands beside the window: a box shown then would not be drawn, and the user would face
// a frozen screen), then shown in order.
class HeldMessages : public MessageBoxService {
 public:
  explicit HeldMessages(MessageBoxService& shown) : shown_(shown) {}
  void show(std::string_view text) override;
  void hold() { holding_ = true; }
  void release();

 private:
  MessageBoxService& shown_;
  bool holding_ = false;
  std::vector<std::string> held_;
};

class MainWindowController {
 public:
  MainWindowController(MainControls controls, MainServices services);
  ~MainWindowController();

  // Names the files, makes the subsystems, saves a folder given on the command line as the
  // folder, fills the slots and the history, and opens the companion console; what it has to
  // tell the user shows once the console is placed. Until then the events below do nothing but
  // end the process where they would.
  void load();
  // At start-up and back from one of the program's dialogs: the lists go to the saved folder.
  void activate();
  // The close box: the batch files go, the console is released, the process ends.
  void unload();
  // The session ends or the console is closed: the batch files go before the system ends the
  // process.
  void endSession();
  // File, Exit: the process ends at once.
  void exit();
  void showAbout();

 private:
  struct Subsystems;
  void startOnGivenFolder(IniFile& settings);
  // Close, File, Exit and the session's end: the changes not saved yet are saved first, waiting at
  // most `limit` for a file another program holds; what still cannot be saved is kept for the
  // next start and, with `tell`, told.
  void saveBeforeEnding(std::chrono::seconds limit, bool tell);
  static constexpr std::chrono::seconds kSaveAtEndWait{5};
  static constexpr std::chrono::seconds kSaveAtSessionEndWait{2};

  MainControls controls_;
  MainServices services_;
  HeldMessages messages_;
  FileNames files_;
  std::unique_ptr<Subsystems> loaded_;  // made whole at load, once the files are named
  bool ending_ = false;                 // while the end waits for the settings file
};

}  // namespace promptella
