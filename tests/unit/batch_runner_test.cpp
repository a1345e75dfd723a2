// The batch file byte for byte: every caller's pattern, the code pages, overlapping runs, failures.
#include <gtest/gtest.h>

#include "engine/batch_runner.h"
#include "fakes.h"
#include "platform/codepage.h"
#include "tests/support/temp_dir.h"

namespace promptella {
namespace {

using testing::FakeLauncher;
using testing::readBytes;
using testing::TempDir;

std::string compose437(std::string_view l1, std::string_view l2 = "", std::string_view l3 = "",
                       std::string_view l4 = "", std::string_view l5 = "") {
  return composeBatch({l1, l2, l3, l4, l5}, 437);
}

TEST(BatchComposition, EveryCallersPattern) {
  EXPECT_EQ(compose437("@echo off", "c:", "cd \"C:\\WINDOWS\"", "@echo on", "dir /w"),
            "@echo off\r\nc:\r\ncd \"C:\\WINDOWS\"\r\n@echo on\r\ndir /w\r\n");
  EXPECT_EQ(compose437("@echo off", "c:", "@echo on", "cd \"C:\\Temp\""),
            "@echo off\r\nc:\r\n@echo on\r\ncd \"C:\\Temp\"\r\n");
  EXPECT_EQ(compose437("d:"), "d:\r\n");
  EXPECT_EQ(compose437(""), "\r\n");
  EXPECT_EQ(compose437("", "", "x"), "\r\nx\r\n");
  EXPECT_EQ(compose437("@echo off", "c:", "cd \"C:\\\"", "@echo on", "   "),
            "@echo off\r\nc:\r\ncd \"C:\\\"\r\n@echo on\r\n   \r\n");
}

TEST(BatchComposition, AccentedLettersGetTheInterpretersBytes) {
  EXPECT_EQ(compose437("type caf\xC3\xA9.txt"), "type caf\x82.txt\r\n");
  EXPECT_EQ(compose437("cd \"C:\\Donn\xC3\xA9"
                       "es\""),
            "cd \"C:\\Donn\x82"
            "es\"\r\n");
  EXPECT_EQ(compose437("\xC2\xABx\xC2\xBB"), "\"x\"\r\n");
  // The fifteen letters of the old table keep their bytes under 437 and 850 alike.
  const std::string letters =
      "\xC3\xA0\xC3\xA2\xC3\xA4\xC3\xA7\xC3\xA9\xC3\xA8\xC3\xAA\xC3\xAB\xC3\xAE\xC3\xAF\xC3\xB4"
      "\xC3\xB6\xC3\xB9\xC3\xBB\xC3\xBC";
  const std::string bytes = "\x85\x83\x84\x87\x82\x8A\x88\x89\x8C\x8B\x93\x94\x97\x96\x81\r\n";
  EXPECT_EQ(composeBatch({letters, "", "", "", ""}, 437), bytes);
  EXPECT_EQ(composeBatch({letters, "", "", "", ""}, 850), bytes);
  // Letters outside the table are no longer left as their ANSI byte.
  EXPECT_EQ(compose437("\xC3\x89lan"), "\x90lan\r\n");
  EXPECT_EQ(compose437("\xC3\xB1"), "\xA4\r\n");
  EXPECT_EQ(composeBatch({"\xC3\x89", "", "", "", ""}, 850), "\x90\r\n");
  // After chcp 65001 the interpreter reads UTF-8.
  EXPECT_EQ(composeBatch({"caf\xC3\xA9 \xE2\x82\xAC", "", "", "", ""}, kCodePageUtf8),
            "caf\xC3\xA9 \xE2\x82\xAC\r\n");
  // A character the code page lacks cannot pass; it becomes '?' and nothing else moves.
  EXPECT_EQ(compose437("echo \xE4\xB8\xAD!"), "echo ?!\r\n");
}

TEST(BatchComposition, LineBreaksNeverMakeASecondLine) {
  EXPECT_EQ(compose437("@echo off", "c:", "cd \"C:\\\"", "@echo on", "echo a\r\ndel x\nrem\r"),
            "@echo off\r\nc:\r\ncd \"C:\\\"\r\n@echo on\r\necho a  del x rem \r\n");
  EXPECT_EQ(compose437(std::string("a\0b", 3)), "a b\r\n");
}

TEST(BatchComposition, LongTextsAreWrittenWhole) {
  const std::string command = "echo " + std::string(100000, 'x');
  EXPECT_EQ(compose437(command), command + "\r\n");
}

TEST(ReplaceAll, ReplacesEveryOccurrenceOfOneCharacter) {
  EXPECT_EQ(replaceAll("a\xC2\xAB"
                       "b\xC2\xAB",
                       U'\u00AB', "\""),
            "a\"b\"");
  EXPECT_EQ(replaceAll("aaa", U'a', "aa"),
            "aaaaaa");  // no endless loop on a replacement holding it
  EXPECT_EQ(replaceAll("", U'a', "b"), "");
  EXPECT_EQ(replaceAll("xyz", U'a', "b"), "xyz");
}

class BatchRun : public ::testing::Test {
 protected:
  TempDir dir;
  std::filesystem::path file = dir / "~Promptella.bat";
  FakeLauncher launcher;
  BatchRunner runner{file, launcher};
};

TEST_F(BatchRun, WritesTheFileAndStartsItMinimisedWithoutWaiting) {
  ASSERT_TRUE(runner.enterFolder("c:", "C:\\").succeeded());
  ASSERT_EQ(launcher.starts.size(), 1u);
  EXPECT_EQ(pathFromUtf8(launcher.starts[0].file), file);
  EXPECT_EQ(launcher.starts[0].showWindow, 2);
  EXPECT_EQ(readBytes(file), "@echo off\r\nc:\r\n@echo on\r\ncd \"C:\\\"\r\n");
}

TEST_F(BatchRun, ASecondShorterRunLeavesNothingOfTheFirst) {
  ASSERT_TRUE(runner.runCommand("c:", "C:\\a long folder name", "dir /w /s").succeeded());
  ASSERT_TRUE(runner.enterDrive("d: DATA").succeeded());
  EXPECT_EQ(readBytes(file), "d:\r\n");
}

TEST_F(BatchRun, AnOverlappingRunNeverRewritesTheFileOfARunningBatch) {
  launcher.keepRunning = true;
  ASSERT_TRUE(runner.runCommand("c:", "C:\\", "ping -n 3 127.0.0.1 >nul").succeeded());
  ASSERT_TRUE(runner.runCommand("c:", "C:\\", "echo a much longer second line").succeeded());
  ASSERT_EQ(launcher.starts.size(), 2u);
  EXPECT_EQ(readBytes(file),
            "@echo off\r\nc:\r\ncd \"C:\\\"\r\nif errorlevel 1 exit /b 1\r\n@echo on\r\nping -n 3 "
            "127.0.0.1 >nul\r\n");
  const auto spare = dir / "~Promptella-2.bat";
  EXPECT_EQ(pathFromUtf8(launcher.starts[1].file), spare);
  EXPECT_EQ(readBytes(spare),
            "@echo off\r\nc:\r\ncd \"C:\\\"\r\nif errorlevel 1 exit /b 1\r\n@echo on\r\necho a "
            "much longer second line\r\n");

  // Once both have ended, runs go back to the one file and the spare file goes away.
  *launcher.starts[0].running = false;
  *launcher.starts[1].running = false;
  launcher.keepRunning = false;
  ASSERT_TRUE(runner.enterDrive("d:").succeeded());
  EXPECT_EQ(pathFromUtf8(launcher.starts[2].file), file);
  EXPECT_EQ(readBytes(file), "d:\r\n");
  EXPECT_FALSE(std::filesystem::exists(spare));
}

// What the program composes means exactly the drive and folder shown: a label is no command, a %
// is no variable, and a folder the console cannot spell goes by its short name or not at all.
TEST_F(BatchRun, TheDriveAndFolderLinesNameExactlyWhatIsShown) {
  launcher.shortPaths = {{"C:\\\xE6\x97\xA5\xE6\x9C\xAC", "C:\\8A0B~1"},
                         {"C:\\" + std::string(300, 'l'), "C:\\LLLLLL~1"}};
  struct Case {
    std::string drive, folder, cd, workingFolder, driveLine = "c:";
  };
  const Case cases[] = {
      {"c: A&md INJ", "C:\\app\\50% off", "cd \"C:\\app\\50%% off\"", "C:\\app\\50% off"},
      // A drive list that lags behind the folder never sends the command to another drive.
      {"c:", "Z:\\tmp\\work", "cd \"Z:\\tmp\\work\"", "Z:\\tmp\\work", "z:"},
      {"c: R&D",
       "C:\\Donn\xC3\xA9"
       "es",
       "cd \"C:\\Donn\x82"
       "es\"",
       "C:\\Donn\xC3\xA9"
       "es"},
      {"c:", "C:\\\xE6\x97\xA5\xE6\x9C\xAC", "cd \"C:\\8A0B~1\"", "C:\\8A0B~1"},
      {"c:", "C:\\" + std::string(300, 'l'), "cd \"C:\\LLLLLL~1\"", "C:\\LLLLLL~1"},
  };
  for (const Case& c : cases) {
    launcher.starts.clear();
    launcher.workingFolders.clear();
    ASSERT_TRUE(runner.runCommand(c.drive, c.folder, "echo %PATH%").succeeded()) << c.folder;
    EXPECT_EQ(launcher.lines(0), (std::vector<std::string>{"@echo off", c.driveLine, c.cd,
                                                           std::string(kStopWhenNotEntered),
                                                           "@echo on", "echo %PATH%"}))
        << c.folder;
    ASSERT_TRUE(runner.enterFolder(c.drive, c.folder).succeeded()) << c.folder;
    EXPECT_EQ(launcher.lines(1),
              (std::vector<std::string>{"@echo off", c.driveLine, "@echo on", c.cd}))
        << c.folder;
    EXPECT_EQ(launcher.workingFolders, (std::vector<std::string>{c.workingFolder, c.workingFolder}))
        << c.folder;
  }
  // Without a short name there is nothing the interpreter could enter, and a network path it
  // cannot make its current folder: the run is refused.
  const std::pair<std::string, std::string> refused[] = {
      {"C:\\\xD0\x96\xD1\x83\xD0\xBA", "Couldn't enter the folder "},
      {"C:\\" + std::string(256, 'm'), "Couldn't enter the folder "},
      {"C:\\\xC2\xABx\xC2\xBB", "Couldn't enter the folder "},
      {"\\\\server\\share\\tools", "Couldn't run from the folder "}};
  for (const auto& [folder, why] : refused) {
    launcher.starts.clear();
    const auto refusal = runner.runCommand("", folder, "del *.tmp").failure;
    ASSERT_TRUE(refusal) << folder;
    EXPECT_EQ(refusal->rfind(why + folder + ": ", 0), 0u) << *refusal;
    EXPECT_FALSE(runner.enterFolder("c:", folder).succeeded());
    EXPECT_TRUE(launcher.starts.empty()) << folder;
  }
  ASSERT_TRUE(runner.runCommand("c:", "C:\\" + std::string(255, 'm'), "ver").succeeded());
  // A line longer than the interpreter reads would be cut, and its tail run on its own.
  launcher.starts.clear();
  const std::string longest = "rem " + std::string(kMaxInterpreterLine - 4, 'a');
  ASSERT_TRUE(runner.runCommand("c:", "C:\\", longest).succeeded());
  const auto tooLong = runner.runCommand("c:", "C:\\", longest + "&echo TAIL>file").failure;
  ASSERT_TRUE(tooLong);
  EXPECT_NE(tooLong->find("8206 characters long"), std::string::npos) << *tooLong;
  EXPECT_NE(tooLong->find("at most 8191 characters"), std::string::npos) << *tooLong;
  EXPECT_EQ(launcher.starts.size(), 1u);
}

// A letter the console's code page lacks would reach the interpreter as '?' (a wildcard), and a
// look-alike as the interpreter's own character: such a command is refused, naming the letters.
TEST_F(BatchRun, ACommandTheConsoleCannotWriteIsRefused) {
  const std::pair<std::string, std::string> cases[] = {
      {"del \xE6\x97\xA5\xE6\x9C\xAC.txt", "\xE6\x97\xA5, \xE6\x9C\xAC"},
      {"echo a\xEF\xBC\x86"
       "del *",
       "\xEF\xBC\x86"},  // fullwidth &
      {"type \xEF\xBC\x82x\xEF\xBC\x82 \xEF\xBD\x9C more", "\xEF\xBC\x82, \xEF\xBD\x9C"}};  // " |
  for (const auto& [command, letters] : cases) {
    const auto refusal = runner.runCommand("c:", "C:\\", command).failure;
    ASSERT_TRUE(refusal) << command;
    EXPECT_EQ(*refusal, "Couldn't run the command: the console's code page (437) cannot write " +
                            letters +
                            ". Nothing was run.\r\n\r\nThe command chcp 65001 lets the console "
                            "take any letter.");
  }
  EXPECT_TRUE(launcher.starts.empty());
  // Letters it has, the angle quotes that become plain ones, and any letter under UTF-8 pass.
  ASSERT_TRUE(runner
                  .runCommand("c:", "C:\\",
                              "type caf\xC3\xA9 \xC2\xAB"
                              "a b\xC2\xBB")
                  .succeeded());
  launcher.codePage = kCodePageUtf8;
  ASSERT_TRUE(runner.runCommand("c:", "C:\\", "del \xE6\x97\xA5.txt").succeeded());
  EXPECT_EQ(launcher.lines(1).back(), "del \xE6\x97\xA5.txt");
}

TEST_F(BatchRun, AFileThatCannotBeWrittenIsReportedAndNothingStarts) {
  BatchRunner nowhere{dir / "missing" / "~Promptella.bat", launcher};
  const auto failure = nowhere.enterDrive("d:").failure;
  ASSERT_TRUE(failure);
  EXPECT_NE(failure->find("Couldn't write the batch file"), std::string::npos) << *failure;
  EXPECT_NE(failure->find("~Promptella.bat: "), std::string::npos) << *failure;
  EXPECT_TRUE(launcher.starts.empty());
}

TEST_F(BatchRun, AStartThatFailsIsReportedWithTheSystemsReason) {
  launcher.startError = "The system cannot find the file specified.";
  const auto failure = runner.enterDrive("d:").failure;
  ASSERT_TRUE(failure);
  EXPECT_EQ(*failure, "Couldn't start the batch file " + pathToUtf8(file) +
                          ": The system cannot find the file specified.");
}

}  // namespace
}  // namespace promptella
