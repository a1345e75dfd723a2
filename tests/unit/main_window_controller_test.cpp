// Start-up, activation and shut-down of the main window, with fake controls and real files.
#include <gtest/gtest.h>

#include "fakes.h"
#include "mainwindow/start_arguments.h"
#include "platform/access_list.h"
#include "platform/files.h"
#include "product.h"
#include "tests/support/temp_dir.h"

namespace promptella {
namespace {

using testing::FakeMainWindow;
using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

class MainWindowStart : public testing::WindowTest {
 protected:
  void load(std::string_view ini = {}) { w.start(ini, false); }
  std::vector<std::string> history() const { return w.commandLine.items; }
  void expectSlot(int n, std::string_view caption) {
    const auto i = static_cast<std::size_t>(n);
    EXPECT_EQ(w.stored[i].caption(), caption) << "slot " << n;
    EXPECT_EQ(w.stored[i].toolTip_, caption) << "slot " << n;
    EXPECT_EQ(w.stored[i].enabled(), !caption.empty()) << "slot " << n;
    EXPECT_EQ(w.menu[i].enabled(), !caption.empty()) << "slot " << n;
  }
};

TEST_F(MainWindowStart, WithoutSettingsOnlySlot0HoldsTheDefault) {
  load();
  EXPECT_EQ(w.window.caption_, (std::string(kProductName) + " " + std::string(kVersion)));
  expectSlot(0, "dir /w");
  for (int n = 1; n < 10; ++n) expectSlot(n, "");
  EXPECT_TRUE(history().empty());
  EXPECT_EQ(w.commandLine.text(), "");
  EXPECT_FALSE(std::filesystem::exists(dir / "Promptella.ini"));  // the default is not saved
}

TEST_F(MainWindowStart, FileNamesComeFromTheProgramFolder) {
  load();
  w.controller.activate();
  EXPECT_EQ(w.batchFileOfARun(), dir / "~Promptella.bat");
  EXPECT_EQ(w.saved("Commands", "Command0"), "ver");
}

// A second copy started from the same folder gets a batch file of its own, and files left by
// copies that no longer run are removed, never those of a copy that runs.
TEST_F(MainWindowStart, EachCopyHasItsOwnBatchFileAndLeftFilesGo) {
  // Claims are named after the folder as the system names it, however the copies reached it.
  w.app.canonical[dir.path().string()] = "D:\\Tools";
  w.app.claimedByOthers = {"batch 1 D:\\Tools", "batch 3 D:\\Tools"};
  const char* const files[] = {"~Promptella.bat",     "~Promptella-2.bat", "~Promptella.2.bat",
                               "~Promptella.2-3.bat", "~Promptella.3.bat", "~Promptella.4-2.bat",
                               "~Promptella.x.bat",   "other.bat"};
  for (const char* file : files) writeBytes(dir / file, "rem\r\n");
  load();
  std::vector<std::string> left;
  for (const char* file : files) {
    if (std::filesystem::exists(dir / file)) left.push_back(file);
  }
  EXPECT_EQ(left,
            (std::vector<std::string>{"~Promptella.bat", "~Promptella-2.bat", "~Promptella.3.bat",
                                      "~Promptella.x.bat", "other.bat"}));
  w.controller.activate();
  EXPECT_EQ(w.batchFileOfARun(), dir / "~Promptella.2.bat");
  EXPECT_EQ(batchFileOwner("~Promptella.12-3.bat")->copy, 12);
  EXPECT_FALSE(batchFileOwner("~Promptella.1.bat"));
  EXPECT_FALSE(batchFileOwner("~Promptella.bat.bak"));

  // The first copy's own file and its spare, left by File, Exit: the next first copy removes both.
  TempDir other;
  for (const char* file : {"~Promptella.bat", "~Promptella-2.bat"}) writeBytes(other / file, "rem");
  FakeMainWindow next(other.path());
  next.start();
  EXPECT_FALSE(std::filesystem::exists(other / "~Promptella.bat"));
  EXPECT_FALSE(std::filesystem::exists(other / "~Promptella-2.bat"));
}

TEST_F(MainWindowStart, StoredSlotsFillTheirButtons) {
  load("[StoredCommands]\r\nCommand0=ver\r\nCommand3=dir c:\\\r\nCommand4=\r\nCommand10=never\r\n");
  expectSlot(0, "ver");
  expectSlot(3, "dir c:\\");
  expectSlot(4, "");
  for (int n : {1, 2, 5, 6, 7, 8, 9}) expectSlot(n, "");
}

TEST_F(MainWindowStart, Slot3OnlyLeavesSlot0OnTheDefault) {
  load("[StoredCommands]\r\nCommand3=tree\r\n");
  expectSlot(0, "dir /w");
  expectSlot(3, "tree");
  EXPECT_FALSE(w.stored[1].enabled());
}

TEST_F(MainWindowStart, A300CharacterStoredCommandIsReadBackWhole) {
  const std::string command = "echo " + std::string(295, 'x');
  load("[StoredCommands]\r\nCommand2=" + command + "\r\n");
  expectSlot(2, command);
}

TEST_F(MainWindowStart, HistoryLoadsInOrderUntilTheFirstGap) {
  load("[Commands]\r\nCommand0=newest\r\nCommand1=older\r\nCommand3=after gap\r\n");
  EXPECT_EQ(history(), (std::vector<std::string>{"newest", "older"}));
}

TEST_F(MainWindowStart, AnEmptyRow0LeavesTheHistoryEmpty) {
  load("[Commands]\r\nCommand0=\r\nCommand1=dir\r\n");
  EXPECT_TRUE(history().empty());
}

TEST_F(MainWindowStart, MoreThan20HistoryKeysAreAllLoaded) {
  std::string ini = "[Commands]\r\n";
  for (int i = 0; i < 25; ++i)
    ini += "Command" + std::to_string(i) + "=cmd" + std::to_string(i) + "\r\n";
  load(ini);
  ASSERT_EQ(history().size(), 25u);
  EXPECT_EQ(history().front(), "cmd0");
  EXPECT_EQ(history().back(), "cmd24");
}

TEST_F(MainWindowStart, TheConsoleOpensLastAfterTheHistoryAndAFailureIsTold) {
  w.consoleApi.lines.clear();
  load("[Commands]\r\nCommand0=x\r\n");
  ASSERT_FALSE(w.consoleApi.calls.empty());
  EXPECT_EQ(w.consoleApi.calls.front(), "lock");
  EXPECT_EQ(w.consoleApi.calls.back(), "unlock");
  EXPECT_TRUE(w.messages.shown.empty());

  testing::FakeMainWindow failing(w.app.folder_);
  failing.consoleApi.allocFailures = 2;
  failing.start();
  EXPECT_EQ(failing.messages.shown, std::vector<std::string>{"Couldn't allocate console"});
}

TEST_F(MainWindowStart, ActivateRestoresTheSavedFolderThroughThePickers) {
  load("[Configuration]\r\nPath=Z:\\\r\n");
  w.controller.activate();
  EXPECT_EQ(w.drives.drive(), "z:");
  EXPECT_EQ(w.folders.path(), "Z:\\");
  EXPECT_EQ(w.launcher.starts.size(), 2u);  // the drive's batch, then its folder's
  w.controller.activate();                  // nothing changes: nothing runs
  EXPECT_EQ(w.launcher.starts.size(), 2u);
}

TEST_F(MainWindowStart, ActivateWithAMissingDriveOrFolderLeavesTheListsAndSaysNothing) {
  load("[Configuration]\r\nPath=Q:\\Nowhere\r\n");
  w.controller.activate();
  EXPECT_EQ(w.drives.drive(), "c:");
  EXPECT_EQ(w.folders.path(), "C:\\");
  EXPECT_TRUE(w.launcher.starts.empty());
  EXPECT_TRUE(w.messages.shown.empty());
}

TEST(StartArguments, QuotesOnlyGroupAndHelpAsksForTheUsage) {
  using Kind = StartRequest::Kind;
  const struct {
    const char* arguments;
    Kind kind;
    const char* folder;
  } rows[] = {
      {"", Kind::none, ""},
      {"   ", Kind::none, ""},
      {"\"\"", Kind::none, ""},
      {" \"C:\\Users\\me\\50% off\"", Kind::folder, "C:\\Users\\me\\50% off"},
      {" \"C:\\\"", Kind::folder, "C:\\"},  // a drive's root, as Explorer quotes it
      {" C:\\My Folder\\file.txt ", Kind::folder, "C:\\My Folder\\file.txt"},
      {" ..", Kind::folder, ".."},
      {" /?", Kind::usage, ""},
      {" -?", Kind::usage, ""},
      {" /H", Kind::usage, ""},
      {" --help", Kind::usage, ""},
      {" /?x", Kind::folder, "/?x"},
  };
  for (const auto& row : rows) {
    const StartRequest request = parseStartArguments(row.arguments);
    EXPECT_EQ(request.kind, row.kind) << row.arguments;
    EXPECT_EQ(request.folder, row.folder) << row.arguments;
  }
}

TEST_F(MainWindowStart, AFolderGivenIsSavedAndShownAMissingOneIsToldAndLeavesTheLastFolder) {
  const std::string saved = "[Configuration]\r\nPath=Z:\\\r\n";
  w.app.startFolders["here\\file.txt"] = "C:\\";
  w.app.arguments = " \"here\\file.txt\"";
  load(saved);
  EXPECT_TRUE(w.messages.shown.empty());
  w.controller.activate();
  EXPECT_EQ(w.folders.path(), "C:\\");
  EXPECT_NE(readBytes(dir / "Promptella.ini").find("Path=C:\\\r\n"), std::string::npos);

  // The screen's updates are held back from before the load until the console is placed (as the
  // program starts): the message waits for them, or it would not be drawn.
  FakeMainWindow again(dir.path());
  again.app.arguments = " Q:\\Nowhere";
  writeBytes(dir / "Promptella.ini", saved);
  again.messages.log = &again.consoleApi.calls;
  again.consoleApi.lockScreenUpdates();
  again.start();
  ASSERT_GE(again.consoleApi.calls.size(), 2u);
  EXPECT_EQ(again.consoleApi.calls.back(), "message");
  EXPECT_EQ(again.consoleApi.calls.end()[-2], "unlock");
  ASSERT_EQ(again.messages.shown.size(), 1u);
  EXPECT_EQ(again.messages.shown[0],
            "Couldn't open the folder Q:\\Nowhere: it does not exist or cannot be read. "
            "Promptella starts on the last folder.");
  EXPECT_EQ(again.folders.path(), "Z:\\");

  // A network folder cannot be a command's folder: told, and not kept.
  FakeMainWindow network(dir.path());
  network.app.arguments = " \\\\srv\\share";
  network.app.startFolders["\\\\srv\\share"] = "\\\\srv\\share";
  network.start();
  ASSERT_EQ(network.messages.shown.size(), 1u);
  EXPECT_EQ(
      network.messages.shown[0].rfind("Couldn't open the folder \\\\srv\\share: the command", 0),
      0u);
  EXPECT_EQ(network.saved("Configuration", "Path"), "Z:\\");
}

TEST_F(MainWindowStart, ActivateWithoutASavedFolderTouchesNoList) {
  load();
  w.controller.activate();
  EXPECT_EQ(w.drives.assignments, 0);
  EXPECT_EQ(w.folders.assignments, 0);
}

TEST_F(MainWindowStart, EventsBeforeLoadTouchNothingButStillEnd) {
  w.controller.activate();
  w.controller.endSession();
  EXPECT_EQ(w.drives.assignments + w.folders.assignments, 0);
  w.controller.unload();
  EXPECT_EQ(w.app.exitCodes, (std::vector<int>{0, 0}));
}

TEST_F(MainWindowStart, UnloadDeletesTheBatchFileReleasesTheConsoleAndEndsWith0) {
  load();
  writeBytes(dir / "~Promptella.bat", "dir\r\n");
  w.consoleApi.calls.clear();
  w.controller.unload();
  EXPECT_FALSE(std::filesystem::exists(dir / "~Promptella.bat"));
  EXPECT_EQ(w.consoleApi.calls,
            (std::vector<std::string>{"close 10", "close 11", "free", "destroy 77"}));
  EXPECT_EQ(w.app.exitCodes, std::vector<int>{0});
}

TEST_F(MainWindowStart, UnloadWithoutABatchFileStillEnds) {
  load();
  w.controller.unload();
  EXPECT_EQ(w.app.exitCodes, std::vector<int>{0});
}

TEST_F(MainWindowStart, ExitLeavesTheBatchFileAndTheConsole) {
  load();
  writeBytes(dir / "~Promptella.bat", "dir\r\n");
  w.consoleApi.calls.clear();
  w.controller.exit();
  EXPECT_EQ(readBytes(dir / "~Promptella.bat"), "dir\r\n");
  EXPECT_TRUE(w.consoleApi.calls.empty());
  EXPECT_EQ(w.app.exitCodes, std::vector<int>{0});
}

}  // namespace
}  // namespace promptella

namespace promptella {
namespace {

// The user's operations run one at a time, in the order asked, each against the window as it is
// when its turn comes: one that waits (a drive slow to answer, a held settings file) holds the
// others back, and none runs inside another.
class OneAtATime : public testing::WindowTest {
 protected:
  void SetUp() override {
    load();
    w.folders.delaying = w.drives.delaying = true;
  }
  void answerAll() {
    while (w.folders.waitingCount() + w.drives.waitingCount() > 0) {
      w.folders.answer();
      w.drives.answer();
    }
  }
};

TEST_F(OneAtATime, CommandsTypedAheadRunInOrderEachWithTheTextOfItsEnter) {
  w.enter("echo one");  // waits for the folder check
  w.enter("  echo two ");
  EXPECT_EQ(w.commandLine.text(), "echo two");
  w.commandLine.setText("echo thr");  // typed on, no Enter yet
  EXPECT_TRUE(w.launcher.starts.empty());
  answerAll();
  ASSERT_EQ(w.launcher.starts.size(), 2u);
  EXPECT_EQ(w.launcher.lines(0).back(), "echo one");
  EXPECT_EQ(w.launcher.lines(1).back(), "echo two");
  EXPECT_EQ(w.commandLine.text(), "echo thr");
  EXPECT_EQ(w.commandLine.items, (std::vector<std::string>{"echo two", "echo one"}));
}

// Another copy saved another folder; the window is activated while a command waits for its folder
// check: the command runs where the lists showed, then the lists go to the saved folder.
TEST_F(OneAtATime, ARestoreAskedWhileACommandWaitsRunsAfterIt) {
  w.folders.existing.insert("C:\\Temp");
  w.enter("echo here");
  testing::settingsAt(w.app.folder_ / "Promptella.ini").writeValue(setting::folder(), "C:\\Temp");
  w.controller.activate();
  w.stored[3].onClick();  // an empty slot: nothing
  w.menu[0].onClick();    // slot 1, "dir /w", after the restore
  answerAll();
  ASSERT_GE(w.launcher.starts.size(), 3u);
  EXPECT_EQ(w.launcher.lines(0).back(), "echo here");
  EXPECT_EQ(w.launcher.lines(0)[2], "cd \"C:\\\"");
  EXPECT_EQ(w.launcher.lines(1).back(), "cd \"C:\\Temp\"");  // the restore's own cd
  EXPECT_EQ(w.launcher.lines(2)[2], "cd \"C:\\Temp\"");
  EXPECT_EQ(w.launcher.lines(2).back(), "dir /w");
  EXPECT_EQ(w.folders.path(), "C:\\Temp");
}

// Closing while the save of a change waits: a second close and File, Exit wait their turn, and the
// program ends only once the change is in the file.
TEST(OneAtATimeAtTheEnd, ASecondCloseOrAnExitWhileAnEndWaitsNeverSkipsTheSave) {
  TempDir dir;
  FakeMainWindow w(dir.path(), true);
  w.start();
  w.manualWorker.settle();
  w.commandLine.setText("echo kept");
  w.add[3].onClick();  // slot 4: saved by the worker, later
  std::vector<std::optional<std::string>> inFileAtEnd;
  w.app.onTerminate = [&] { inFileAtEnd.push_back(w.saved("StoredCommands", "Command3")); };
  w.controller.unload();
  w.manualWorker.runWindow();  // the close starts, and waits for the worker
  w.controller.unload();
  w.controller.exit();
  w.manualWorker.runWindow();
  EXPECT_TRUE(w.app.exitCodes.empty()) << "nothing ends while the save waits";
  w.manualWorker.settle();
  ASSERT_FALSE(inFileAtEnd.empty());
  EXPECT_EQ(inFileAtEnd.front(), "echo kept");
}

class ReadOnlyProgramFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(program);
    std::filesystem::create_directories(data);
    w.app.readOnly.insert(program.string());
    w.app.dataFolder = data;
  }
  testing::TempDir dir;
  std::filesystem::path program = dir / "Program Files";
  std::filesystem::path data = dir / "LocalAppData";
  testing::FakeMainWindow w{program};
};

TEST_F(ReadOnlyProgramFolder, FilesMoveToTheUsersDataFolderTakingTheOldSettingsAlong) {
  testing::writeBytes(program / "Promptella.ini", "[StoredCommands]\r\nCommand3=tree\r\n");
  w.controller.load();
  EXPECT_EQ(w.stored[3].caption(), "tree");
  w.controller.activate();
  EXPECT_EQ(w.batchFileOfARun(), data / "~Promptella.bat");
  EXPECT_EQ(w.saved("Commands", "Command0", data), "ver");
  EXPECT_EQ(w.saved("StoredCommands", "Command3", data), "tree");
  // The file beside the program is left as it was.
  EXPECT_EQ(testing::readBytes(program / "Promptella.ini"),
            "[StoredCommands]\r\nCommand3=tree\r\n");
}

TEST_F(ReadOnlyProgramFolder, SettingsAlreadyInTheDataFolderWin) {
  testing::writeBytes(program / "Promptella.ini", "[StoredCommands]\r\nCommand3=old\r\n");
  testing::writeBytes(data / "Promptella.ini", "[StoredCommands]\r\nCommand3=newer\r\n");
  w.controller.load();
  EXPECT_EQ(w.stored[3].caption(), "newer");
}

TEST(WritableProgramFolder, KeepsBothFilesBesideTheProgram) {
  testing::TempDir dir;
  testing::FakeMainWindow w{dir.path()};
  w.app.dataFolder = dir / "unused";
  w.start();
  EXPECT_EQ(w.batchFileOfARun(), dir / "~Promptella.bat");
  EXPECT_EQ(w.saved("Commands", "Command0"), "ver");
  EXPECT_FALSE(std::filesystem::exists(dir / "unused"));
}

// Where other users may change files beside the program, one of them could change a stored
// command, or rewrite the batch file while it runs: both go to the user's own folder, the settings
// taken along. Without a folder of the user's own, nothing runs.
TEST(WritableProgramFolder, SharedWithOtherUsersMovesTheFilesToTheUsersFolder) {
  testing::TempDir dir;
  testing::writeBytes(dir / "Promptella.ini", "[StoredCommands]\r\nCommand3=tree\r\n");
  testing::FakeMainWindow w{dir.path()};
  w.app.dataFolder = dir / "LocalAppData";
  std::filesystem::create_directories(w.app.dataFolder);
  w.app.shared.insert(dir.path().string());
  w.start();
  EXPECT_EQ(w.stored[3].caption(), "tree");
  EXPECT_EQ(w.batchFileOfARun(), dir / "LocalAppData" / "~Promptella.bat");
  EXPECT_EQ(w.saved("Commands", "Command0", w.app.dataFolder), "ver");
  EXPECT_FALSE(w.saved("Commands", "Command0"));

  testing::FakeMainWindow nowhere{dir.path()};
  nowhere.app.shared.insert(dir.path().string());
  nowhere.start();
  nowhere.enter("ver");
  EXPECT_TRUE(nowhere.launcher.starts.empty());
  ASSERT_EQ(nowhere.messages.shown.size(), 1u);
  EXPECT_EQ(nowhere.messages.shown[0].rfind("Nothing was run: other users can change files", 0),
            0u);
  EXPECT_FALSE(std::filesystem::exists(dir / "~Promptella.bat"));
}

// Administrators, the system, the installer and the creator of a file may write; anyone else
// who may add, change or delete files makes the folder shared, and so does an allowing entry of
// another kind, or an owner who is not trusted. Denials take nothing away here.
TEST(AccessList, OnlyTrustedAccountsMayWrite) {
  using Kind = AccessEntry::Kind;
  const std::string user = "S-1-5-21-1-2-3-1001";
  const auto entry = [](std::string sid, std::uint32_t mask, bool inheritOnly = false,
                        bool files = true) {
    return AccessEntry{Kind::allows, std::move(sid), mask, inheritOnly, files};
  };
  const AccessEntry profile[] = {entry("S-1-5-18", 0x1F01FF), entry("S-1-5-32-544", 0x1F01FF),
                                 entry(user, 0x1F01FF), entry("S-1-3-0", 0x10000000, true)};
  const std::vector<AccessEntry> own(std::begin(profile), std::end(profile));
  EXPECT_TRUE(onlyTrustedCanWrite(user, own, true, user));
  EXPECT_FALSE(onlyTrustedCanWrite(user, own, true, "S-1-5-21-1-2-3-1002"))
      << "another user's folder";
  EXPECT_FALSE(onlyTrustedCanWrite(user, {}, false, user)) << "no access list: everyone";
  const std::pair<std::string, bool> owners[] = {
      {"S-1-5-32-544", true},
      {"S-1-5-18", true},
      {user, true},
      {"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", true},
      {"S-1-5-21-1-2-3-1002", false},  // another user may rewrite the list at will
      {"S-1-3-0", false},              // no account of its own
      {"", false}};                    // unreadable
  for (const auto& [owner, trusted] : owners) {
    EXPECT_EQ(onlyTrustedCanWrite(owner, own, true, user), trusted) << owner;
  }
  const std::pair<AccessEntry, bool> extra[] = {
      {entry("S-1-5-11", 0x1200A9), true},               // Authenticated Users: read, run
      {entry("S-1-5-11", 0x0004, false, false), false},  // may add subfolders (a root's folder)
      {entry("S-1-5-11", 0x0002), false},                // may add files
      {entry("S-1-5-11", 0x00010000, true), false},      // files made here: may delete them
      {entry("S-1-5-11", 0x0002, true, false), true},    // only for subfolders made here
      {entry("S-1-1-0", 0x40000000), false},             // Everyone, generic write
      {AccessEntry{Kind::denies, "S-1-1-0", 0x1F01FF, false, true}, true},  // a denial
      {entry("S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", 0x1F01FF), true},
      // A conditional, object or compound entry, whatever it names: it may grant anyone writing.
      {AccessEntry{Kind::allowsOtherwise, "", 0, false, false}, false},
      {AccessEntry{Kind::denies, "", 0, false, false}, true}};
  for (const auto& [added, trusted] : extra) {
    std::vector<AccessEntry> entries = own;
    entries.push_back(added);
    EXPECT_EQ(onlyTrustedCanWrite(user, entries, true, user), trusted)
        << added.sid << " " << added.mask;
  }
}

}  // namespace
}  // namespace promptella
