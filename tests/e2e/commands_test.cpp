// Running commands end to end in the real Promptella.exe: Enter, cd, drive picks, the history,
// and overlapping runs, all read back from the companion console and the files.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "mainwindow/control_ids.h"
#include "tests/e2e/driver.h"

namespace promptella::e2e {
namespace {

class Commands : public ::testing::Test {
 protected:
  void SetUp() override {
    program.start();
    ASSERT_TRUE(program.attachConsole());
  }
  void TearDown() override { program.detachConsole(); }
  std::wstring folderShown() { return program.text(program.control(ids::kFolderList)); }
  std::wstring driveShown() { return program.text(program.control(ids::kDriveList)); }

  PromptellaProcess program;
};

TEST_F(Commands, EnterRunsTheCommandInTheConsoleFromTheFolderShown) {
  program.typeCommand(L"echo hello");
  EXPECT_TRUE(program.waitForConsole(showsOutput(L"hello")));
  const std::string folder = narrowAscii(folderShown());
  EXPECT_EQ(fileBytes(program.folder() / L"~Promptella.bat"),
            "@echo off\r\n" + narrowAscii(driveShown().substr(0, 2)) + "\r\ncd \"" + folder +
                "\"\r\nif errorlevel 1 exit /b 1\r\n@echo on\r\necho hello\r\n");
  EXPECT_EQ(program.comboItems(ids::kCommandLine), std::vector<std::wstring>{L"echo hello"});
  saveScreenshot(screenshotFolder() / L"echo-hello.bmp");
}

TEST_F(Commands, CdMovesTheFolderListSavesItAndTheNextCommandRunsThere) {
  std::filesystem::create_directories(program.folder() / L"sub");
  program.typeCommand(L"cd sub");
  const std::wstring sub = (program.folder() / L"sub").wstring();
  ASSERT_TRUE(waitFor([&] { return lstrcmpiW(folderShown().c_str(), sub.c_str()) == 0; }));
  EXPECT_TRUE(iniBecomes(program.folder() / L"Promptella.ini", L"Configuration", L"Path", sub));
  // No batch of the folder list's own: the file still holds the cd command's five lines.
  EXPECT_NE(fileBytes(program.folder() / L"~Promptella.bat").find("@echo on\r\ncd sub\r\n"),
            std::string::npos);

  program.typeCommand(L"echo here> marker.txt");
  EXPECT_TRUE(
      waitFor([&] { return std::filesystem::exists(program.folder() / L"sub" / L"marker.txt"); }));
}

TEST_F(Commands, PickingADriveRunsTheDriveThenTheFolderBatch) {
  const wchar_t other = testing::otherReadyDrive();
  if (!other) GTEST_SKIP() << "needs a second ready drive";
  const std::wstring drive{other, L':'};
  ASSERT_TRUE(program.pickDrive(drive));
  EXPECT_EQ(driveShown().substr(0, 2), drive);
  EXPECT_TRUE(program.waitForConsole(holds(L">" + drive))) << [&] {
    std::string all;
    for (const auto& line : program.consoleLines()) all += narrowAscii(line) + "\n";
    return all;
  }();
  EXPECT_TRUE(waitFor([&] {
    return folderShown().rfind(std::wstring{static_cast<wchar_t>(towupper(other)), L':'}, 0) == 0;
  })) << narrowAscii(folderShown());
  EXPECT_TRUE(program.waitForConsole(holds(L"cd \"" + folderShown() + L"\"")));
  ASSERT_TRUE(program.pickDrive(L"c:"));
  EXPECT_TRUE(waitFor([&] { return folderShown().rfind(L"C:\\", 0) == 0; }));
}

// Whatever moved the lists, the next command runs in the folder they show: after a cd to a folder
// on another drive (the drive list follows), and after a drive command (the folder list follows).
TEST_F(Commands, AfterACdToAnotherDriveOrADriveCommandTheNextRunsWhereTheListsShow) {
  const wchar_t other = testing::otherReadyDrive();
  if (!other) GTEST_SKIP() << "needs a second ready drive";
  const std::wstring root{other, L':', L'\\'};
  std::error_code error;
  const std::filesystem::path base =
      std::filesystem::is_directory(root + L"tmp", error) ? root + L"tmp" : root;
  const std::filesystem::path away = base / (L"promptella-cross-" + std::to_wstring(program.pid()));
  if (!std::filesystem::create_directories(away, error))
    GTEST_SKIP() << "cannot write on the other drive";
  const auto ranIn = [&](const std::filesystem::path& where) {
    std::filesystem::remove(where / L"here.txt", error);
    program.typeCommand(L"cd>here.txt");
    return waitFor([&] { return std::filesystem::exists(where / L"here.txt"); });
  };
  program.typeCommand(L"cd " + away.wstring());
  ASSERT_TRUE(waitFor([&] { return lstrcmpiW(folderShown().c_str(), away.c_str()) == 0; }));
  EXPECT_TRUE(waitFor([&] { return towlower(driveShown()[0]) == towlower(other); }));
  EXPECT_TRUE(ranIn(away));

  program.typeCommand(L"c:");
  ASSERT_TRUE(waitFor([&] { return folderShown().rfind(L"C:\\", 0) == 0; }))
      << narrowAscii(folderShown());
  EXPECT_EQ(towlower(driveShown()[0]), L'c');
  EXPECT_TRUE(ranIn(folderShown()));
  EXPECT_TRUE(
      iniBecomes(program.folder() / L"Promptella.ini", L"Configuration", L"Path", folderShown()));
  std::filesystem::remove_all(away, error);
}

TEST_F(Commands, OverlappingCommandsDoNotRunFragmentsOfEachOther) {
  // The first batch's end is told by a file: its output may land inside the second's long echo.
  program.typeCommand(L"echo started & ping -n 3 127.0.0.1 >nul & echo first-done> first-done.txt");
  ASSERT_TRUE(program.waitForConsole(showsOutput(L"started")));
  program.typeCommand(L"echo second-done & rem " + std::wstring(150, L'x') + L" & echo fragment");
  EXPECT_TRUE(program.waitForConsole(showsOutput(L"second-done")));
  EXPECT_TRUE(waitFor([&] {
    return std::filesystem::exists(std::filesystem::path(folderShown()) / L"first-done.txt");
  }));
  program.typeCommand(L"echo all-done");  // the spare file is cleaned up once both have ended
  EXPECT_TRUE(program.waitForConsole(showsOutput(L"all-done")));
  for (const auto& line : program.consoleLines()) {
    EXPECT_NE(line, L"fragment");
    EXPECT_EQ(line.find(L"not recognized"), std::wstring::npos) << narrowAscii(line);
  }
}

TEST_F(Commands, ASecondCopyInTheSameFolderNeverRewritesTheFirstsBatch) {
  program.typeCommand(L"echo started & ping -n 3 127.0.0.1 >nul & echo first-done");
  ASSERT_TRUE(program.waitForConsole(showsOutput(L"started")));
  PromptellaProcess second(ExistingFolder{program.folder()});
  second.start();
  second.typeCommand(L"echo second-copy & rem " + std::wstring(150, L'x') + L" & echo fragment");
  EXPECT_TRUE(waitFor([&] {
    return fileBytes(program.folder() / L"~Promptella.2.bat").find("second-copy") !=
           std::string::npos;
  }));
  EXPECT_TRUE(program.waitForConsole(showsOutput(L"first-done")));
  for (const auto& line : program.consoleLines()) EXPECT_NE(line, L"fragment");
  PostMessageW(second.window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(second.waitForExit(), 0u);
  EXPECT_FALSE(std::filesystem::exists(program.folder() / L"~Promptella.2.bat"));
  EXPECT_TRUE(std::filesystem::exists(program.folder() / L"~Promptella.bat"));
}

// What the program composes means exactly the folder shown: a % is no variable, quotes are no
// part of a name.
TEST_F(Commands, AFolderWithAPercentAndAQuotedCdAreFollowed) {
  std::filesystem::create_directories(program.folder() / L"50% off" / L"Program Files");
  program.typeCommand(L"cd \"50% off\"");
  const std::wstring target = (program.folder() / L"50% off").wstring();
  ASSERT_TRUE(waitFor([&] { return lstrcmpiW(folderShown().c_str(), target.c_str()) == 0; }))
      << narrowAscii(folderShown());
  program.typeCommand(L"cd \"Program Files\"");
  const std::wstring inner = (program.folder() / L"50% off" / L"Program Files").wstring();
  ASSERT_TRUE(waitFor([&] { return lstrcmpiW(folderShown().c_str(), inner.c_str()) == 0; }))
      << narrowAscii(folderShown());
  program.typeCommand(L"echo here> marker.txt");
  EXPECT_TRUE(waitFor(
      [&] { return std::filesystem::exists(std::filesystem::path(inner) / L"marker.txt"); }));
}

// Typing offers the history and the stored commands in a list below the line, and the line keeps
// what was typed: Enter runs it as typed, even where a longer command begins with it; Down then
// Enter runs the entry chosen. Enter goes through the program's message loop, as a key does.
TEST_F(Commands, SuggestionsNeverLengthenTheTypedCommand) {
  const HWND edit = FindWindowExW(program.control(ids::kCommandLine), nullptr, L"Edit", nullptr);
  const auto type = [&](const std::wstring& text) {
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    for (const wchar_t c : text) {
      const auto key = static_cast<WPARAM>(LOBYTE(VkKeyScanW(c)));
      SendMessageW(edit, WM_KEYDOWN, key, 0);
      SendMessageW(edit, WM_CHAR, c, 0);
      SendMessageW(edit, WM_KEYUP, key, 0);
    }
    EXPECT_TRUE(waitFor([&] { return testing::popupShown(program.window()); }));
    EXPECT_EQ(program.text(edit), text);
  };
  const auto postKey = [&](UINT key) {
    PostMessageW(edit, WM_KEYDOWN, key, MAKELPARAM(1, MapVirtualKeyW(key, MAPVK_VK_TO_VSC)));
  };
  const auto historyTop = [&] { return program.comboItems(ids::kCommandLine).front(); };
  // A fresh start offers stored command 1, "dir /w"; Enter runs "dir".
  type(L"dir");
  postKey(VK_RETURN);
  ASSERT_TRUE(waitFor([&] { return program.comboItems(ids::kCommandLine).size() == 1; }));
  EXPECT_EQ(historyTop(), L"dir");
  EXPECT_TRUE(fileBytes(program.folder() / L"~Promptella.bat").ends_with("@echo on\r\ndir\r\n"));

  program.typeCommand(L"echo one>typed-long.txt");
  const std::filesystem::path folder(folderShown());
  ASSERT_TRUE(waitFor([&] { return std::filesystem::exists(folder / L"typed-long.txt"); }));
  std::filesystem::remove(folder / L"typed-long.txt");
  type(L"echo one>typed-");
  saveScreenshot(screenshotFolder() / L"suggestions.bmp");
  postKey(VK_RETURN);
  EXPECT_TRUE(waitFor([&] { return std::filesystem::exists(folder / L"typed-"); }));
  EXPECT_EQ(historyTop(), L"echo one>typed-");
  EXPECT_FALSE(std::filesystem::exists(folder / L"typed-long.txt"));
  // Enter closes the list, which does not open again over the stored-command buttons.
  EXPECT_TRUE(waitFor([&] { return !testing::popupShown(program.window()); }));

  type(L"echo one>typed-l");
  postKey(VK_DOWN);
  EXPECT_TRUE(waitFor([&] { return program.text(edit) == L"echo one>typed-long.txt"; }))
      << narrowAscii(program.text(edit));
  postKey(VK_RETURN);
  EXPECT_TRUE(waitFor([&] { return std::filesystem::exists(folder / L"typed-long.txt"); }));
  EXPECT_TRUE(waitFor([&] { return !testing::popupShown(program.window()); }));
}

// Ctrl+C and Ctrl+Break reach every process of the console: they stop the command that runs there,
// and Promptella stays and runs the next one.
TEST_F(Commands, CtrlCAndCtrlBreakStopTheCommandAndPromptellaStays) {
  const auto pingRuns = [&] {
    bool found = false;
    std::function<void(DWORD)> visit = [&](DWORD process) {
      testing::forEachChildProcess(process, [&](DWORD child) {
        found |= testing::processName(child) == L"PING.EXE";
        visit(child);
      });
    };
    visit(program.pid());
    return found;
  };
  // This process shares the console while attached to it: it stays too.
  const PHANDLER_ROUTINE stay = [](DWORD) -> BOOL { return TRUE; };
  SetConsoleCtrlHandler(stay, TRUE);
  program.typeCommand(L"ping -n 120 127.0.0.1");
  ASSERT_TRUE(waitFor(pingRuns));
  // Under Wine a generated Ctrl+C reaches Promptella but does not stop ping
  // (docs/windows-notes.md), so the wait counts on the Ctrl+Break that follows; a Ctrl+C that ended
  // Promptella has done so by then.
  GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
  GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, 0);
  EXPECT_TRUE(waitFor([&] { return !pingRuns(); }));
  SetConsoleCtrlHandler(stay, FALSE);
  EXPECT_EQ(program.waitForExit(std::chrono::milliseconds(0)), DWORD{STILL_ACTIVE});
  program.typeCommand(L"echo still-here");
  EXPECT_TRUE(program.waitForConsole(showsOutput(L"still-here")));
}

// Ctrl+C typed at the keyboard stops the interpreter's own endless loop (the batch asks whether
// to end, and is answered), and Promptella stays.
TEST_F(Commands, CtrlCTypedAtTheKeyboardStopsTheInterpretersOwnLoop) {
  const auto interpreterRuns = [&] {
    bool found = false;
    testing::forEachChildProcess(program.pid(), [&](DWORD child) {
      found |= lstrcmpiW(testing::processName(child).c_str(), L"cmd.exe") == 0;
    });
    return found;
  };
  const PHANDLER_ROUTINE stay = [](DWORD) -> BOOL { return TRUE; };
  SetConsoleCtrlHandler(stay, TRUE);
  program.typeCommand(L"echo looping& for /l %%i in (0,0,1) do @rem");
  ASSERT_TRUE(program.waitForConsole(showsOutput(L"looping")));
  ASSERT_TRUE(interpreterRuns());
  program.pressCtrlC();
  bool answered = false;
  EXPECT_TRUE(waitFor([&] {
    if (!interpreterRuns()) return true;
    const auto lines = program.consoleLines();
    if (!answered && std::any_of(lines.begin(), lines.end(), holds(L"Terminate batch job"))) {
      program.typeIntoConsole(L"y");
      answered = true;
    }
    return false;
  })) << "the loop still runs";
  SetConsoleCtrlHandler(stay, FALSE);
  EXPECT_EQ(program.waitForExit(std::chrono::milliseconds(0)), DWORD{STILL_ACTIVE});
  program.typeCommand(L"echo after-ctrl-c");
  EXPECT_TRUE(program.waitForConsole(showsOutput(L"after-ctrl-c")));
}

TEST(History, SurvivesARestartInTheSameOrder) {
  PromptellaProcess program;
  {
    program.start();
    program.typeCommand(L"echo one");
    program.typeCommand(L"echo two");
    program.typeCommand(L"echo one");  // already there: the order stays
    program.typeCommand(L"echo three");
    PostMessageW(program.window(), WM_CLOSE, 0, 0);
    ASSERT_EQ(program.waitForExit(), 0u);
  }
  program.start();
  EXPECT_EQ(program.comboItems(ids::kCommandLine),
            (std::vector<std::wstring>{L"echo three", L"echo two", L"echo one"}));
}

}  // namespace
}  // namespace promptella::e2e
