// The main window's own events: Load, Activate, Unload and File, Exit.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "console/companion_console.h"
#include "mainwindow/control_ids.h"
#include "platform/app.h"
#include "platform/controls.h"
#include "settings/file_names.h"
#include "settings/ini_file.h"

namespace promptella {

inline constexpr std::string_view kDefaultSlot0Command = "dir /w";

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
};

std::string numberedKey(int n);  // "Command" followed by n

class MainForm {
 public:
  MainForm(MainControls controls, Application& app, CompanionConsole& console)
      : c_(controls), app_(app), console_(console) {}

  void Form_Load();
  void Form_Activate();
  void Form_Unload();
  void mnuExit_Click();

  // Shows `command` in slot n: an empty command leaves the slot blank and disabled.
  void showSlot(int n, std::string_view command);

  const FileNames& files() const { return files_; }
  IniFile& settings() { return *settings_; }

  bool PickerEventsEnabled = false;

 private:
  MainControls c_;
  Application& app_;
  CompanionConsole& console_;
  FileNames files_;
  std::optional<IniFile> settings_;
};

}  // namespace promptella
