// Enter in the command line: the batch, the tracking, and the history rules.
#include <gtest/gtest.h>

#include "fakes.h"
#include "tests/support/temp_dir.h"

namespace promptella {
namespace {

using testing::FakeMainWindow;
using testing::readBytes;
using testing::TempDir;

class CommandLine : public testing::WindowTest {
 protected:
  void enter(std::string_view text) {
    w.commandLine.setText(text);
    w.commandLine.onKey(Key::Enter);
  }
  std::vector<std::string> savedHistory() {
    std::vector<std::string> out;
    for (int n = 0;; ++n) {
      const auto entry = w.saved("Commands", numberedKey(n));
      if (!entry) return out;
      out.push_back(*entry);
    }
  }
};

TEST_F(CommandLine, EnterRunsTheTrimmedCommandFromThePickersFolder) {
  load();
  enter("  echo hello  ");
  EXPECT_EQ(w.commandLine.text(), "echo hello");
  ASSERT_EQ(w.launcher.starts.size(), 1u);
  EXPECT_EQ(
      w.launcher.starts[0].bytes,
      "@echo off\r\nc:\r\ncd \"C:\\\"\r\nif errorlevel 1 exit /b 1\r\n@echo on\r\necho hello\r\n");
  EXPECT_EQ(w.commandLine.items, std::vector<std::string>{"echo hello"});
  EXPECT_EQ(savedHistory(), std::vector<std::string>{"echo hello"});
}

TEST_F(CommandLine, SuggestionsAreTheHistoryThenTheStoredCommandsOnceEach) {
  load("[Commands]\r\nCommand0=ver\r\nCommand1=dir /w\r\n[StoredCommands]\r\nCommand3=tree\r\n");
  EXPECT_EQ(w.commandLine.suggestions(), (std::vector<std::string>{"ver", "dir /w", "tree"}));
}

TEST_F(CommandLine, OtherKeysAndEmptyLinesDoNothing) {
  load();
  w.commandLine.setText("dir");
  w.commandLine.onKey(Key::Other);
  enter("    ");
  EXPECT_EQ(w.commandLine.text(), "");
  EXPECT_TRUE(w.launcher.starts.empty());
  EXPECT_FALSE(std::filesystem::exists(dir / "Promptella.ini"));
}

TEST_F(CommandLine, AKnownCommandRunsAgainWithoutReorderingOrSaving) {
  load("[Commands]\r\nCommand0=ver\r\nCommand1=dir\r\n");
  const auto before = readBytes(dir / "Promptella.ini");
  enter("dir");
  EXPECT_EQ(w.launcher.starts.size(), 1u);
  EXPECT_EQ(w.commandLine.items, (std::vector<std::string>{"ver", "dir"}));
  EXPECT_EQ(readBytes(dir / "Promptella.ini"), before);
  enter("DIR");  // comparisons are exact
  EXPECT_EQ(w.commandLine.items, (std::vector<std::string>{"DIR", "ver", "dir"}));
}

TEST_F(CommandLine, TwentyOneCommandsKeepTheNewestTwenty) {
  load();
  for (int i = 1; i <= 21; ++i) enter("echo " + std::to_string(i));
  ASSERT_EQ(w.commandLine.count(), kHistoryLimit);
  EXPECT_EQ(w.commandLine.items.front(), "echo 21");
  EXPECT_EQ(w.commandLine.items.back(), "echo 2");
  const auto saved = savedHistory();
  EXPECT_EQ(saved, w.commandLine.items);
  EXPECT_FALSE(w.saved("Commands", "Command20"));
}

TEST_F(CommandLine, ALoadedListOf25KeepsItsLength) {
  std::string ini = "[Commands]\r\n";
  for (int i = 0; i < 25; ++i)
    ini += "Command" + std::to_string(i) + "=old " + std::to_string(i) + "\r\n";
  load(ini);
  enter("new");
  ASSERT_EQ(w.commandLine.count(), 25);
  EXPECT_EQ(w.commandLine.items.front(), "new");
  EXPECT_EQ(w.commandLine.items.back(), "old 23");
  EXPECT_EQ(savedHistory().size(), 25u);
}

TEST_F(CommandLine, CdMovesTheFolderListAndSavesItBeforeTheHistory) {
  load();
  enter("cd C:\\Temp");
  EXPECT_EQ(w.launcher.starts.size(), 1u);  // the move runs no batch of its own
  EXPECT_EQ(w.folders.path(), "C:\\Temp");
  EXPECT_EQ(w.saved("Configuration", "Path"), "C:\\Temp");
  enter("dir");
  EXPECT_EQ(w.launcher.lines(1)[2], "cd \"C:\\Temp\"");
}

TEST_F(CommandLine, AFailedStartKeepsTheTextAndSkipsTrackingAndHistory) {
  load();
  w.launcher.startError = "The system cannot find the file specified.";
  enter("cd C:\\Temp");
  ASSERT_EQ(w.messages.shown.size(), 1u);
  EXPECT_NE(w.messages.shown[0].find("~Promptella.bat: The system cannot find the file specified."),
            std::string::npos);
  EXPECT_EQ(w.commandLine.text(), "cd C:\\Temp");
  EXPECT_EQ(w.folders.path(), "C:\\");
  EXPECT_TRUE(w.commandLine.items.empty());
}

// Another program removed the folder shown: the command does not run in some other folder; the
// user is told, and the lists go up to the nearest folder that is still there.
TEST_F(CommandLine, AFolderGoneIsToldRunsNothingAndTheListsGoUp) {
  load();
  w.folders.existing.insert({"C:\\Temp\\a", "C:\\Temp\\a\\b"});
  enter("cd C:\\Temp\\a\\b");
  w.folders.existing.erase("C:\\Temp\\a\\b");
  w.folders.existing.erase("C:\\Temp\\a");
  enter("del *.*");
  EXPECT_EQ(w.launcher.starts.size(), 1u);
  ASSERT_EQ(w.messages.shown.size(), 1u);
  EXPECT_EQ(w.messages.shown[0],
            "Couldn't run the command: the folder C:\\Temp\\a\\b no longer exists or cannot be "
            "reached. Nothing was run. The lists now show C:\\Temp.");
  EXPECT_EQ(w.commandLine.text(), "del *.*");
  EXPECT_EQ(w.saved("Configuration", "Path"), "C:\\Temp");
  EXPECT_EQ(w.commandLine.items, std::vector<std::string>{"cd C:\\Temp\\a\\b"});
}

// Another copy of the program added a command since this one loaded the history: a new command
// goes on top of the history as saved, and the list shows it whole.
TEST_F(CommandLine, TwoCopiesKeepEachOthersHistory) {
  load("[Commands]\r\nCommand0=old\r\n");
  testing::settingsAt(w.app.folder_ / "Promptella.ini")
      .addToList(setting::history(), "echo B1", kHistoryLimit);
  enter("echo A1");
  EXPECT_EQ(savedHistory(), (std::vector<std::string>{"echo A1", "echo B1", "old"}));
  EXPECT_EQ(w.commandLine.items, (std::vector<std::string>{"echo A1", "echo B1", "old"}));
  enter("old");  // there already: its place stays
  EXPECT_EQ(savedHistory(), (std::vector<std::string>{"echo A1", "echo B1", "old"}));
}

TEST_F(CommandLine, HistoryRewriteKeepsOtherSections) {
  load("[StoredCommands]\r\nCommand1=tree\r\n[Commands]\r\nCommand0=a\r\nCommand1=b\r\n");
  enter("c");
  EXPECT_EQ(savedHistory(), (std::vector<std::string>{"c", "a", "b"}));
  EXPECT_EQ(w.saved("StoredCommands", "Command1"), "tree");
}

}  // namespace
}  // namespace promptella
