// The keyboard as fingers use it, through the system's input: commands typed one after another
// and typed ahead, function keys from the command line and from the folder list, the clear
// confirmation's Enter and Esc, Alt+Down, and the keys of the main window during console mode.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "mainwindow/control_ids.h"
#include "tests/e2e/driver.h"

namespace promptella::e2e {
namespace {

// A file's text, as a command's output wrote it ("one" and its line end).
std::string written(const std::filesystem::path& file) {
  std::string text = fileBytes(file);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
    text.pop_back();
  }
  return text;
}

bool fileSays(const std::filesystem::path& file, const std::string& text) {
  return waitFor([&] { return written(file) == text; });
}

// Commands typed one after another run as typed: after Enter the line holds the command wholly
// selected, so that the next keys replace it and are never glued in front of it. Typed ahead, in
// one go, they run in order, each as typed, with the Shift of > and &.
TEST(Keyboard, CommandsTypedOneAfterAnotherAndAheadRunAsTyped) {
  PromptellaProcess program;
  program.start();
  const auto folder = program.folder();
  program.focus(ids::kCommandLine);
  program.pressKeys(L"echo one>x1.txt\n");
  ASSERT_TRUE(fileSays(folder / L"x1.txt", "one"));
  program.pressKeys(L"echo two>x2.txt\n");
  ASSERT_TRUE(fileSays(folder / L"x2.txt", "two"));
  EXPECT_FALSE(std::filesystem::exists(folder / L"x2.txtecho"));
  program.pressKeys(L"echo c>a3.txt & echo d>a4.txt\necho five>a5.txt\n");
  EXPECT_TRUE(fileSays(folder / L"a5.txt", "five"));
  EXPECT_EQ(written(folder / L"a3.txt"), "c");
  EXPECT_EQ(written(folder / L"a4.txt"), "d");
  EXPECT_EQ(program.comboItems(ids::kCommandLine).front(), L"echo five>a5.txt");

  // Alt+Down opens the history on the line's entry; letting Alt go leaves the menu bar alone, so
  // that Down and Enter go to the list (the entry below runs again), not to File, Exit.
  std::filesystem::remove(folder / L"a3.txt");
  program.pressKey(VK_DOWN, {VK_MENU});
  program.pressKey(VK_DOWN);
  program.pressKey(VK_RETURN);
  EXPECT_TRUE(fileSays(folder / L"a3.txt", "c"));
  EXPECT_EQ(program.waitForExit(std::chrono::milliseconds(0)), DWORD{STILL_ACTIVE});
}

// F2 runs stored command 2 from the command line and from the folder list; the line then holds
// that command wholly selected. The clear confirmation takes Esc for No and Enter for Yes.
TEST(Keyboard, FunctionKeysAndTheClearConfirmation) {
  PromptellaProcess program("[StoredCommands]\r\nCommand1=echo f2>f2.txt\r\n");
  program.start();
  const auto f2 = program.folder() / L"f2.txt";
  program.focus(ids::kCommandLine);
  {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(program.window(), nullptr), &info);
    fprintf(stderr, "before focus %d fg %p win %p\n", GetDlgCtrlID(info.hwndFocus),
            (void*)GetForegroundWindow(), (void*)program.window());
  }
  program.pressKey(VK_F2);
  ASSERT_TRUE(fileSays(f2, "f2"));
  {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(program.window(), nullptr), &info);
    fprintf(stderr, "after focus %d fg %p\n", GetDlgCtrlID(info.hwndFocus),
            (void*)GetForegroundWindow());
  }
  program.pressKeys(L"echo typed>t.txt\n");
  EXPECT_TRUE(fileSays(program.folder() / L"t.txt", "typed"));
  for (auto& item : program.comboItems(ids::kCommandLine))
    fprintf(stderr, "item [%s]\n", narrowAscii(item).c_str());
  fprintf(stderr, "line [%s]\n",
          narrowAscii(program.text(program.control(ids::kCommandLine))).c_str());
  std::filesystem::remove(f2);
  program.focus(ids::kFolderList);
  program.pressKey(VK_F2);
  EXPECT_TRUE(fileSays(f2, "f2"));

  // An empty line beside the filled slot 2: its store button asks first.
  program.focus(ids::kCommandLine);
  program.pressKey(VK_HOME);
  program.pressKey(VK_END, {VK_SHIFT});
  program.pressKey(VK_DELETE);
  ASSERT_TRUE(waitFor([&] { return program.text(program.control(ids::kCommandLine)).empty(); }));
  for (const WORD answer : {WORD{VK_ESCAPE}, WORD{VK_RETURN}}) {
    program.focus(ids::kStoreButtonFirst + 1);
    program.pressKey(VK_SPACE);
    const HWND dialog = program.waitForDialog(L"Promptella - 1.2");
    ASSERT_NE(dialog, nullptr);
    program.pressKey(answer);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(dialog); }));
    const bool cleared = answer == VK_RETURN;
    EXPECT_EQ(iniBecomes(program.folder() / L"Promptella.ini", L"StoredCommands", L"Command1",
                         cleared ? L"" : L"echo f2>f2.txt"),
              true);
    EXPECT_EQ(IsWindowEnabled(program.control(ids::kSlotButtonFirst + 1)) == 0, cleared);
  }
}

// During console mode the main window's keys run nothing, then or after "halt": neither a function
// key nor Enter on the console-mode link, which starts no second console mode.
TEST(Keyboard, KeysInTheMainWindowDuringConsoleModeRunNothing) {
  PromptellaProcess program("[StoredCommands]\r\nCommand2=echo f3>f3.txt\r\n");
  program.start();
  ASSERT_TRUE(program.attachConsole());
  program.focus(ids::kConsoleLink);
  program.pressKey(VK_RETURN);
  const HWND notice = program.waitForDialog(L"Promptella");
  ASSERT_NE(notice, nullptr);
  program.pressKey(VK_RETURN);
  ASSERT_TRUE(waitFor([&] { return !IsWindow(notice); }));
  program.focus(ids::kConsoleLink);
  program.pressKey(VK_F3);
  program.pressKey(VK_RETURN);
  program.pressKey(VK_RETURN);
  program.typeIntoConsole(L"echo in-console>c.txt");
  EXPECT_TRUE(fileSays(program.folder() / L"c.txt", "in-console"));
  program.typeIntoConsole(L"halt");
  ASSERT_TRUE(waitFor([&] { return IsWindowEnabled(program.control(ids::kCommandLine)) != 0; }));
  program.detachConsole();
  // Whatever the keys above were to do has been done once this has run.
  program.focus(ids::kCommandLine);
  program.pressKeys(L"echo after>after.txt\n");
  EXPECT_TRUE(fileSays(program.folder() / L"after.txt", "after"));
  EXPECT_FALSE(std::filesystem::exists(program.folder() / L"f3.txt"));
  EXPECT_EQ(program.waitForDialog(L"Promptella", std::chrono::milliseconds(0)), nullptr);
}

}  // namespace
}  // namespace promptella::e2e
