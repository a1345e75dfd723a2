// Start-up, activation and shut-down of the main window.
#include "mainwindow/main_window_controller.h"

#include <algorithm>
#include <utility>

#include "about/about_box.h"
#include "engine/batch_runner.h"
#include "mainwindow/start_arguments.h"
#include "platform/files.h"
#include "platform/interpreter.h"

namespace promptella {
namespace {

std::vector<Control*> commandControlsOf(const MainControls& c) {
  std::vector<Control*> controls = {&c.drives, &c.folders, &c.commandLine};
  controls.insert(controls.end(), c.legends.begin(), c.legends.end());
  return controls;
}

}  // namespace

// The subsystems that handle the controls, made together once the files are named.
struct MainWindowController::Subsystems {
  Subsystems(const MainControls& c, const MainServices& s, MessageBoxService& messages,
             const FileNames& files, OperationQueue& operations)
      : settings(pathFromUtf8(files.settingsFile), s.worker),
        batches(files.batchFile ? std::optional(pathFromUtf8(*files.batchFile)) : std::nullopt,
                s.launcher),
        folder(c.drives, c.folders, batches),
        runner(batches, folder, messages),
        pickers(c.drives, c.folders, folder, settings, messages, operations),
        commandLine(c.commandLine, runner, settings, operations),
        storedCommands(c.slotButtons, c.storeButtons, c.menuItems, c.commandLine, runner, settings,
                       s.dialogs, operations),
        consoleMode(
            c.consoleLink, commandControlsOf(c),
            [this](bool enabled) { storedCommands.setEnabled(enabled); }, s.console, runner,
            c.window, messages, operations) {}

  IniFile settings;
  BatchRunner batches;
  WorkingFolder folder;
  CommandRunner runner;
  Pickers pickers;
  CommandLine commandLine;
  StoredCommands storedCommands;
  ConsoleMode consoleMode;
};

void DeferredMessages::show(std::string_view text) {
  if (deferring_) {
    deferred_.emplace_back(text);
  } else {
    shown_.show(text);
  }
}

void DeferredMessages::release() {
  deferring_ = false;
  for (const std::string& text : std::exchange(deferred_, {})) shown_.show(text);
}

MainWindowController::MainWindowController(MainControls controls, MainServices services)
    : controls_(controls),
      services_(services),
      messages_(services.messages),
      operations_([&worker = services.worker](std::function<void()> job) {
        worker.toWindow(std::move(job));
      }) {}

MainWindowController::~MainWindowController() = default;

void MainWindowController::load() {
  MainControls& c = controls_;
  c.window.setCaption(std::string(kProductName) + " " + std::string(kVersion));
  const FileFolders folders = chooseFileFolders(services_.app);
  files_ = {folders.batches ? std::optional(claimBatchFile(services_.app, *folders.batches))
                            : std::nullopt,
            settingsFileIn(folders.settings)};
  removeLeftTemporaryFiles(pathFromUtf8(files_.settingsFile));
  // The screen's updates may be deferred until the console is placed (it is made while the
  // window is built).
  messages_.defer();
  loaded_ = std::make_unique<Subsystems>(c, services_, messages_, files_, operations_);
  loaded_->runner.onFolderMoved = [this] { loaded_->pickers.saveFolder(); };
  loaded_->settings.onHeld = [this](const std::string& what) {
    messages_.show("Couldn't save " + what + ": " + files_.settingsFile +
                   " is in use by another program. Promptella will save it as soon as "
                   "the file is free.");
  };
  loaded_->settings.onFailed = [this](const std::string& what, Replaced why) {
    messages_.show("Couldn't save " + what + ": " + files_.settingsFile +
                   (why == Replaced::denied
                        ? " cannot be changed (it is read-only, or you may not replace it)."
                        : " could not be written (is the disk full?).") +
                   " Promptella keeps the change only until it is closed, and does not say so "
                   "again for the next changes.");
  };
  // The history shows other copies' commands once a save has brought them in.
  loaded_->settings.onSaved = [this] { loaded_->commandLine.loadHistory(); };
  // What an earlier run could not save before it ended goes in first: a folder given on the
  // command line comes after it.
  for (const std::string& file : loaded_->settings.saveKeptChanges()) {
    messages_.show("Couldn't read the changes that Promptella kept for this start in " + file +
                   ": the file is damaged or incomplete. None of them was saved; the file is set "
                   "aside as " +
                   file + ".bad.");
  }
  if (const StartRequest request = parseStartArguments(services_.app.startArguments());
      request.kind == StartRequest::Kind::folder) {
    operations_.add([this, given = request.folder] { return startOnGivenFolder(given); });
  }
  loaded_->storedCommands.load();
  loaded_->commandLine.loadHistory();
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
  if (const Outcome opened = services_.console.open(c.window); !opened.succeeded()) {
    messages_.show(*opened.failure);
  }
  messages_.release();
}

Task<> MainWindowController::startOnGivenFolder(std::string given) {
  const auto folder = co_await services_.app.folderToStartOn(given);
  // The interpreter cannot make a network path its current folder: kept, it would be refused at
  // every start.
  if (folder && isNetworkPath(*folder)) {
    messages_.show("Couldn't open the folder " + *folder + ": " +
                   std::string(kNetworkFolderReason) +
                   " and open it there. Promptella starts on the last folder.");
    co_return;
  }
  // Saved as a pick in the lists saves it, so the first activation moves the lists there.
  if (folder) {
    loaded_->settings.writeValue(setting::folder(), *folder);
    co_return;
  }
  messages_.show("Couldn't open the folder " + given +
                 ": it does not exist or cannot be read. Promptella starts on the last "
                 "folder.");
}

void MainWindowController::activate() {
  if (loaded_) operations_.add([this] { return restoreSavedFolder(); });
}

Task<> MainWindowController::restoreSavedFolder() {
  // The saved folder as the file holds it now (another copy may have saved one), read off the
  // window's thread.
  static_cast<void>(co_await loaded_->settings.refresh());
  co_await loaded_->pickers.restoreSavedFolder();
}

void MainWindowController::unload() {
  if (loaded_) {
    operations_.add([this] { return close(); });
    return;
  }
  services_.console.close();
  services_.app.terminate(0);
}

Task<> MainWindowController::close() {
  co_await saveBeforeEnding();
  // A missing or busy file is no reason to stay; the next start's clean-up takes what is left.
  if (files_.batchFile) static_cast<void>(removeFile(pathFromUtf8(*files_.batchFile)));
  loaded_->batches.removeFinishedSpareFiles();
  services_.console.close();
  services_.app.terminate(0);
}

void MainWindowController::exit() {
  if (loaded_) {
    operations_.add([this] { return exitNow(); });
    return;
  }
  services_.app.terminate(0);
}

Task<> MainWindowController::exitNow() {
  co_await saveBeforeEnding();
  services_.app.terminate(0);
}

void MainWindowController::endSession() {
  if (loaded_) {
    // Kept first, a small local write: the system may end the process at any moment now. Saved
    // after all, the kept changes are taken back.
    IniFile& settings = loaded_->settings;
    static_cast<void>(settings.keepPendingForNextStart());  // failing too, nothing more can be done
    loaded_->batches.removeAllFiles();
    if (settings.flushBlocking(kSaveAtSessionEndWait)) {
      static_cast<void>(settings.keepPendingForNextStart());
    }
  }
  services_.app.terminate(0);
}

Task<> MainWindowController::saveBeforeEnding() {
  IniFile& settings = loaded_->settings;
  const bool saved = co_await settings.flush(kSaveAtEndWait);
  if (saved) co_return;
  const std::string what = settings.unsavedChanges();
  if (what.empty()) co_return;  // given up as unsavable meanwhile, and told
  const bool kept = settings.keepPendingForNextStart();
  messages_.show("Couldn't save " + what + ": " + files_.settingsFile +
                 " is still in use by another program." +
                 (kept ? " Promptella will save it when it next starts." : " The change is lost."));
}

void MainWindowController::showAbout() {
  AboutBox::show(services_.dialogs, services_.shell);
}

}  // namespace promptella
