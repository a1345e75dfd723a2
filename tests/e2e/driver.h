// Drives the real Promptella.exe from outside, as a user or an automation script would: starts it
// in a temporary folder, finds its windows, reads its controls and its console, saves screenshots.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/support/win32_support.h"

namespace promptella::e2e {

using testing::fileBytes;
using testing::iniBecomes;
using testing::iniValue;
using testing::narrowAscii;
using testing::waitFor;

// A folder prepared elsewhere that already holds Promptella.exe; it is left as it is.
struct ExistingFolder {
  std::filesystem::path path;
};

class PromptellaProcess {
 public:
  // Copies Promptella.exe into a fresh folder, writes `ini` there as Promptella.ini when not empty.
  explicit PromptellaProcess(const std::string& ini = {});
  explicit PromptellaProcess(ExistingFolder folder);
  ~PromptellaProcess();

  const std::filesystem::path& folder() const { return folder_; }
  // Starts the program with `workingFolder` (its folder when empty) as current folder and waits
  // until its main window is shown and its console placed.
  void start(const std::filesystem::path& workingFolder = {});
  // Starts the program with `arguments` after its name, from its folder, without waiting.
  void launch(const std::wstring& arguments);
  // Waits until the main window is shown; false when it did not show in time.
  bool waitUntilShown(std::chrono::milliseconds deadline = std::chrono::seconds(20));
  DWORD pid() const { return info_.dwProcessId; }
  // Ends the program at once, as a crash or the task manager would.
  void kill();
  HWND window() const { return window_; }
  HWND control(int id) const { return GetDlgItem(window_, id); }
  std::wstring text(HWND control) const;
  std::vector<std::wstring> comboItems(int id) const;
  std::wstring toolTip(HWND button) const;

  // Types `text` into the command line as keystrokes, then Enter.
  void typeCommand(const std::wstring& text);
  // Brings the main window to the front with the keyboard focus on control `id`, as a click
  // would.
  void focus(int id) const;
  // Presses keys through the system's input (SendInput) as fingers do, into the window that has
  // the focus: each character of `text` with Shift where the keyboard needs it, '\n' as Enter.
  // The program takes them in the order pressed, after the messages already in its queue: wait
  // for what they do.
  void pressKeys(const std::wstring& text) const;
  // One key, with the modifier keys `held` (VK_SHIFT, VK_MENU, VK_CONTROL) down around it.
  void pressKey(WORD key, std::initializer_list<WORD> held = {}) const;
  // Picks entry `text` (its first characters) of the drive list as a user would.
  bool pickDrive(const std::wstring& text);

  // Sends a click of control `id` of the main window as the button or label would.
  void click(int id);
  // Chooses a menu entry (or presses its shortcut) through the message queue.
  void postMenu(int id);
  // Waits for a dialog of the program with this title; null when none appears in time.
  HWND waitForDialog(const std::wstring& title,
                     std::chrono::milliseconds deadline = std::chrono::seconds(30)) const;

  // Attaches to the program's console; leaves it again in detachConsole.
  bool attachConsole();
  void detachConsole();
  std::wstring consoleLine(int row) const;
  // Types `text` and Enter into the attached console's input, as a user at the console would.
  void typeIntoConsole(const std::wstring& text) const;
  // Presses Ctrl+C in the attached console as a keyboard does: the key records of Ctrl and C,
  // the C carrying the character 0x03.
  void pressCtrlC() const;
  // Every row of the console from the top to the cursor, trailing blanks removed.
  std::vector<std::wstring> consoleLines() const;
  // Waits until a console row satisfies `match`.
  bool waitForConsole(const std::function<bool(const std::wstring&)>& match,
                      std::chrono::milliseconds deadline = std::chrono::seconds(30)) const;

  // Ends: the exit code, or STILL_ACTIVE when it did not end in time.
  DWORD waitForExit(std::chrono::milliseconds deadline = std::chrono::seconds(20));

 private:
  void startWith(const std::wstring& arguments, const std::filesystem::path& workingFolder);
  void release();

  std::filesystem::path folder_;
  bool ownsFolder_ = true;
  PROCESS_INFORMATION info_{};
  HWND window_ = nullptr;
};

// Console rows to wait for. Batches that overlap write into the one console, so a row may also
// hold another batch's output: a row is taken when it holds the text.
std::function<bool(const std::wstring&)> holds(const std::wstring& text);
// A row that shows `text` as a command's output: it holds the text, but not as part of the echoed
// command "echo <text>".
std::function<bool(const std::wstring&)> showsOutput(const std::wstring& text);

// The folder of the running test or benchmark executable (where Promptella.exe is built too).
std::filesystem::path executableFolder();

// The text of a message box.
std::wstring messageText(HWND box);

// Saves the whole screen as a BMP file.
bool saveScreenshot(const std::filesystem::path& file);
std::filesystem::path screenshotFolder();

}  // namespace promptella::e2e
