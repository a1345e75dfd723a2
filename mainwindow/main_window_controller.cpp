// Start-up, activation and shut-down of the main window.
#include "mainwindow/main_window_controller.h"

#include <algorithm>

#include "about/about_box.h"
#include "mainwindow/start_arguments.h"
#include "platform/files.h"

namespace promptella {

void MainWindowController::load() {
  MainControls& c = controls_;
  c.window.setCaption(std::string(kProductName) + " " + std::string(kVersion));
  const FileFolders folders = chooseFileFolders(services_.app);
  files_ = {claimBatchFile(services_.app, folders.batches), settingsFileIn(folders.settings)};
  removeLeftTemporaryFiles(pathFromUtf8(files_.settingsFile));
  settings_.emplace(pathFromUtf8(files_.settingsFile));
  settings_->onHeld = [this](const std::string& what) {
    services_.messages.show("Couldn't save " + what + ": " + files_.settingsFile +
                            " is in use by another program. Promptella will save it as soon as "
                            "the file is free.");
  };
  startOnGivenFolder();
  batches_.emplace(pathFromUtf8(files_.batchFile), services_.launcher);
  runner_.emplace(*batches_, c.drives, c.folders, guard_, services_.messages);
  pickers_.emplace(c.drives, c.folders, *batches_, *settings_, guard_, services_.messages);
  commandLine_.emplace(c.commandLine, *runner_, *settings_);
  storedCommands_.emplace(c.slotButtons, c.storeButtons, c.menuItems, c.commandLine, *runner_,
                          *settings_, services_.dialogs);
  std::vector<Control*> commandControls = {&c.drives, &c.folders, &c.commandLine};
  commandControls.insert(commandControls.end(), c.legends.begin(), c.legends.end());
  consoleMode_.emplace(
      c.consoleLink, std::move(commandControls),
      [this](bool enabled) { storedCommands_->setEnabled(enabled); }, services_.console, *runner_,
      c.window, services_.messages);

  storedCommands_->load();
  commandLine_->loadHistory();
  // Offered while typing: the history, newest first, then the stored commands.
  c.commandLine.suggestions = [&c] {
    std::vector<std::string> entries;
    const auto add = [&](std::string entry) {
      if (!entry.empty() && std::find(entries.begin(), entries.end(), entry) == entries.end()) {
        entries.push_back(std::move(entry));
      }
    };
    for (int i = 0; i < c.commandLine.count(); ++i) add(c.commandLine.item(i));
    for (const Button* slot : c.slotButtons) add(slot->caption());
    return entries;
  };
  services_.console.open(c.window);
}

void MainWindowController::startOnGivenFolder() {
  const StartRequest request = parseStartArguments(services_.app.startArguments());
  if (request.kind != StartRequest::Kind::folder) return;
  // Saved as a pick in the lists saves it, so the first activation moves the lists there.
  if (const auto folder = services_.app.folderToStartOn(request.folder)) {
    // A file held by another program keeps the change pending, and the user is told.
    static_cast<void>(settings_->writeValue("Configuration", "Path", *folder));
    return;
  }
  services_.messages.show("Couldn't open the folder " + request.folder +
                          ": it does not exist or cannot be read. Promptella starts on the last "
                          "folder.");
}

void MainWindowController::activate() {
  // A change kept out by another program's hold is saved once the file is free; until then the
  // reads below see it all the same.
  static_cast<void>(settings_->savePending());
  pickers_->restoreSavedFolder();
}

void MainWindowController::unload() {
  // A missing or busy file is no reason to stay; the next start's clean-up takes what is left.
  static_cast<void>(removeFile(pathFromUtf8(files_.batchFile)));
  batches_->removeFinishedSpareFiles();
  services_.console.close();
  services_.app.terminate(0);
}

void MainWindowController::endSession() {
  if (batches_) batches_->removeAllFiles();
}

void MainWindowController::exit() {
  services_.app.terminate(0);
}

void MainWindowController::showAbout() {
  AboutBox::show(services_.dialogs, services_.shell);
}

}  // namespace promptella
