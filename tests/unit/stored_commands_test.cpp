// The ten slots: storing, clearing through the confirmation, running, and the states they keep.
#include <gtest/gtest.h>

#include "fakes.h"
#include "product.h"
#include "tests/support/temp_dir.h"

namespace promptella {
namespace {

using testing::FakeDialogs;
using testing::FakeMainWindow;
using testing::TempDir;

class Slots : public testing::WindowTest {
 protected:
  std::optional<std::string> stored(int n) { return w.saved("StoredCommands", numberedKey(n)); }
  void expectSlot(int n, std::string_view caption) {
    const auto i = static_cast<std::size_t>(n);
    EXPECT_EQ(w.stored[i].caption(), caption) << "slot " << n;
    EXPECT_EQ(w.stored[i].enabled(), !caption.empty()) << "slot " << n;
    EXPECT_EQ(w.menu[i].enabled(), !caption.empty()) << "slot " << n;
    EXPECT_TRUE(w.add[i].enabled()) << "slot " << n;
    EXPECT_EQ(w.stored[i].accessibleName, "Run command #" + std::to_string(n + 1) + " " +
                                              (caption.empty() ? "(empty)" : std::string(caption)))
        << "slot " << n;
  }
};

TEST_F(Slots, StoringFillsTheSlotAndItsKeyWithoutAQuestion) {
  load();
  w.commandLine.setText("dir c:\\");
  w.add[5].onClick();
  expectSlot(5, "dir c:\\");
  EXPECT_EQ(w.stored[5].toolTip_, "dir c:\\");
  EXPECT_EQ(stored(5), "dir c:\\");
  w.commandLine.setText("ver");
  w.add[5].onClick();  // a filled slot is overwritten at once
  expectSlot(5, "ver");
  EXPECT_EQ(stored(5), "ver");
  EXPECT_TRUE(w.dialogs.shownYesNo.empty());
  EXPECT_EQ(w.commandLine.text(), "ver");
  EXPECT_TRUE(w.launcher.starts.empty());
  EXPECT_TRUE(w.commandLine.items.empty());
}

TEST_F(Slots, SpacesOnlyAreStoredUnchangedAndRunAsTheLastLine) {
  load();
  w.commandLine.setText("   ");
  w.add[2].onClick();
  expectSlot(2, "   ");
  EXPECT_EQ(stored(2), "   ");
  w.stored[2].onClick();
  ASSERT_EQ(w.launcher.starts.size(), 1u);
  EXPECT_EQ(w.launcher.lines(0).back(), "   ");
}

TEST_F(Slots, ALineBreakInAStoredCommandIsOneLine) {
  load();
  w.commandLine.setText("echo a\r\necho b");
  w.add[1].onClick();
  EXPECT_EQ(stored(1), "echo a  echo b");
  w.stored[1].onClick();
  EXPECT_EQ(w.launcher.lines(0).back(), "echo a  echo b");
}

TEST_F(Slots, ClearingAsksAndYesEmptiesTheSlotAndDeletesItsKey) {
  load("[StoredCommands]\r\nCommand2=tree\r\nCommand3=ver\r\n");
  w.dialogs.answer = FakeDialogs::Answer::Yes;
  w.commandLine.setText("");
  w.add[2].onClick();
  ASSERT_EQ(w.dialogs.shownYesNo.size(), 1u);
  const auto& dialog = w.dialogs.shownYesNo[0];
  EXPECT_EQ(dialog.title, (std::string(kProductName) + " - " + std::string(kVersion)));
  EXPECT_EQ(dialog.question, "Clear command #3 ?");
  EXPECT_EQ(dialog.command, "tree");
  EXPECT_TRUE(dialog.unloaded);
  expectSlot(2, "");
  EXPECT_EQ(w.stored[2].toolTip_, "tree");  // left as it was
  EXPECT_FALSE(stored(2));
  EXPECT_EQ(stored(3), "ver");
}

TEST_F(Slots, NoEscAndTheCloseButtonLeaveEverything) {
  load("[StoredCommands]\r\nCommand2=tree\r\n");
  w.dialogs.answer = FakeDialogs::Answer::No;
  w.add[2].onClick();
  ASSERT_EQ(w.dialogs.shownYesNo.size(), 1u);
  EXPECT_TRUE(w.dialogs.shownYesNo[0].unloaded);
  expectSlot(2, "tree");
  EXPECT_EQ(stored(2), "tree");
  // Another slot next: the labels are filled again for it.
  w.add[0].onClick();
  EXPECT_EQ(w.dialogs.shownYesNo[1].question, "Clear command #1 ?");
  EXPECT_EQ(w.dialogs.shownYesNo[1].command, "dir /w");
}

TEST_F(Slots, AnEmptySlotWithAnEmptyCommandLineDoesNothing) {
  load();
  w.add[4].onClick();
  EXPECT_TRUE(w.dialogs.shownYesNo.empty());
  expectSlot(4, "");
  EXPECT_FALSE(std::filesystem::exists(dir / "Promptella.ini"));
}

TEST_F(Slots, RunningASlotShowsItRunsItAndTracksButKeepsTheHistory) {
  load("[StoredCommands]\r\nCommand3=cd C:\\Temp\r\n[Commands]\r\nCommand0=ver\r\n");
  w.menu[3].onClick();
  EXPECT_EQ(w.commandLine.text(), "cd C:\\Temp");
  ASSERT_EQ(w.launcher.starts.size(), 1u);
  EXPECT_EQ(
      w.launcher.starts[0].bytes,
      "@echo off\r\nc:\r\ncd \"C:\\\"\r\nif errorlevel 1 exit /b 1\r\n@echo on\r\ncd C:\\Temp\r\n");
  EXPECT_EQ(w.folders.path(), "C:\\Temp");
  EXPECT_EQ(w.commandLine.items, std::vector<std::string>{"ver"});
  EXPECT_EQ(w.saved("Commands", "Command0"), "ver");
  EXPECT_FALSE(w.saved("Commands", "Command1"));
}

TEST_F(Slots, ClearingSlot0ShowsTheDefaultAgainAfterARestart) {
  load();
  w.dialogs.answer = FakeDialogs::Answer::Yes;
  w.add[0].onClick();
  expectSlot(0, "");
  EXPECT_FALSE(stored(0));

  FakeMainWindow restarted{dir.path()};
  restarted.controller.load();
  EXPECT_EQ(restarted.stored[0].caption(), "dir /w");
  EXPECT_FALSE(restarted.saved("StoredCommands", "Command0"));
}

}  // namespace
}  // namespace promptella
