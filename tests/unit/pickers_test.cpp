// The pickers' steps, with fake lists that raise their change events for the user's picks only, as
// the real controls do.
#include <gtest/gtest.h>

#include "fakes.h"
#include "tests/support/temp_dir.h"

namespace promptella {
namespace {

using testing::FakeMainWindow;
using testing::TempDir;

class Pickers : public testing::WindowTest {
 protected:
  void SetUp() override {
    w.drives.ready = {'c', 'd', 'z'};
    w.folders.existing = {"C:\\", "C:\\Temp", "D:\\", "D:\\Work", "Z:\\"};
    w.folders.currentOnDrive["d:"] = "D:\\Work";
    w.controller.load();
    w.controller.activate();  // no saved folder: nothing moves
  }
  std::vector<std::string> lines(std::size_t start) { return w.launcher.lines(start); }
  std::optional<std::string> savedPath() { return w.saved("Configuration", "Path"); }
};

TEST_F(Pickers, PickingAFolderRunsItsCdAndSavesIt) {
  EXPECT_TRUE(w.folders.pick("C:\\Temp"));
  ASSERT_EQ(w.launcher.starts.size(), 1u);
  EXPECT_EQ(lines(0), (std::vector<std::string>{"@echo off", "c:", "@echo on", "cd \"C:\\Temp\""}));
  EXPECT_EQ(savedPath(), "C:\\Temp");
}

TEST_F(Pickers, PickingADriveRunsTheDriveThenTheFolderOfThatDrive) {
  w.drives.pick("d:");
  ASSERT_EQ(w.launcher.starts.size(), 2u);
  EXPECT_EQ(lines(0), std::vector<std::string>{"d:"});
  EXPECT_EQ(lines(1), (std::vector<std::string>{"@echo off", "d:", "@echo on", "cd \"D:\\Work\""}));
  EXPECT_EQ(w.folders.path(), "D:\\Work");
  EXPECT_EQ(savedPath(), "D:\\Work");
}

TEST_F(Pickers, ADriveThatIsNotReadyGoesBackToTheFoldersDrive) {
  w.drives.ready.insert('a');  // listed, but its root cannot be read
  EXPECT_TRUE(w.folders.pick("C:\\Temp"));
  w.launcher.starts.clear();
  // The user picks a: the list changes, then the folder list cannot follow.
  w.drives.pick("a:");
  EXPECT_EQ(w.drives.drive(), "c:");
  ASSERT_EQ(w.launcher.starts.size(), 3u);
  EXPECT_EQ(lines(0), std::vector<std::string>{"a:"});
  EXPECT_EQ(lines(1), std::vector<std::string>{"c:"});
  EXPECT_EQ(lines(2).back(), "cd \"C:\\\"");  // c: alone: the drive's current folder
  EXPECT_EQ(w.folders.path(), "C:\\");
  EXPECT_TRUE(w.messages.shown.empty());

  // A drive that does not answer in time (a sleeping disk) recovers the same way, told.
  w.folders.silentDrives.insert('e');
  w.drives.pick("e:");
  EXPECT_EQ(w.drives.drive(), "c:");
  EXPECT_EQ(w.messages.shown, std::vector<std::string>{noAnswerMessage("e:", w.folders.path())});
}

// The console has run the command that moved a list: only the command's own batch runs.
TEST_F(Pickers, ProgramMovesRunNoBatchButTheFolderIsSaved) {
  w.enter("cd C:\\Temp");
  EXPECT_EQ(w.launcher.starts.size(), 1u);
  EXPECT_EQ(w.folders.path(), "C:\\Temp");
  EXPECT_EQ(savedPath(), "C:\\Temp");
  // The lists show the folder the next command runs in: after a drive command the folder list
  // follows to that drive's current folder, after a cd to another drive the drive list follows.
  w.enter("d:");
  EXPECT_EQ(w.launcher.starts.size(), 2u);
  EXPECT_EQ(w.drives.drive(), "d:");
  EXPECT_EQ(w.folders.path(), "D:\\Work");
  EXPECT_EQ(savedPath(), "D:\\Work");
  w.enter("cd C:\\Temp");
  EXPECT_EQ(w.launcher.starts.size(), 3u);
  EXPECT_EQ(w.drives.drive(), "c:");
  EXPECT_EQ(w.launcher.lines(2)[1], "d:");  // the cd ran from the folder shown before
}

TEST_F(Pickers, ActivationRestoresASavedFolderOnAnotherDrive) {
  testing::settingsAt(w.app.folder_ / "Promptella.ini").writeValue(setting::folder(), "D:\\");
  w.controller.activate();
  ASSERT_EQ(w.launcher.starts.size(), 3u);
  EXPECT_EQ(lines(0), std::vector<std::string>{"d:"});
  EXPECT_EQ(lines(1).back(), "cd \"D:\\Work\"");  // the drive's own current folder first
  EXPECT_EQ(lines(2).back(), "cd \"D:\\\"");      // then the saved one
  EXPECT_EQ(w.folders.path(), "D:\\");
  EXPECT_EQ(savedPath(), "D:\\");
}

TEST_F(Pickers, ABatchThatCannotStartIsToldAFolderIsSavedADriveGoesBack) {
  w.launcher.startError = "Access is denied.";
  EXPECT_TRUE(w.folders.pick("C:\\Temp"));
  ASSERT_EQ(w.messages.shown.size(), 1u);
  EXPECT_NE(w.messages.shown[0].find("Access is denied."), std::string::npos);
  EXPECT_EQ(savedPath(), "C:\\Temp");
  w.drives.pick("d:");
  ASSERT_EQ(w.messages.shown.size(), 2u);
  EXPECT_NE(w.messages.shown[1].find("Access is denied."), std::string::npos);
  EXPECT_EQ(w.drives.drive(), "c:");
  EXPECT_EQ(w.folders.path(), "C:\\Temp");
}

}  // namespace
}  // namespace promptella
