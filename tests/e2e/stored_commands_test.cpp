// Stored commands, the clear confirmation, console mode and the About box in the real program.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "mainwindow/control_ids.h"
#include "product.h"
#include "tests/e2e/driver.h"

namespace promptella::e2e {
namespace {

int countLines(const PromptellaProcess& program, const std::wstring& text) {
  const auto lines = program.consoleLines();
  return static_cast<int>(std::count(lines.begin(), lines.end(), text));
}

void setCommandLine(PromptellaProcess& program, const std::wstring& text) {
  SendMessageW(program.control(ids::kCommandLine), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(text.c_str()));
}

TEST(StoredCommands, StoreRestartRunByButtonMenuAndKeyThenClear) {
  PromptellaProcess program;
  program.start();
  setCommandLine(program, L"echo stored-run");
  program.click(ids::kStoreButtonFirst + 3);
  ASSERT_TRUE(waitFor([&] {
    return program.text(program.control(ids::kSlotButtonFirst + 3)) == L"echo stored-run";
  }));
  EXPECT_TRUE(iniBecomes(program.folder() / L"Promptella.ini", L"StoredCommands", L"Command3",
                         L"echo stored-run"));
  PostMessageW(program.window(), WM_CLOSE, 0, 0);
  ASSERT_EQ(program.waitForExit(), 0u);

  program.start();
  ASSERT_TRUE(program.attachConsole());
  EXPECT_EQ(program.text(program.control(ids::kSlotButtonFirst + 3)), L"echo stored-run");
  EXPECT_TRUE(IsWindowEnabled(program.control(ids::kSlotButtonFirst + 3)));
  saveScreenshot(screenshotFolder() / L"stored-commands.bmp");

  program.click(ids::kSlotButtonFirst + 3);
  EXPECT_TRUE(waitFor([&] { return countLines(program, L"stored-run") >= 1; }));
  program.postMenu(ids::kMenuRunFirst + 3);
  EXPECT_TRUE(
      waitFor([&] { return countLines(program, L"stored-run") >= 2; }, std::chrono::seconds(5)))
      << [&] {
           std::string all;
           for (const auto& line : program.consoleLines()) all += narrowAscii(line) + "\n";
           return all;
         }();
  PostMessageW(program.window(), WM_KEYDOWN, VK_F4, 0);
  EXPECT_TRUE(waitFor([&] { return countLines(program, L"stored-run") >= 3; }));
  EXPECT_EQ(program.text(program.control(ids::kCommandLine)), L"echo stored-run");
  EXPECT_TRUE(program.comboItems(ids::kCommandLine).empty());
  PostMessageW(program.window(), WM_KEYDOWN, VK_F2, 0);  // an empty slot: nothing runs
  program.postMenu(ids::kMenuRunFirst + 3);
  EXPECT_TRUE(waitFor([&] { return countLines(program, L"stored-run") >= 4; }));
  EXPECT_EQ(countLines(program, L"stored-run"), 4);

  // Clearing: the dialog answered with Esc leaves the slot; answered with Enter clears it.
  setCommandLine(program, L"");
  program.click(ids::kStoreButtonFirst + 3);
  HWND dialog = program.waitForDialog(
      (std::wstring(kProductNameWide) + L" - " + std::wstring(kVersion.begin(), kVersion.end())));
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(program.text(GetDlgItem(dialog, ids::kClearQuestion)), L"Clear command #4 ?");
  EXPECT_EQ(program.text(GetDlgItem(dialog, ids::kClearCommand)), L"echo stored-run");
  saveScreenshot(screenshotFolder() / L"clear-dialog.bmp");
  PostMessageW(GetDlgItem(dialog, ids::kClearYes), WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(waitFor([&] { return !IsWindow(dialog); }));
  EXPECT_EQ(program.text(program.control(ids::kSlotButtonFirst + 3)), L"echo stored-run");
  EXPECT_TRUE(iniBecomes(program.folder() / L"Promptella.ini", L"StoredCommands", L"Command3",
                         L"echo stored-run"));

  program.click(ids::kStoreButtonFirst + 3);
  dialog = program.waitForDialog(
      (std::wstring(kProductNameWide) + L" - " + std::wstring(kVersion.begin(), kVersion.end())));
  ASSERT_NE(dialog, nullptr);
  PostMessageW(GetDlgItem(dialog, ids::kClearYes), WM_KEYDOWN, VK_RETURN, 0);
  ASSERT_TRUE(waitFor([&] { return !IsWindow(dialog); }));
  EXPECT_TRUE(
      waitFor([&] { return program.text(program.control(ids::kSlotButtonFirst + 3)).empty(); }));
  EXPECT_FALSE(IsWindowEnabled(program.control(ids::kSlotButtonFirst + 3)));
  EXPECT_TRUE(
      iniBecomes(program.folder() / L"Promptella.ini", L"StoredCommands", L"Command3", L""));
  program.detachConsole();
}

TEST(ConsoleMode, LinesTypedInTheConsoleRunUntilHalt) {
  PromptellaProcess program("[StoredCommands]\r\nCommand2=ver\r\n");
  std::filesystem::create_directories(program.folder() / L"sub");
  program.start();
  ASSERT_TRUE(program.attachConsole());
  program.click(ids::kConsoleLink);
  const HWND notice = program.waitForDialog(L"Promptella");
  ASSERT_NE(notice, nullptr);
  EXPECT_FALSE(IsWindowEnabled(program.window())) << "the notice is modal";
  EXPECT_FALSE(IsWindowEnabled(program.control(ids::kCommandLine)));
  EXPECT_FALSE(IsWindowEnabled(program.control(ids::kStoreButtonFirst)));
  EXPECT_FALSE(IsWindowEnabled(program.control(ids::kSlotButtonFirst + 2)));
  EXPECT_FALSE(IsWindowEnabled(program.control(ids::kDriveList)));
  wchar_t title[256] = {};
  GetConsoleTitleW(title, 256);
  EXPECT_EQ(std::wstring(title), L"Promptella - Type 'halt' to return Promptella mode");
  saveScreenshot(screenshotFolder() / L"console-mode.bmp");
  PostMessageW(notice, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(waitFor([&] { return !IsWindow(notice); }));

  program.typeIntoConsole(L"echo typed-in-console");
  EXPECT_TRUE(program.waitForConsole(showsOutput(L"typed-in-console")));
  // The next line is read once the last command has ended: what is typed then shows on a row of
  // its own, not over the command's output.
  program.typeIntoConsole(L"echo next-line");
  EXPECT_TRUE(program.waitForConsole(showsOutput(L"next-line")));
  EXPECT_TRUE(
      program.waitForConsole([](const std::wstring& row) { return row == L"echo next-line"; }));
  // A line longer than one read of the console runs whole.
  program.typeIntoConsole(L"echo long-line-ok & rem " + std::wstring(300, L'x'));
  EXPECT_TRUE(program.waitForConsole(showsOutput(L"long-line-ok")));
  program.typeIntoConsole(L"cd sub");
  const std::wstring sub = (program.folder() / L"sub").wstring();
  EXPECT_TRUE(waitFor([&] {
    return lstrcmpiW(program.text(program.control(ids::kFolderList)).c_str(), sub.c_str()) == 0;
  }));
  // The window keeps painting while the program waits for the next line.
  RedrawWindow(program.window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  EXPECT_TRUE(waitFor([&] {
    RECT update{};
    return !GetUpdateRect(program.window(), &update, FALSE);
  }));
  EXPECT_FALSE(IsWindowEnabled(program.control(ids::kCommandLine)));

  program.typeIntoConsole(L"HALT now");
  // The last control that leaving console mode enables is the tenth store button.
  EXPECT_TRUE(
      waitFor([&] { return IsWindowEnabled(program.control(ids::kStoreButtonFirst + 9)) != 0; }));
  EXPECT_TRUE(IsWindowEnabled(program.control(ids::kCommandLine)));
  GetConsoleTitleW(title, 256);
  EXPECT_EQ(std::wstring(title), L"Promptella");
  EXPECT_TRUE(IsWindowEnabled(program.control(ids::kStoreButtonFirst + 5)));
  EXPECT_TRUE(IsWindowEnabled(program.control(ids::kSlotButtonFirst + 2)));
  EXPECT_FALSE(IsWindowEnabled(program.control(ids::kSlotButtonFirst + 5)));
  program.detachConsole();
}

// While console mode waits for a line, the close box ends the program, and so does a quit posted
// to its thread (the read is given up; nothing spins until a line is typed).
TEST(ConsoleMode, ClosingTheWindowOrAQuitDuringConsoleModeEndsTheProgram) {
  for (const bool quit : {false, true}) {
    PromptellaProcess program;
    program.start();
    program.click(ids::kConsoleLink);
    const HWND notice = program.waitForDialog(L"Promptella");
    ASSERT_NE(notice, nullptr);
    PostMessageW(notice, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(notice); }));
    if (quit) {
      PostThreadMessageW(GetWindowThreadProcessId(program.window(), nullptr), WM_QUIT, 7, 0);
    } else {
      PostMessageW(program.window(), WM_CLOSE, 0, 0);
    }
    EXPECT_EQ(program.waitForExit(), quit ? 7u : 0u);
  }
}

TEST(About, ShowsItsLinesClosesWithEscAndTheWindowRestoresTheSavedFolder) {
  PromptellaProcess program;
  std::filesystem::create_directories(program.folder() / L"saved");
  program.start();
  // Another copy of the program (or the user) saves a folder meanwhile.
  const std::wstring saved = (program.folder() / L"saved").wstring();
  WritePrivateProfileStringW(L"Configuration", L"Path", saved.c_str(),
                             (program.folder() / L"Promptella.ini").c_str());

  program.postMenu(ids::kMenuAbout);
  const HWND about = program.waitForDialog(L"About...");
  ASSERT_NE(about, nullptr);
  const std::wstring credit = program.text(GetDlgItem(about, ids::kAboutCredit));
  EXPECT_EQ(credit.rfind(((std::wstring(kProductNameWide) + L" " +
                           std::wstring(kVersion.begin(), kVersion.end())) +
                          L" : "),
                         0),
            0u)
      << narrowAscii(credit);
  EXPECT_EQ(std::count(credit.begin(), credit.end(), L'\n'), 2);
  saveScreenshot(screenshotFolder() / L"about.bmp");
  PostMessageW(GetDlgItem(about, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(waitFor([&] { return !IsWindow(about); }));
  EXPECT_TRUE(waitFor([&] {
    return lstrcmpiW(program.text(program.control(ids::kFolderList)).c_str(), saved.c_str()) == 0;
  })) << narrowAscii(program.text(program.control(ids::kFolderList)));
}

}  // namespace
}  // namespace promptella::e2e
