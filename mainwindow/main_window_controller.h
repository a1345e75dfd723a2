// The main window's own events (load, activation, unload, File, Exit and ?, About) and the wiring
// of the subsystems that handle its controls: the pickers, the command line, the stored commands
// and console mode.
#pragma once

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
#include "platform/async.h"
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

// The program's messages, deferred while the screen's updates are (at start-up, until the
// console stands beside the window: a box shown then would not be drawn, and the user would face
// a frozen screen), then shown in order.
class DeferredMessages : public MessageBoxService {
 public:
  explicit DeferredMessages(MessageBoxService& shown) : shown_(shown) {}
  void show(std::string_view text) override;
  void defer() { deferring_ = true; }
  void release();

 private:
  MessageBoxService& shown_;
  bool deferring_ = false;
  std::vector<std::string> deferred_;
};

class MainWindowController {
 public:
  MainWindowController(MainControls controls, MainServices services);
  ~MainWindowController();

  // Names the files, makes the subsystems, fills the slots and the history, and opens the
  // companion console; a folder given on the command line is saved as the folder in the first
  // operation. What it has to tell the user shows once the console is placed. Until then the
  // events below do nothing but end the process where they would.
  void load();
  // At start-up and back from one of the program's dialogs: the lists go to the saved folder, in
  // their turn.
  void activate();
  // The close box, in its turn: the changes are saved (or told and kept for the next start), the
  // batch files go, the console is released, the process ends.
  void unload();
  // The session ends or the console is closed: the changes not saved yet are kept for the next
  // start, then saved in the time the system leaves, the batch files go and the process ends,
  // before the handler returns and without a word.
  void endSession();
  // File, Exit, in its turn: the changes are saved, or told and kept; the process ends.
  void exit();
  void showAbout();

 private:
  struct Subsystems;
  Task<> startOnGivenFolder(std::string given);
  Task<> restoreSavedFolder();
  Task<> close();
  Task<> exitNow();
  // Close and File, Exit: the changes not saved yet are saved first, waiting a while for a file
  // another program holds; what still cannot be saved is told and kept for the next start.
  Task<> saveBeforeEnding();
  static constexpr std::chrono::seconds kSaveAtEndWait{5};
  // Well inside the three seconds that the console's close leaves the handler.
  static constexpr std::chrono::seconds kSaveAtSessionEndWait{2};

  MainControls controls_;
  MainServices services_;
  DeferredMessages messages_;
  OperationQueue operations_;
  FileNames files_;
  std::unique_ptr<Subsystems> loaded_;  // made whole at load, once the files are named
};

}  // namespace promptella
