// Fake controls and services: plain objects that keep the controls' contracts. A list answers a
// move at once, or, delaying its answers, when the test lets them go, as a slow drive does.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "mainwindow/control_ids.h"
#include "mainwindow/layout.h"
#include "mainwindow/main_window_controller.h"
#include "platform/app.h"
#include "platform/console.h"
#include "platform/controls.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/worker.h"
#include "settings/ini_file.h"
#include "tests/support/fake_launcher.h"
#include "tests/support/tasks.h"
#include "tests/support/temp_dir.h"

namespace promptella::testing {

// Every enable and disable can be written to a shared log as "+name" or "-name".
template <typename Base>
class FakeControl : public Base {
 public:
  void setEnabled(bool enabled) override {
    enabled_ = enabled;
    if (log) log->push_back((enabled ? "+" : "-") + name);
  }
  bool enabled() const override { return enabled_; }
  std::vector<std::string>* log = nullptr;
  std::string name;

 private:
  bool enabled_ = true;
};

class FakeWindow : public FormWindow {
 public:
  void setCaption(std::string_view caption) override { caption_ = caption; }
  ScreenRect visibleFrame() const override { return frame; }
  ScreenRect frame{0, 0, 334, 520};
  void repaint() override { ++repaints; }
  void takeFocus() override { ++focusTaken; }
  std::string caption_;
  int repaints = 0, focusTaken = 0;
};

// Answers given when the test lets them go: what a slow drive or a thread does to the window.
class DelayedAnswers {
 public:
  bool delaying = false;
  // Lets the answers delayed so far go, in the order asked.
  void answer() {
    auto waiting = std::move(waiting_);
    for (const Later<bool>& later : waiting) later.give(true);
  }
  std::size_t waitingCount() const { return waiting_.size(); }

 protected:
  Task<> waitForAnswer() const {
    if (!delaying) co_return;
    const Later<bool> later;
    waiting_.push_back(later);
    static_cast<void>(co_await later);
  }

 private:
  mutable std::vector<Later<bool>> waiting_;
};

// The settings file as another copy or a hand edit meets it: read when first asked, each change
// saved at once.
inline IniFile settingsAt(const std::filesystem::path& path) {
  static InlineWorker worker;
  return IniFile(path, worker);
}

// A worker whose jobs run when the test says: what runs off the window's thread with `runJobs`,
// what comes back to the window (the queue's operations among it) with `runWindow`; `settle`
// does both until nothing is left.
class ManualWorker : public Worker {
 public:
  void run(std::function<void()> job) override { jobs.push_back(std::move(job)); }
  void toWindow(std::function<void()> job) override { window.push_back(std::move(job)); }
  Later<bool> idle(std::chrono::milliseconds) override {
    const Later<bool> idle;
    if (jobs.empty())
      idle.give(true);
    else
      idlers.push_back(idle);
    return idle;
  }
  bool waitIdle(std::chrono::milliseconds) override {
    runJobs();
    return true;
  }
  void runJobs() {
    while (!jobs.empty()) {
      const auto job = std::move(jobs.front());
      jobs.pop_front();
      job();
    }
    // Told back on the window's thread, as the real worker's idle answer is.
    for (const Later<bool>& idle : std::exchange(idlers, {})) {
      window.push_back([idle] { idle.give(true); });
    }
  }
  void runWindow() {
    while (!window.empty()) {
      const auto job = std::move(window.front());
      window.pop_front();
      job();
    }
  }
  void settle() {
    while (!jobs.empty() || !window.empty()) {
      runJobs();
      runWindow();
    }
  }
  std::deque<std::function<void()>> jobs, window;
  std::vector<Later<bool>> idlers;
};

// Drives are "c:" to "z:" names in `ready`; `labels` gives a drive's label.
class FakeDriveList : public FakeControl<DriveList>, public DelayedAnswers {
 public:
  std::string drive() const override { return current_; }
  Task<Reach> setDrive(std::string text) override {
    ++assignments;
    co_await waitForAnswer();
    co_return move(text);
  }
  // The user's pick of `drive`, ready or not: the list shows what it showed until a move.
  void pick(std::string_view drive) {
    if (drive.substr(0, 1) != current_.substr(0, 1) && onChange) onChange(std::string(drive));
  }
  std::string current_ = "c:";
  std::set<char> ready = {'c', 'z'};
  std::set<char> silent;  // drives that do not answer in time
  std::map<char, std::string> labels;
  int assignments = 0;

 private:
  Reach move(std::string_view text) {
    if (text.empty()) return {Reach::unreachable};
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    if (silent.count(letter)) return {Reach::noAnswer};
    if (!ready.count(letter)) return {Reach::unreachable};
    std::string next = std::string(1, letter) + ":";
    if (labels.count(letter)) next += " " + labels[letter];
    current_ = next;
    return {Reach::reached};
  }
};

// Folders are the set `existing`; relative paths are taken against the folder shown.
class FakeFolderList : public FakeControl<FolderList>, public DelayedAnswers {
 public:
  std::string path() const override { return current_; }
  Task<Reach> setPath(std::string text) override {
    ++assignments;
    co_await waitForAnswer();
    co_return move(text);
  }
  // The user opens `folder` in the list: false when it is not listed there.
  bool pick(std::string_view folder) {
    if (!existing.count(std::string(folder))) return false;
    if (folder != current_ && onChange) onChange(std::string(folder));
    return true;
  }
  Task<Reach> stillThere() const override {
    co_await waitForAnswer();
    if (!current_.empty() && silentDrives.count(static_cast<char>(std::tolower(current_[0])))) {
      co_return Reach{Reach::noAnswer};
    }
    co_return Reach{existing.count(current_) ? Reach::reached : Reach::unreachable};
  }
  std::string current_ = "C:\\";
  std::set<std::string> existing = {"C:\\", "C:\\Temp", "Z:\\"};
  std::set<char> silentDrives;  // drives whose folders do not answer in time
  std::map<std::string, std::string> currentOnDrive;
  int assignments = 0;

 private:
  Reach move(std::string next) {
    if (next.size() == 2 && next[1] == ':') {
      next = currentOnDrive.count(next)
                 ? currentOnDrive[next]
                 : std::string(1, static_cast<char>(std::toupper(next[0]))) + ":\\";
    }
    if (!next.empty() && silentDrives.count(static_cast<char>(std::tolower(next[0])))) {
      return {Reach::noAnswer};
    }
    if (!existing.count(next)) return {Reach::unreachable};
    current_ = next;
    return {Reach::reached};
  }
};

class FakeComboBox : public FakeControl<ComboBox> {
 public:
  std::string text() const override { return text_; }
  void setText(std::string_view text) override { text_ = text; }
  int count() const override { return static_cast<int>(items.size()); }
  std::string item(int index) const override { return items.at(static_cast<std::size_t>(index)); }
  void insertItem(int index, std::string_view text) override {
    items.insert(items.begin() + index, std::string(text));
  }
  void removeItem(int index) override { items.erase(items.begin() + index); }
  std::string text_;
  std::vector<std::string> items;
};

class FakeButton : public FakeControl<Button> {
 public:
  std::string caption() const override { return caption_; }
  void setCaption(std::string_view caption) override { caption_ = caption; }
  void setToolTip(std::string_view text) override { toolTip_ = text; }
  void setAccessibleName(std::string_view text) override { accessibleName = text; }
  std::string caption_, toolTip_, accessibleName;
};

class FakeMenuItem : public FakeControl<MenuItem> {};

class FakeLabel : public FakeControl<Label> {
 public:
  void setCaption(std::string_view caption) override { caption_ = caption; }
  std::string caption_;
};

class FakeMessageBoxService : public MessageBoxService {
 public:
  void show(std::string_view text) override {
    shown.emplace_back(text);
    if (log) log->push_back("message");
  }
  std::vector<std::string> shown;
  std::vector<std::string>* log = nullptr;  // e.g. the console calls, to see what came first
};

class FakeApplication : public Application {
 public:
  explicit FakeApplication(std::filesystem::path folder) : folder_(std::move(folder)) {}
  std::string folder() const override { return folder_.string(); }
  void terminate(int exitCode) override {
    if (onTerminate) onTerminate();
    exitCodes.push_back(exitCode);
  }
  std::function<void()> onTerminate;  // the last moment of the process
  bool folderWritable(const std::string& folder) const override {
    return !readOnly.count(folder) && std::filesystem::is_directory(folder);
  }
  bool folderPrivate(const std::string& folder) const override { return !shared.count(folder); }
  std::string canonicalFolder(const std::string& folder) const override {
    const auto found = canonical.find(folder);
    return found == canonical.end() ? folder : found->second;
  }
  std::optional<std::string> localDataFolder() const override {
    if (dataFolder.empty()) return std::nullopt;
    return dataFolder.string();
  }
  bool claim(const std::string& name) override {
    if (claimed(name)) return false;
    claimedHere.insert(name);
    return true;
  }
  bool claimed(const std::string& name) const override {
    return claimedHere.count(name) || claimedByOthers.count(name);
  }
  std::string startArguments() const override { return arguments; }
  Task<std::optional<std::string>> folderToStartOn(std::string path) const override {
    const auto found = startFolders.find(path);
    if (found == startFolders.end()) co_return std::nullopt;
    co_return found->second;
  }
  std::filesystem::path folder_;
  std::string arguments;
  std::map<std::string, std::string> startFolders;  // paths given to start on, and their folders
  std::vector<int> exitCodes;
  std::set<std::string> readOnly;                // folders that take no new files
  std::set<std::string> shared;                  // folders where other users may change files
  std::map<std::string, std::string> canonical;  // folders reached by another name
  std::filesystem::path dataFolder;
  std::set<std::string> claimedHere,
      claimedByOthers;  // names claimed by this copy and by other copies
};

// Records every console call in order, as text, so tests can check the order of the set-up.
class FakeConsoleApi : public ConsoleApi {
 public:
  void lockScreenUpdates() override { calls.push_back("lock"); }
  void unlockScreenUpdates() override { calls.push_back("unlock"); }
  bool allocConsole() override {
    calls.push_back("alloc");
    return allocFailures-- <= 0;
  }
  ConsoleHandle standardOutput() override {
    calls.push_back("stdout");
    return output;
  }
  ConsoleHandle standardInput() override {
    calls.push_back("stdin");
    return input;
  }
  void setTitle(std::string_view title) override { calls.push_back("title " + std::string(title)); }
  void setInputMode(ConsoleHandle handle, unsigned mode) override {
    calls.push_back("mode " + std::to_string(handle) + " " + std::to_string(mode));
  }
  void write(ConsoleHandle handle, std::string_view text) override {
    calls.push_back("write " + std::to_string(handle) + " " + std::string(text));
  }
  WindowHandle findWindow(std::string_view className, std::string_view title) override {
    calls.push_back("find " + std::string(className) + " " + std::string(title));
    return ttyWindow;
  }
  WindowHandle ownConsoleWindow() override {
    calls.push_back("own");
    return ownWindow;
  }
  ScreenRect windowRect(WindowHandle window) override {
    calls.push_back("rect " + std::to_string(window));
    return rect;
  }
  ScreenRect visibleFrame(WindowHandle) override { return visible.value_or(rect); }
  std::string windowClass(WindowHandle) override { return consoleClass; }
  void moveWindow(WindowHandle window, int x, int y, int width, int height) override {
    calls.push_back("move " + std::to_string(window) + " " + std::to_string(x) + "," +
                    std::to_string(y) + " " + std::to_string(width) + "x" + std::to_string(height));
  }
  // Delivers what Windows delivers in line mode with processed input off: each line of `lines`
  // followed by a lone CR (or `lineEnd`), in reads of at most 256 characters that never pass a
  // line end.
  Task<std::optional<std::string>> readChunk(ConsoleHandle handle) override {
    if (typed.empty()) {
      calls.push_back("read " + std::to_string(handle));
      if (onRead) onRead();
      if (lines.empty()) co_return std::nullopt;
      typed = lines.front() + lineEnd;
      lines.erase(lines.begin());
    }
    std::size_t end = typed.find('\r');
    end = end == std::string::npos ? typed.size() : end + (typed.compare(end, 2, "\r\n") ? 1 : 2);
    const std::string chunk = typed.substr(0, std::min<std::size_t>(end, 256));
    typed.erase(0, chunk.size());
    co_return chunk;
  }
  void closeHandle(ConsoleHandle handle) override {
    calls.push_back("close " + std::to_string(handle));
  }
  void freeConsole() override { calls.push_back("free"); }
  void destroyWindow(WindowHandle window) override {
    calls.push_back("destroy " + std::to_string(window));
  }

  std::vector<std::string> calls;
  int allocFailures = 0;  // how many allocations fail before one succeeds
  ConsoleHandle output = 11, input = 10;
  WindowHandle ttyWindow = 0, ownWindow = 77;
  ScreenRect rect{100, 200, 740, 600};
  std::optional<ScreenRect> visible;  // the rectangle itself when not set
  std::string consoleClass = "ConsoleWindowClass";
  std::vector<std::string> lines;
  std::string lineEnd = "\r";
  std::string typed;             // typed but not read yet
  std::function<void()> onRead;  // runs at every read, before the line is given
};

// The clear confirmation as a test answers it. `answer` runs once the dialog is loaded.
class FakeYesNoView : public YesNoView {
 public:
  void setTitle(std::string_view text) override { title = text; }
  void setQuestion(std::string_view text) override { question = text; }
  void setCommand(std::string_view text) override { command = text; }
  void unload() override { unloaded = true; }
  std::string title, question, command;
  bool unloaded = false;
};

class FakeAboutView : public AboutView {
 public:
  void setCredit(std::string_view text) override { credit = text; }
  void setLink(std::string_view text) override { link = text; }
  void unload() override { unloaded = true; }
  std::string credit, link;
  bool unloaded = false;
};

class FakeDialogs : public DialogService {
 public:
  enum class Answer { Yes, No, None };
  void showYesNo(const std::function<void(YesNoView&)>& load) override {
    FakeYesNoView view;
    load(view);
    shownYesNo.push_back(view);
    if (answer == Answer::Yes) view.onYes();
    if (answer == Answer::No) view.onNo();  // No, Esc and the close button alike
    shownYesNo.back().unloaded = view.unloaded;
  }
  void showAbout(const std::function<void(AboutView&)>& load) override {
    FakeAboutView view;
    load(view);
    if (clickLink) view.onLink();
    view.onOk();
    shownAbout.push_back(view);
  }
  Answer answer = Answer::None;
  bool clickLink = false;
  std::vector<FakeYesNoView> shownYesNo;
  std::vector<FakeAboutView> shownAbout;
};

// Opens a document as the shell's "Open" does: with no parameters, shown normally.
class FakeShell : public Shell {
 public:
  Outcome execute(std::string_view operation, std::string_view document,
                  std::string_view parameters, std::string_view, int show) override {
    if (operation != "Open" || !parameters.empty() || show != 1) return Outcome::failed("refused");
    opened.emplace_back(document);
    return Outcome::success();
  }
  std::vector<std::string> opened;
};

// A main window made of fakes, with its controller.
struct FakeMainWindow {
  // `manual`: the worker's jobs, and the window's operations, run when the test says.
  explicit FakeMainWindow(const std::filesystem::path& folder, bool manual = false)
      : app(folder), worker(manual ? static_cast<Worker&>(manualWorker) : inlineWorker) {}

  // Writes `ini` as the settings file when it is not empty, then loads the window and, unless
  // told not to, activates it as its first show does.
  void start(std::string_view ini = {}, bool activate = true) {
    if (!ini.empty()) writeBytes(app.folder_ / "Promptella.ini", ini);
    controller.load();
    if (activate) controller.activate();
  }

  // Runs `command` as Enter in the command line does.
  void enter(std::string_view command) {
    commandLine.setText(command);
    commandLine.onKey(Key::Enter);
  }
  // The batch file that commands run from: the one a run of "ver" is started with.
  std::filesystem::path batchFileOfARun() {
    enter("ver");
    return pathFromUtf8(launcher.starts.back().file);
  }
  // A value as the settings file in `folder` (the program's when empty) holds it.
  std::optional<std::string> saved(std::string_view section, std::string_view key,
                                   const std::filesystem::path& folder = {}) const {
    return settingsAt((folder.empty() ? app.folder_ : folder) / "Promptella.ini")
        .readValue({std::string(section), std::string(key)});
  }

  // Names the controls and has them log their enabling into `log`.
  void logEnabling() {
    const auto name = [&](auto& control, std::string text) {
      control.name = std::move(text);
      control.log = &log;
    };
    name(drives, "drives");
    name(folders, "folders");
    name(commandLine, "commandLine");
    name(consoleLink, "consoleLink");
    const char* legendNames[] = {"cdLabel", "chdirLabel", "commandLegend", "storeLegend"};
    for (std::size_t i = 0; i < legends.size(); ++i) name(legends[i], legendNames[i]);
    for (std::size_t i = 0; i < stored.size(); ++i) {
      name(add[i], "storeButton" + std::to_string(i));
      name(stored[i], "slotButton" + std::to_string(i));
      name(menu[i], "menuItem" + std::to_string(i));
    }
  }

  MainControls controls() {
    std::map<int, Control*> byId = {
        {ids::kDriveList, &drives},        {ids::kFolderList, &folders},
        {ids::kCommandLine, &commandLine}, {ids::kConsoleLink, &consoleLink},
        {ids::kLabelCd, &legends[0]},      {ids::kLabelChdir, &legends[1]},
        {ids::kLabelLegend1, &legends[2]}, {ids::kLabelLegend2, &legends[3]}};
    for (std::size_t i = 0; i < stored.size(); ++i) {
      const int slot = static_cast<int>(i);
      byId[ids::kSlotButtonFirst + slot] = &stored[i];
      byId[ids::kStoreButtonFirst + slot] = &add[i];
      byId[ids::kMenuRunFirst + slot] = &menu[i];
    }
    // A control that no test names yet gets a fake of its kind, so a new row needs nothing here.
    for (const auto& row : layout::controls()) {
      if (!byId.count(row.id)) byId[row.id] = extras.emplace_back(fakeOfKind(row.kind)).get();
    }
    byId_ = byId;
    return MainControls(window, std::move(byId));
  }
  // The fake of the control with `id`, of the type its kind makes.
  template <typename Fake>
  Fake& control(int id) {
    return dynamic_cast<Fake&>(*byId_.at(id));
  }
  static std::unique_ptr<Control> fakeOfKind(layout::Kind kind) {
    switch (kind) {
      case layout::Kind::Text:
      case layout::Kind::Link:
        return std::make_unique<FakeLabel>();
      case layout::Kind::DriveList:
        return std::make_unique<FakeDriveList>();
      case layout::Kind::FolderList:
        return std::make_unique<FakeFolderList>();
      case layout::Kind::CommandLine:
        return std::make_unique<FakeComboBox>();
      case layout::Kind::SlotButton:
      case layout::Kind::StoreButton:
      case layout::Kind::PushButton:
        break;
    }
    return std::make_unique<FakeButton>();
  }
  std::map<int, Control*> byId_;
  std::vector<std::unique_ptr<Control>> extras;

  FakeWindow window;
  FakeDriveList drives;
  FakeFolderList folders;
  FakeComboBox commandLine;
  std::array<FakeButton, kSlotCount> stored, add;
  std::array<FakeMenuItem, kSlotCount> menu;
  FakeLabel consoleLink;
  std::array<FakeLabel, 4> legends;
  FakeApplication app;
  FakeConsoleApi consoleApi;
  FakeMessageBoxService messages;
  CompanionConsole console{consoleApi};
  FakeLauncher launcher;
  FakeDialogs dialogs;
  FakeShell shell;
  std::vector<std::string> log;
  InlineWorker inlineWorker;
  ManualWorker manualWorker;
  Worker& worker;
  MainWindowController controller{controls(),
                                  {app, console, messages, launcher, dialogs, shell, worker}};
};

// The fixture of the suites that drive the main window's handlers: a window of fakes whose
// program folder is a fresh temporary folder.
class WindowTest : public ::testing::Test {
 protected:
  // Loads the window from `ini` (no settings file when empty), with C:\Temp among the folders,
  // and activates it as its first show does.
  void load(std::string_view ini = {}) {
    w.folders.existing.insert("C:\\Temp");
    w.start(ini);
  }

  TempDir dir;
  FakeMainWindow w{dir.path()};
};

}  // namespace promptella::testing
