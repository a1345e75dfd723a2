// Following a command: which commands move which list.
#include <gtest/gtest.h>

#include "engine/working_folder.h"
#include "fakes.h"
#include "platform/folder_path.h"
#include "platform/interpreter.h"
#include "platform/utf8.h"

namespace promptella {
namespace {

class Tracking : public ::testing::Test {
 protected:
  void SetUp() override {
    drives.ready = {'c', 'd', 'z'};
    folders.existing = {"C:\\", "C:\\Temp", "C:\\Windows", "D:\\"};
  }
  // What the user is told, if anything.
  std::string track(std::string_view command) {
    return testing::finish(folder.follow(std::string(command))).told.failure.value_or("");
  }

  testing::FakeDriveList drives;
  testing::FakeFolderList folders;
  testing::FakeLauncher launcher;
  BatchRunner batches{std::nullopt, launcher};
  WorkingFolder folder{drives, folders, batches};
};

// Whatever moved a list, the other follows, so that both show the folder the next command runs in.
TEST_F(Tracking, EachListFollowsTheOthersMoveToAnotherDrive) {
  folders.currentOnDrive["d:"] = "D:\\Data";
  folders.existing.insert({"D:\\Data", "D:\\Data\\x", "Z:\\", "Z:\\tmp"});
  track("d:");
  EXPECT_EQ(drives.drive(), "d:");
  EXPECT_EQ(folders.path(), "D:\\Data");
  track("cd C:\\Temp");
  EXPECT_EQ(drives.drive(), "c:");
  EXPECT_EQ(folders.path(), "C:\\Temp");
  track("cd Z:\\tmp");
  EXPECT_EQ(drives.drive(), "z:");
  track("cd D:\\Data\\x");
  track("cd D:\\Data");  // the same drive: the drive list stays
  EXPECT_EQ(drives.assignments, 4);
  // A drive whose current folder cannot be read: the drive list goes back to the folder's.
  folders.existing.erase("D:\\Data");
  track("z:");
  EXPECT_EQ(track("d:"), "");
  EXPECT_EQ(drives.drive(), "z:");
  EXPECT_EQ(folders.path(), "Z:\\");
  // One that does not answer in time (a sleeping disk) is told; the lists stay.
  drives.silent.insert('e');
  EXPECT_EQ(track("e:"), noAnswerMessage("e:", "Z:\\"));
  folders.silentDrives.insert('d');
  EXPECT_EQ(track("cd D:\\Data\\x")
                .rfind("The drive D: did not answer within " + std::to_string(kDriveAnswerSeconds) +
                           " seconds",
                       0),
            0u);
  EXPECT_EQ(drives.drive(), "z:");
  EXPECT_EQ(folders.path(), "Z:\\");
}

TEST_F(Tracking, AProgramPathMovesTheDriveButNoFolder) {
  track("c:\\windows\\notepad.exe readme.txt");
  EXPECT_EQ(drives.assignments, 1);
  EXPECT_EQ(folders.assignments, 0);
  track("D:\\bin\\x.exe");
  EXPECT_EQ(drives.drive(), "d:");
}

TEST_F(Tracking, CdAndChdirInAnyCaseMoveTheFolderKeepingItsCase) {
  folders.existing.insert("Windows");
  track("CD Windows");
  EXPECT_EQ(folders.path(), "Windows");
  track("cd  C:\\Temp  ");
  EXPECT_EQ(folders.path(), "C:\\Temp");
  track("ChDir C:\\Windows");
  EXPECT_EQ(folders.path(), "C:\\Windows");
}

TEST_F(Tracking, OtherFormsChangeNothing) {
  // The interpreter cannot enter a network path, so the lists do not follow one either.
  folders.existing.insert("\\\\server\\share");
  for (const char* command :
       {"cd", "cd..", "cd\\", "echo cd x", " cd C:\\Temp", "cd\tC:\\Temp", "dir", "", "x",
        "cd \\\\server\\share", "chdir \"\\\\server\\share\"", "cd //server/share"}) {
    track(command);
  }
  EXPECT_EQ(drives.assignments, 0);
  EXPECT_EQ(folders.assignments, 0);
}

TEST_F(Tracking, FailedMovesLeaveTheLists) {
  track("chdir /d d:\\x");
  EXPECT_EQ(folders.assignments, 1);
  track("1:x");
  EXPECT_EQ(drives.assignments, 1);
  EXPECT_EQ(drives.drive(), "c:");
  EXPECT_EQ(folders.path(), "C:\\");
}

TEST_F(Tracking, ANonAsciiFirstCharacterIsOneCharacter) {
  track("\xC3\xA9:x");  // é then a colon: the second character is the colon
  EXPECT_EQ(drives.assignments, 1);
  track("\xC3\xA9x:");
  EXPECT_EQ(drives.assignments, 1);
}

TEST(InterpreterText, CommandLineQuotesAndNetworkPaths) {
  EXPECT_EQ(interpreterCommandLine("C:\\Windows\\system32\\cmd.exe", "C:\\R&D 1\\~P.bat"),
            "\"C:\\Windows\\system32\\cmd.exe\" /d /v:off /s /c \"\"C:\\R&D 1\\~P.bat\"\"");
  const std::pair<const char*, const char*> quoted[] = {{"C:\\R&D", "\"C:\\R&D\""},
                                                        {"C:\\a b", "\"C:\\a b\""},
                                                        {"C:\\x(1)", "\"C:\\x(1)\""},
                                                        {"C:\\a^b!c", "\"C:\\a^b!c\""},
                                                        {"C:\\a=b;c,d", "\"C:\\a=b;c,d\""},
                                                        {"C:\\it's+`~", "\"C:\\it's+`~\""},
                                                        {"C:\\[x]{y}", "\"C:\\[x]{y}\""},
                                                        {"C:\\plain.txt", "C:\\plain.txt"},
                                                        {"C:\\50%", "C:\\50%"}};
  for (const auto& [path, expected] : quoted) EXPECT_EQ(quotedForInterpreter(path), expected);
  for (const char* path : {"\\\\server\\share", "//server/share/x", "\\\\?\\UNC\\server\\s",
                           "\\\\?\\unc\\server\\s"}) {
    EXPECT_TRUE(isNetworkPath(path)) << path;
  }
  for (const char* path : {"C:\\", "\\Temp", "\\\\?\\C:\\x", "\\\\.\\C:\\x", "", "\\"}) {
    EXPECT_FALSE(isNetworkPath(path)) << path;
  }
}

TEST(TrimSpaces, OnlyTheSpaceCharacter) {
  EXPECT_EQ(trimSpaces("  a b  "), "a b");
  EXPECT_EQ(trimSpaces("\ta\t"), "\ta\t");
  EXPECT_EQ(trimSpaces("   "), "");
}

// What the folder list hands the system for a cd's text, and how it shows the full path back.
TEST(FolderPath, TextsResolveAsTheInterpreterReadsThem) {
  const struct {
    const char *current, *typed, *toResolve;
  } rows[] = {
      {"C:\\Temp", "sub", "C:\\Temp\\sub"},
      {"C:\\", "sub", "C:\\sub"},
      {"C:\\Temp", "\"my folder\"", "C:\\Temp\\my folder"},
      {"C:\\Temp", "..", "C:\\Temp\\.."},
      {"C:\\Temp\\x", "\\Windows", "C:\\Windows"},
      {"C:\\Temp", "/Windows", "C:\\Windows"},
      {"\\\\srv\\share\\dir", "\\top", "\\\\srv\\share\\top"},
      {"C:\\Temp", "d:", "d:"},
      {"C:\\Temp", "\\\\srv\\share", "\\\\srv\\share"},
      {"C:\\Temp", "\"\"", ""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(folderToResolve(row.current, row.typed), row.toResolve) << row.typed;
  }
  EXPECT_EQ(tidyFolder("c:\\temp\\\\"), "C:\\temp");
  EXPECT_EQ(tidyFolder("d:"), "D:\\");
  EXPECT_EQ(tidyFolder("C:\\"), "C:\\");
  EXPECT_EQ(tidyFolder("\\\\srv\\share\\"), "\\\\srv\\share\\");
  EXPECT_EQ(rootLength(std::string_view("\\\\srv\\share\\dir")), 12u);
  EXPECT_EQ(rootLength(std::wstring_view(L"\\\\srv\\share")), 11u);
}

}  // namespace
}  // namespace promptella
