// The main window's own events (load, activation, unload, File, Exit and ?, About) and the wiring
// of the subsystems that handle its controls: the pickers, the command line, the stored commands
// and console mode.
#pragma once

#include <array>
#include <optional>

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
  std::string batchFile;
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
};

class MainWindowController {
 public:
  MainWindowController(MainControls controls, MainServices services)
      : controls_(controls), services_(services) {}

  // Names the files, saves a folder given on the command line as the folder, fills the slots and
  // the history, and opens the companion console.
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

  const FileNames& files() const { return files_; }
  IniFile& settings() { return *settings_; }
  PickerMoveGuard& pickerGuard() { return guard_; }

 private:
  void startOnGivenFolder();

  MainControls controls_;
  MainServices services_;
  PickerMoveGuard guard_;
  FileNames files_;
  // Made at load, once the files are named.
  std::optional<IniFile> settings_;
  std::optional<BatchRunner> batches_;
  std::optional<CommandRunner> runner_;
  std::optional<Pickers> pickers_;
  std::optional<CommandLine> commandLine_;
  std::optional<StoredCommands> storedCommands_;
  std::optional<ConsoleMode> consoleMode_;
};

}  // namespace promptella
