// Faults and bad input against the real program: broken settings files, hostile command lines,
// pickers pointing nowhere, a kill in the middle of saving, a full disk and a read-only program
// folder. Every case must end with the program running (or ended cleanly), no settings lost,
// and a message only where the user must know. A table of the outcomes is printed at the end.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>

#include "mainwindow/command_line.h"
#include "mainwindow/control_ids.h"
#include "tests/e2e/driver.h"

namespace promptella::e2e {
namespace {

std::vector<std::pair<std::string, std::string>>& outcomes() {
  static std::vector<std::pair<std::string, std::string>> table;
  return table;
}

// Records the outcome of the running test in the table, with what was observed.
void record(const std::string& observed) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const bool failed = ::testing::Test::HasFailure();
  outcomes().emplace_back(std::string(info->test_suite_name()) + "." + info->name(),
                          (failed ? "FAILED: " : "ok: ") + observed);
}

class OutcomeTable : public ::testing::Environment {
 public:
  void TearDown() override {
    if (outcomes().empty()) return;
    std::printf("\n%-58s %s\n", "Fault or bad-input case", "Outcome");
    for (const auto& [name, outcome] : outcomes())
      std::printf("%-58s %s\n", name.c_str(), outcome.c_str());
  }
};
const auto* const kTable = ::testing::AddGlobalTestEnvironment(new OutcomeTable);

// A message box or dialog of the program, if one is open.
HWND openDialog(const PromptellaProcess& program) {
  HWND found = nullptr;
  while ((found = FindWindowExW(nullptr, found, L"#32770", nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(found, &owner);
    if (owner == program.pid() && IsWindowVisible(found)) return found;
  }
  return nullptr;
}

// Enter on `command` (set whole, not typed) in the command line.
void enter(PromptellaProcess& program, const std::wstring& command) {
  const HWND edit = FindWindowExW(program.control(ids::kCommandLine), nullptr, L"Edit", nullptr);
  SendMessageW(program.control(ids::kCommandLine), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(command.c_str()));
  // Bounded: an unexpected message box would hold a plain send for ever.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(edit, WM_CHAR, L'\r', 0, SMTO_NORMAL, 10000, &ignored);
}

// Enter on `command`, posted: the program answers with a modal message, whose text is returned
// once it is closed (empty when none came).
std::wstring enterExpectingMessage(PromptellaProcess& program, const std::wstring& command) {
  const HWND combo = program.control(ids::kCommandLine);
  SendMessageW(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(command.c_str()));
  PostMessageW(FindWindowExW(combo, nullptr, L"Edit", nullptr), WM_CHAR, L'\r', 0);
  HWND box = nullptr;
  if (!waitFor([&] { return (box = openDialog(program)) != nullptr; })) return {};
  const std::wstring text = messageText(box);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  waitFor([&] { return openDialog(program) == nullptr; });
  return text;
}

std::size_t lineCount(const std::string& bytes) {
  std::size_t lines = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
    lines += bytes[i] == '\r' && bytes[i + 1] == '\n';
  return lines;
}

// ----- Settings files -----------------------------------------------------------------------

struct BadFile {
  const char* name;
  std::string bytes;
  std::wstring slot3;  // what the file holds readable as stored command 4, if anything
};

std::vector<BadFile> badFiles() {
  const std::string keep = "[StoredCommands]\r\nCommand3=keep\r\n";
  std::mt19937 random(7);
  std::string noise(4096, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  std::string big = keep + "[Junk]\r\n";
  while (big.size() < 10 * 1024 * 1024)
    big += "key" + std::to_string(big.size()) + "=" + std::string(100, 'j') + "\r\n";
  return {
      {"random bytes", noise, L""},
      {"NUL bytes", keep + std::string("\0\0\0[Commands]\0Command0=x\r\n", 27), L"keep"},
      {"a 10 MB file", big, L"keep"},
      {"a 1 MB line", keep + "[Long]\r\nline=" + std::string(1024 * 1024, 'L') + "\r\n", L"keep"},
      {"no final line end", "[StoredCommands]\r\nCommand3=keep", L"keep"},
      {"LF-only line ends", "[StoredCommands]\nCommand3=keep\n[Commands]\nCommand0=old\n", L"keep"},
      {"a UTF-8 byte-order mark", "\xEF\xBB\xBF" + keep, L"keep"},
      {"duplicate sections and keys",
       keep + "[StoredCommands]\r\nCommand3=second\r\nCommand3=third\r\n", L"keep"},
      {"a section named like a key", "[Command0=x]\r\nCommand0=y\r\n" + keep, L"keep"},
      {"UTF-8 from an editor", "[StoredCommands]\r\nCommand3=echo caf\xC3\xA9 \xE6\x97\xA5\r\n",
       L"echo caf\u00e9 \u65e5"},
      {"UTF-8 with a byte-order mark",
       "\xEF\xBB\xBF[StoredCommands]\r\nCommand3=echo caf\xC3\xA9 \xE6\x97\xA5\r\n",
       L"echo caf\u00e9 \u65e5"},
  };
}

class BrokenSettings : public ::testing::TestWithParam<BadFile> {};

TEST_P(BrokenSettings, StartsRunsAndSavesWithoutLosingWhatItCouldRead) {
  const BadFile& bad = GetParam();
  PromptellaProcess program(bad.bytes);
  program.start();
  if (!bad.slot3.empty()) {
    EXPECT_EQ(program.text(program.control(ids::kSlotButtonFirst + 3)), bad.slot3);
  }
  enter(program, L"echo settings-ok");
  const auto ini = program.folder() / L"Promptella.ini";
  EXPECT_TRUE(
      waitFor([&] { return iniValue(ini, L"Commands", L"Command0") == L"echo settings-ok"; }));
  if (!bad.slot3.empty()) {  // read back by the system's own profile functions
    EXPECT_EQ(iniValue(ini, L"StoredCommands", L"Command3"), bad.slot3);
  }
  EXPECT_EQ(openDialog(program), nullptr);
  PostMessageW(program.window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(program.waitForExit(), 0u);
  record(std::string("opened, ran, history saved") + (bad.slot3.empty() ? "" : ", slot kept"));
}

INSTANTIATE_TEST_SUITE_P(Files, BrokenSettings, ::testing::ValuesIn(badFiles()),
                         [](const auto& param) {
                           std::string name = param.param.name;
                           for (char& c : name)
                             c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

TEST(SettingsFault, AReadOnlyFileIsLeftAsItWas) {
  const std::string original = "[StoredCommands]\r\nCommand3=keep\r\n";
  PromptellaProcess program(original);
  const auto ini = program.folder() / L"Promptella.ini";
  SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_READONLY);
  program.start();
  program.attachConsole();
  const std::wstring told = enterExpectingMessage(program, L"echo still-runs");
  EXPECT_EQ(told.rfind(L"Couldn't save the history: ", 0), 0u) << narrowAscii(told);
  EXPECT_NE(told.find(L"cannot be changed (it is read-only"), std::wstring::npos);
  EXPECT_TRUE(
      program.waitForConsole([](const std::wstring& line) { return line == L"still-runs"; }));
  EXPECT_EQ(program.comboItems(ids::kCommandLine).front(), L"echo still-runs");
  program.detachConsole();
  EXPECT_EQ(fileBytes(ini), original);
  SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
  record("command ran; told the history cannot be saved; the read-only file unchanged");
}

// Another program (an editor, a backup tool, a scanner) holds the file: without read sharing, or
// reading without delete sharing. The user is told once, and the change is saved with the next
// one after the file is free; nothing is lost.
TEST(SettingsFault, AChangeKeptOutByAFileHeldOpenIsToldAndSavedOnceFree) {
  for (const DWORD sharing : {DWORD{0}, DWORD{FILE_SHARE_READ}}) {
    PromptellaProcess program("[StoredCommands]\r\nCommand3=keep\r\n");
    const auto ini = program.folder() / L"Promptella.ini";
    HANDLE held =
        CreateFileW(ini.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    program.start();
    const std::wstring told = enterExpectingMessage(program, L"echo held");
    EXPECT_EQ(told.rfind(L"Couldn't save the history: ", 0), 0u) << narrowAscii(told);
    EXPECT_NE(told.find(L"is in use by another program"), std::wstring::npos);
    enter(program, L"echo held again");  // still held: saved later, and not told twice
    EXPECT_EQ(openDialog(program), nullptr);
    CloseHandle(held);
    enter(program, L"echo free");
    EXPECT_TRUE(iniBecomes(ini, L"Commands", L"Command0", L"echo free"));
    EXPECT_EQ(iniValue(ini, L"Commands", L"Command2"), L"echo held");
    EXPECT_EQ(iniValue(ini, L"StoredCommands", L"Command3"), L"keep") << sharing;
    PostMessageW(program.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.waitForExit(), 0u);
  }
  record("told once while held; every change saved once free");
}

// A change that another program's hold kept out is not lost when the window closes: it is saved
// once the file is free, or, still held, told and kept for the next start, which saves it.
TEST(SettingsFault, AChangeHeldOutAtCloseIsSavedOrToldAndKeptForTheNextStart) {
  PromptellaProcess program("[StoredCommands]\r\nCommand3=keep\r\n");
  const auto ini = program.folder() / L"Promptella.ini";
  const auto hold = [&] {
    return CreateFileW(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  };
  HANDLE held = hold();
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  program.start();
  EXPECT_NE(enterExpectingMessage(program, L"echo before-close"), L"");
  PostMessageW(program.window(), WM_CLOSE, 0, 0);
  CloseHandle(held);  // the other program lets go while the window closes
  EXPECT_EQ(program.waitForExit(), 0u);
  EXPECT_EQ(iniValue(ini, L"Commands", L"Command0"), L"echo before-close");

  held = hold();
  program.start();
  EXPECT_NE(enterExpectingMessage(program, L"echo still-held"), L"");
  PostMessageW(program.window(), WM_CLOSE, 0, 0);
  HWND box = nullptr;
  ASSERT_TRUE(
      waitFor([&] { return (box = openDialog(program)) != nullptr; }, std::chrono::seconds(30)));
  const std::wstring told = messageText(box);
  EXPECT_EQ(told.rfind(L"Couldn't save the history: ", 0), 0u) << narrowAscii(told);
  EXPECT_NE(told.find(L"will save it when it next starts"), std::wstring::npos);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(program.waitForExit(), 0u);
  CloseHandle(held);
  const auto keptFiles = [&] {
    std::size_t kept = 0;
    for (const auto& entry : std::filesystem::directory_iterator(program.folder())) {
      const std::wstring name = entry.path().filename().wstring();
      kept += name.rfind(L"Promptella.ini.", 0) == 0 && name.ends_with(L".pending");
    }
    return kept;
  };
  EXPECT_EQ(keptFiles(), 1u);
  program.start();
  EXPECT_TRUE(iniBecomes(ini, L"Commands", L"Command0", L"echo still-held"));
  EXPECT_EQ(iniValue(ini, L"Commands", L"Command1"), L"echo before-close");
  EXPECT_EQ(iniValue(ini, L"StoredCommands", L"Command3"), L"keep");
  EXPECT_TRUE(waitFor([&] { return keptFiles() == 0; }));
  PostMessageW(program.window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(program.waitForExit(), 0u);
  record("saved at close once free; still held: told, kept and saved at the next start");
}

TEST(SettingsFault, KilledDuringHistoryRewritesTheFileHoldsAWholeHistory) {
  PromptellaProcess program("[StoredCommands]\r\nCommand3=keep\r\n");
  const auto ini = program.folder() / L"Promptella.ini";
  std::mt19937 random(11);
  int rewrites = 0;
  for (int round = 0; round < 10; ++round) {
    program.start();
    const HWND combo = program.control(ids::kCommandLine);
    const HWND edit = FindWindowExW(combo, nullptr, L"Edit", nullptr);
    // 50 new commands, each a rewrite of the history, typed ahead at once (End and backspaces
    // clear the line, as keys); the kill lands among them.
    std::size_t shown = 0;
    for (int i = 0; i < 50; ++i, ++rewrites) {
      const std::wstring command = L"rem " + std::to_wstring(round) + L"-" + std::to_wstring(i);
      PostMessageW(edit, WM_KEYDOWN, VK_END, 0);
      for (std::size_t k = 0; k < shown; ++k) PostMessageW(edit, WM_CHAR, L'\b', 0);
      for (const wchar_t c : command) PostMessageW(edit, WM_CHAR, c, 0);
      PostMessageW(edit, WM_CHAR, L'\r', 0);
      shown = command.size();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(random() % 400));
    program.kill();
    // Whatever the moment, the file parses and holds a history without gaps, newest first.
    EXPECT_EQ(iniValue(ini, L"StoredCommands", L"Command3"), L"keep") << "round " << round;
    int count = 0;
    while (!iniValue(ini, L"Commands", (L"Command" + std::to_wstring(count)).c_str()).empty())
      ++count;
    EXPECT_LE(count, kHistoryLimit) << "round " << round;
    // Newest first: "rem <round>-<n>" falls from Command0 down.
    std::pair<int, int> newer{round + 1, 0};
    for (int k = 0; k < count; ++k) {
      const std::wstring entry =
          iniValue(ini, L"Commands", (L"Command" + std::to_wstring(k)).c_str());
      ASSERT_EQ(entry.rfind(L"rem ", 0), 0u) << "round " << round;
      const auto dash = entry.find(L'-');
      const std::pair<int, int> at{std::stoi(entry.substr(4, dash - 4)),
                                   std::stoi(entry.substr(dash + 1))};
      EXPECT_LT(at, newer) << "round " << round << ", Command" << k;
      newer = at;
    }
  }
  record("the file parsed after every kill, history whole, over " + std::to_string(rewrites) +
         " queued rewrites");
}

// ----- Command lines ------------------------------------------------------------------------

struct BadCommand {
  const char* name;
  std::wstring text;
  std::size_t lines;                 // lines of the batch written, 0 when nothing runs
  const wchar_t* refusal = nullptr;  // how the message that refuses it begins, if one does
};

class HostileCommands : public ::testing::TestWithParam<BadCommand> {};

constexpr const wchar_t* kCannotWrite = L"Couldn't run the command: the console's code page (";
constexpr const wchar_t* kTooLong = L"Couldn't run the command: it is ";

TEST_P(HostileCommands, NeverCrashNorInjectASecondLine) {
  const BadCommand& bad = GetParam();
  if (bad.refusal == kCannotWrite && GetOEMCP() == CP_UTF8) {
    GTEST_SKIP() << "the console takes any letter";
  }
  PromptellaProcess program;
  std::ofstream(program.folder() / L"ab.txt") << "a file that a wildcard would match";
  program.start();
  if (bad.refusal) {
    const std::wstring told = enterExpectingMessage(program, bad.text);
    EXPECT_EQ(told.rfind(bad.refusal, 0), 0u) << narrowAscii(told);
    const HWND combo = program.control(ids::kCommandLine);
    // The line keeps its text; only a lone surrogate, which no UTF-8 holds, reads back as U+FFFD.
    std::wstring kept = bad.text;
    std::replace(kept.begin(), kept.end(), L'\xD800', L'\xFFFD');
    EXPECT_TRUE(program.text(combo) == kept) << "the line lost its text";
  } else {
    enter(program, bad.text);
  }
  const auto batch = program.folder() / L"~Promptella.bat";
  if (bad.lines == 0) {
    EXPECT_FALSE(std::filesystem::exists(batch));
  } else {
    EXPECT_TRUE(waitFor([&] { return std::filesystem::exists(batch); }));
    EXPECT_EQ(lineCount(fileBytes(batch)), bad.lines);
  }
  const HWND dialog = openDialog(program);
  EXPECT_EQ(dialog, nullptr) << std::string(messageText(dialog).begin(), messageText(dialog).end());
  EXPECT_TRUE(std::filesystem::exists(program.folder() / L"ab.txt"));
  EXPECT_EQ(program.waitForExit(std::chrono::milliseconds(0)), static_cast<DWORD>(STILL_ACTIVE));
  PostMessageW(program.window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(program.waitForExit(), 0u);
  record(bad.lines     ? "ran as one line of a " + std::to_string(bad.lines) + "-line batch"
         : bad.refusal ? "refused with a message, nothing ran"
                       : "nothing ran");
}

INSTANTIATE_TEST_SUITE_P(
    Commands, HostileCommands,
    ::testing::Values(
        BadCommand{"empty", L"", 0}, BadCommand{"spaces", L"    ", 0},
        BadCommand{"one character", L"x", 6},
        BadCommand{"8191 characters", L"echo " + std::wstring(8186, L'a'), 6},
        // The interpreter would cut the line and run its tail as a command of its own.
        BadCommand{"8192 characters", L"rem " + std::wstring(8172, L'a') + L"&echo TAIL>ab.txt", 0,
                   kTooLong},
        BadCommand{"100000 characters", L"echo " + std::wstring(99995, L'b'), 0, kTooLong},
        BadCommand{"control characters", L"echo \x01\x07\x1b[31m\x7f", 6},
        BadCommand{"CR and LF", L"echo a\r\ndel *.*\rrem\nx", 6},
        BadCommand{"a lone surrogate", L"echo \xD800 end", 0, kCannotWrite},
        BadCommand{"outside the code page", L"echo \u4e2d\u6587 \u0416 \U0001F600", 0,
                   kCannotWrite},
        BadCommand{"letters that would be wildcards", L"del \u65e5\u672c.txt", 0, kCannotWrite},
        BadCommand{"look-alike operators", L"echo x\uff06del ab.txt", 0, kCannotWrite}),
    [](const auto& param) {
      std::string name = param.param.name;
      for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return name;
    });

// ----- Pickers ------------------------------------------------------------------------------

class UnreachableSavedFolder : public ::testing::TestWithParam<const wchar_t*> {};

TEST_P(UnreachableSavedFolder, OpensWithoutAMessageAndTheListsWhereTheyWere) {
  std::wstring ini = L"[Configuration]\r\nPath=" + std::wstring(GetParam()) + L"\r\n";
  PromptellaProcess program(std::string(ini.begin(), ini.end()));
  program.start();
  EXPECT_EQ(lstrcmpiW(program.text(program.control(ids::kFolderList)).c_str(),
                      program.folder().wstring().c_str()),
            0);
  EXPECT_EQ(openDialog(program), nullptr);
  PostMessageW(program.window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(program.waitForExit(), 0u);
  record("opened at once, no message, lists unchanged");
}

INSTANTIATE_TEST_SUITE_P(Pickers, UnreachableSavedFolder,
                         ::testing::Values(L"Q:\\nowhere", L"\\\\nohost\\share"),
                         [](const auto& param) {
                           return param.index == 0 ? "MissingDrive" : "UncShare";
                         });

// Another program removes the folder the lists show: the next command runs nowhere else, the user
// is told, and the lists go up to the nearest folder that is still there.
TEST(PickerFault, AFolderRemovedUnderTheListsRunsNothingAndTheListsGoUp) {
  PromptellaProcess program;
  std::filesystem::create_directories(program.folder() / L"doomed" / L"inner");
  program.start();
  enter(program, L"cd doomed\\inner");
  const HWND list = program.control(ids::kFolderList);
  const std::wstring inner = (program.folder() / L"doomed" / L"inner").wstring();
  ASSERT_TRUE(waitFor([&] { return lstrcmpiW(program.text(list).c_str(), inner.c_str()) == 0; }));
  std::filesystem::remove_all(program.folder() / L"doomed");
  const std::wstring told = enterExpectingMessage(program, L"echo ran> ran.txt");
  EXPECT_EQ(told.rfind(L"Couldn't run the command: the folder " + inner, 0), 0u)
      << narrowAscii(told);
  EXPECT_EQ(lstrcmpiW(program.text(list).c_str(), program.folder().wstring().c_str()), 0);
  EXPECT_TRUE(iniBecomes(program.folder() / L"Promptella.ini", L"Configuration", L"Path",
                         program.folder().wstring()));
  enter(program, L"echo after> after.txt");
  EXPECT_TRUE(waitFor([&] { return std::filesystem::exists(program.folder() / L"after.txt"); }));
  EXPECT_FALSE(std::filesystem::exists(program.folder() / L"ran.txt"));
  PostMessageW(program.window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(program.waitForExit(), 0u);
  record("told, nothing ran, the lists went up to the program's folder");
}

TEST(PickerFault, AFolderDeletedWhileShownIsNotEntered) {
  PromptellaProcess program;
  std::filesystem::create_directories(program.folder() / L"gone");
  program.start();
  const HWND list = program.control(ids::kFolderList);
  const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  std::filesystem::remove(program.folder() / L"gone");
  // The last entry is the only subfolder, "gone": the user double-clicks it.
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(count - 1), 0);
  SendMessageW(program.window(), WM_COMMAND, MAKEWPARAM(ids::kFolderList, LBN_DBLCLK),
               reinterpret_cast<LPARAM>(list));
  EXPECT_EQ(lstrcmpiW(program.text(list).c_str(), program.folder().wstring().c_str()), 0);
  EXPECT_EQ(openDialog(program), nullptr);
  PostMessageW(program.window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(program.waitForExit(), 0u);
  record("nothing entered, no message");
}

// A drive that answers after seconds (a sleeping disk, a share whose server is gone), mounted by
// the test script as a slow file system and given the letter in PROMPTELLA_SLOW_DRIVE: the
// window keeps answering while the user picks it. (On Windows the list then goes back to the
// folder's drive; under Wine a thread that waits on the slow drive holds every file call of the
// process, that drive's check of the other drive included: docs/windows-notes.md.)
TEST(PickerFault, ASlowDriveNeverHoldsTheWindow) {
  wchar_t letter[4] = {};
  if (!GetEnvironmentVariableW(L"PROMPTELLA_SLOW_DRIVE", letter, 4)) {
    GTEST_SKIP() << "no slow drive mounted";
  }
  PromptellaProcess program;
  // Under Wine the start itself waits on the drive too (Wine's server): given time to show.
  program.launch(L"");
  ASSERT_TRUE(program.waitUntilShown(std::chrono::minutes(3)));
  const std::wstring drive{letter[0], L':'};
  const HWND folders = program.control(ids::kFolderList);
  const auto folderOnTheDrive = [&] {
    return _wcsnicmp(program.text(folders).c_str(), drive.c_str(), 2) == 0;
  };
  ASSERT_TRUE(program.pickDrive(drive));
  // The pick's first step writes the drive's batch; the folder list then waits for the drive,
  // which takes longer to answer than the list waits. Meanwhile the window answers.
  const std::string driveBatch = narrowAscii(drive) + "\r\n";
  ASSERT_TRUE(waitFor([&] {
    const std::string bytes = fileBytes(program.folder() / L"~Promptella.bat");
    return _strnicmp(bytes.c_str(), driveBatch.c_str(), driveBatch.size() + 1) == 0;
  }));
  DWORD_PTR ignored = 0;
  const bool answered =
      SendMessageTimeoutW(program.window(), WM_NULL, 0, 0, SMTO_NORMAL, 30000, &ignored) != 0;
  const bool pickStillWaiting = !openDialog(program) && !folderOnTheDrive();
  // A drive that answers later than the pick waits is given up, and told: the message is closed
  // for the pick to end. (Under Wine, whose server stalls on the drive, that is what happens.)
  std::wstring told;
  EXPECT_TRUE(waitFor(
      [&] {
        if (const HWND box = openDialog(program)) {
          told = messageText(box);
          PostMessageW(box, WM_COMMAND, IDOK, 0);
          return false;
        }
        return !told.empty() || folderOnTheDrive();
      },
      std::chrono::minutes(3)));
  EXPECT_TRUE(answered && pickStillWaiting);
  EXPECT_TRUE(told.empty() || told.rfind(L"The drive ", 0) == 0) << narrowAscii(told);
  PostMessageW(program.window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(program.waitForExit(std::chrono::minutes(1)), 0u);
  record(told.empty() ? "answered while the pick waited for the drive"
                      : "answered while the pick waited; told the drive did not answer");
}

// ----- Folders prepared by the test script (skipped when it could not mount them) ------------

std::wstring environment(const wchar_t* name) {
  wchar_t value[MAX_PATH] = {};
  return GetEnvironmentVariableW(name, value, MAX_PATH) ? value : L"";
}

TEST(DiskFault, AFullDiskLeavesTheOldSettingsIntact) {
  const std::wstring folder = environment(L"PROMPTELLA_FULL_DISK");
  if (folder.empty()) GTEST_SKIP() << "no small disk prepared";
  const auto ini = std::filesystem::path(folder) / L"Promptella.ini";
  const std::string before = fileBytes(ini);
  PromptellaProcess program(ExistingFolder{folder});
  program.start();
  // Posted, not sent: should the batch file find no room, the program shows a message box, which
  // a sent key would wait for.
  const std::wstring command = L"echo on-a-full-disk " + std::wstring(200, L'x');
  SendMessageW(program.control(ids::kCommandLine), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(command.c_str()));
  PostMessageW(FindWindowExW(program.control(ids::kCommandLine), nullptr, L"Edit", nullptr),
               WM_CHAR, L'\r', 0);
  // The batch file finds no room either: the user is told, and nothing else changes.
  EXPECT_TRUE(waitFor([&] {
    const auto history = program.comboItems(ids::kCommandLine);
    return (!history.empty() && history.front() == command) || openDialog(program) != nullptr;
  }));
  const HWND dialog = openDialog(program);
  std::wstring message = dialog ? messageText(dialog) : L"";
  if (dialog) PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(fileBytes(ini), before);
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    EXPECT_NE(entry.path().extension(), L".tmp") << "a temporary file was left";
  }
  PostMessageW(program.window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(program.waitForExit(), 0u);
  record(message.empty()
             ? "the settings file unchanged"
             : "the settings file unchanged; told: " + std::string(message.begin(), message.end()));
}

TEST(DiskFault, AReadOnlyProgramFolderKeepsItsFilesInLocalAppData) {
  const std::wstring folder = environment(L"PROMPTELLA_READONLY_FOLDER");
  if (folder.empty()) GTEST_SKIP() << "no read-only folder prepared";
  const std::filesystem::path data = environment(L"LOCALAPPDATA") + L"\\Promptella";
  std::error_code ignored;
  std::filesystem::remove_all(data, ignored);
  PromptellaProcess program(ExistingFolder{folder});
  program.start();
  EXPECT_EQ(program.text(program.control(ids::kSlotButtonFirst + 3)),
            L"echo from-the-program-folder");
  enter(program, L"echo read-only-ok");
  EXPECT_TRUE(waitFor([&] {
    return iniValue(data / L"Promptella.ini", L"Commands", L"Command0") == L"echo read-only-ok";
  }));
  EXPECT_TRUE(std::filesystem::exists(data / L"~Promptella.bat"));
  EXPECT_EQ(openDialog(program), nullptr);
  PostMessageW(program.window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(program.waitForExit(), 0u);
  std::filesystem::remove_all(data, ignored);
  record("settings and batch in %LOCALAPPDATA%\\Promptella, old settings taken along");
}

}  // namespace
}  // namespace promptella::e2e
