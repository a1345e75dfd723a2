// The main window's handlers: its own events (Load, Activate, Unload, File, Exit), the drive and
// folder pickers, and the command line with its history.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "console/companion_console.h"
#include "engine/batch_runner.h"
#include "engine/directory_tracking.h"
#include "mainwindow/control_ids.h"
#include "platform/app.h"
#include "platform/controls.h"
#include "platform/dialogs.h"
#include "platform/process.h"
#include "settings/file_names.h"
#include "settings/ini_file.h"

namespace promptella {

inline constexpr std::string_view kDefaultSlot0Command = "dir /w";
inline constexpr int kHistoryLimit = 20;

// The controls of the main window that the handlers work with.
struct MainControls {
  FormWindow& window;
  DriveList& Lecteurs;
  FolderList& Chemins;
  ComboBox& lstCommandes;
  std::array<Button*, ids::kSlotCount> cmdStored;
  std::array<Button*, ids::kSlotCount> cmdAdd;
  std::array<MenuItem*, ids::kSlotCount> mnuCommand;
  Label& lblModeConsole;
  std::array<Label*, 4> legends;  // lblCD, lblChdir, lblLeg1, lblLeg2
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

std::string consoleModeTitle();
std::string consoleModeNotice();

class MainForm {
 public:
  // Connects the controls' events to the handlers below.
  MainForm(MainControls controls, MainServices services);

  void Form_Load();
  void Form_Activate();
  void Form_Unload();
  void mnuExit_Click();

  void Lecteurs_Change();
  void Chemins_Change();
  void lstCommandes_KeyPress(int keyAscii);

  void cmdAdd_Click(int index);
  void cmdStored_Click(int index);
  void mnuCommand_Click(int index);
  void lblModeConsole_Click();
  void mnuAbout_Click();

  // Runs `command` from the drive and folder the pickers show, then lets the pickers follow it.
  // False (after telling the user why) when the batch could not be written or started.
  bool runCommand(std::string_view command);

  // Shows `command` in slot n: an empty command leaves the slot blank and disabled.
  void showSlot(int n, std::string_view command);
  // Empties slot n and deletes its key (the answer Yes of the clear confirmation).
  void clearSlot(int n);

  const FileNames& files() const { return files_; }
  IniFile& settings() { return *settings_; }
  BatchRunner& runner() { return *runner_; }

  bool PickerEventsEnabled = false;
  // The slot the clear confirmation asks about, and its command when it was asked.
  int PendingClearSlot = 0;
  std::string PendingClearCommand;

 private:
  void setCommandControlsEnabled(bool enabled);
  void saveHistory();

  MainControls c_;
  MainServices s_;
  FileNames files_;
  std::optional<IniFile> settings_;
  std::optional<BatchRunner> runner_;
};

}  // namespace promptella
