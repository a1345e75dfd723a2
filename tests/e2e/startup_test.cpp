// The real Promptella.exe under Wine: start-up, layout, slots, history, console, restore,
// shut-down.
#include <oleacc.h>

#include <gtest/gtest.h>

#include <fstream>

#include "mainwindow/control_ids.h"
#include "platform/win32/screen.h"
#include "product.h"
#include "tests/e2e/driver.h"

namespace promptella::e2e {
namespace {

constexpr char kPreparedIni[] =
    "[Configuration]\r\n"
    "Path=C:\\windows\\system32\r\n"
    "[StoredCommands]\r\n"
    "Command0=ver\r\n"
    "Command3=echo \"three\"\r\n"
    "Command4=\r\n"
    "[Commands]\r\n"
    "Command0=dir /w\r\n"
    "Command1=cd ..\r\n"
    "Command2=echo hello\r\n";

int dpiOf(HWND window) {
  HDC dc = GetDC(window);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(window, dc);
  return dpi;
}

TEST(Startup, WindowSlotsHistoryConsoleAndRestoredFolder) {
  PromptellaProcess program(kPreparedIni);
  program.start();
  const HWND main = program.window();

  EXPECT_EQ(program.text(main), (std::wstring(kProductNameWide) + L" " +
                                 std::wstring(kVersion.begin(), kVersion.end())));
  RECT frame{};
  GetWindowRect(main, &frame);
  EXPECT_EQ(frame.left, 0);
  EXPECT_EQ(frame.top, 0);
  RECT client{};
  GetClientRect(main, &client);
  const int dpi = dpiOf(main);
  EXPECT_EQ(client.right, MulDiv(4920, dpi, 1440));
  EXPECT_EQ(client.bottom, MulDiv(7740, dpi, 1440));

  // Slots: captions, tooltips and enabled states of the buttons. (Menus cannot be read from
  // another process under Wine; the Win32 tests check them in-process.)
  for (int n = 0; n < kSlotCount; ++n) {
    const HWND stored = program.control(ids::kSlotButtonFirst + n);
    const std::wstring expected = n == 0 ? L"ver" : n == 3 ? L"echo \"three\"" : L"";
    EXPECT_EQ(program.text(stored), expected) << "slot " << n;
    EXPECT_EQ(program.toolTip(stored), expected) << "slot " << n;
    EXPECT_EQ(IsWindowEnabled(stored) != 0, !expected.empty()) << "slot " << n;
    EXPECT_EQ(program.toolTip(program.control(ids::kStoreButtonFirst + n)),
              L"Add stored command #" + std::to_wstring(n + 1));
  }

  EXPECT_EQ(program.comboItems(ids::kCommandLine),
            (std::vector<std::wstring>{L"dir /w", L"cd ..", L"echo hello"}));
  EXPECT_EQ(program.text(program.control(ids::kCommandLine)), L"");
  EXPECT_EQ(GetWindowTextLengthW(program.control(ids::kLabelLegend1)) > 0, true);

  // The saved folder is restored into the pickers on the first activation.
  EXPECT_TRUE(waitFor(
      [&] {
        return lstrcmpiW(program.text(program.control(ids::kFolderList)).c_str(),
                         L"C:\\windows\\system32") == 0;
      },
      std::chrono::seconds(10)))
      << "folder list shows "
      << std::string(program.text(program.control(ids::kFolderList)).begin(),
                     program.text(program.control(ids::kFolderList)).end());
  EXPECT_EQ(program.text(program.control(ids::kDriveList)).substr(0, 2), L"c:");

  // The companion console: title, greeting, and standing right beside the window at the top.
  ASSERT_TRUE(program.attachConsole());
  wchar_t title[256] = {};
  GetConsoleTitleW(title, 256);
  EXPECT_EQ(std::wstring(title), L"Promptella");
  EXPECT_EQ(program.consoleLine(0), L"Hello from Console");
  const HWND console = GetConsoleWindow();
  ASSERT_NE(console, nullptr);
  // The visible frames touch (on Windows 10 and 11 the rectangles include invisible borders).
  ScreenRect consoleFrame{};
  const ScreenRect windowFrame = visibleRect(main);
  EXPECT_TRUE(waitFor(
      [&] {
        consoleFrame = visibleRect(console);
        return consoleFrame.left == windowFrame.right && consoleFrame.top == 0;
      },
      std::chrono::seconds(5)))
      << "console at " << consoleFrame.left << "," << consoleFrame.top << "; window ends at "
      << windowFrame.right;
  program.detachConsole();

  saveScreenshot(screenshotFolder() / L"startup.bmp");
}

TEST(Startup, WithoutSettingsSlot0ShowsTheDefaultAndNothingIsWritten) {
  PromptellaProcess program;
  program.start();
  EXPECT_EQ(program.text(program.control(ids::kSlotButtonFirst)), L"dir /w");
  // A screen reader asks for the names as soon as the window shows, before any key or click: the
  // program hands its object over through COM, which that first question starts.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IAccessible* accessible = nullptr;
  ASSERT_HRESULT_SUCCEEDED(AccessibleObjectFromWindow(
      program.control(ids::kSlotButtonFirst), static_cast<DWORD>(OBJID_CLIENT),
      __uuidof(IAccessible), reinterpret_cast<void**>(&accessible)));
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  EXPECT_HRESULT_SUCCEEDED(accessible->get_accName(self, &name));
  EXPECT_EQ(std::wstring(name ? name : L""), L"Run command #1 dir /w");
  SysFreeString(name);
  accessible->Release();
  EXPECT_TRUE(IsWindowEnabled(program.control(ids::kSlotButtonFirst)));
  EXPECT_FALSE(IsWindowEnabled(program.control(ids::kSlotButtonFirst + 1)));
  EXPECT_TRUE(program.comboItems(ids::kCommandLine).empty());
  EXPECT_EQ(lstrcmpiW(program.text(program.control(ids::kFolderList)).c_str(),
                      program.folder().wstring().c_str()),
            0);
  EXPECT_FALSE(std::filesystem::exists(program.folder() / L"Promptella.ini"));
}

// A dwmapi.dll lying beside the program (a Downloads folder) is never loaded in place of the
// system's. Wine is told to search as Windows does for it (native first).
TEST(Startup, ADllPlantedBesideTheProgramIsNotLoaded) {
  PromptellaProcess program;
  std::filesystem::copy_file(executableFolder() / L"planted" / L"dwmapi.dll",
                             program.folder() / L"dwmapi.dll");
  wchar_t overrides[512] = {};
  GetEnvironmentVariableW(L"WINEDLLOVERRIDES", overrides, 512);
  SetEnvironmentVariableW(L"WINEDLLOVERRIDES", (std::wstring(overrides) + L";dwmapi=n,b").c_str());
  program.start();
  SetEnvironmentVariableW(L"WINEDLLOVERRIDES", overrides);
  // Placing the console beside the window has asked for the window's visible frame.
  EXPECT_FALSE(std::filesystem::exists(program.folder() / L"planted-dll-loaded.txt"));
}

// "Open Promptella here": a folder on the command line, as Explorer's entries pass it. `{}` stands
// for the program's folder; an empty `shows` means the saved folder.
struct StartFolderCase {
  const char* name;
  std::wstring arguments, shows, message;
};

class StartFolder : public ::testing::TestWithParam<StartFolderCase> {};

std::wstring expand(std::wstring text, const std::filesystem::path& folder) {
  const auto at = text.find(L"{}");
  return at == std::wstring::npos ? text : text.replace(at, 2, folder.wstring());
}

TEST_P(StartFolder, TheListsAndTheCommandsStartThere) {
  PromptellaProcess program(kPreparedIni);
  std::filesystem::create_directories(program.folder() / L"sub");
  std::filesystem::create_directories(program.folder() / L"50% off");
  std::ofstream(program.folder() / L"sub" / L"note.txt") << "note";
  // A folder change an earlier version kept for this start: the folder given now outranks it.
  const auto kept = program.folder() / L"Promptella.ini.pending";
  std::ofstream(kept) << "[Change0]\r\nKind=0\r\nSection=Configuration\r\nKey=Path\r\n"
                         "What=the folder shown\r\nValue=C:\\windows\\system32\r\nLimit=0\r\n";
  program.launch(expand(GetParam().arguments, program.folder()));
  if (!GetParam().message.empty()) {
    const HWND box = program.waitForDialog(L"Promptella");
    ASSERT_NE(box, nullptr);
    const std::wstring message = expand(GetParam().message, program.folder());
    EXPECT_EQ(messageText(box).substr(0, message.size()), message);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  ASSERT_TRUE(program.waitUntilShown());
  const std::wstring shows = GetParam().shows.empty() ? L"C:\\windows\\system32"
                                                      : expand(GetParam().shows, program.folder());
  const auto folderList = [&] { return program.text(program.control(ids::kFolderList)); };
  EXPECT_TRUE(waitFor([&] { return lstrcmpiW(folderList().c_str(), shows.c_str()) == 0; }))
      << narrowAscii(folderList());
  EXPECT_TRUE(iniBecomes(program.folder() / L"Promptella.ini", L"Configuration", L"Path", shows));
  EXPECT_FALSE(std::filesystem::exists(kept)) << "saved, then removed";
  // The next command runs there (chdir: "cd" would bring up the history's "cd .." below the line).
  program.typeCommand(L"chdir>promptella-here.txt");
  const std::filesystem::path written = std::filesystem::path(shows) / L"promptella-here.txt";
  EXPECT_TRUE(waitFor([&] { return fileBytes(written).find('\n') != std::string::npos; }));
  const std::string line = fileBytes(written).substr(0, fileBytes(written).find('\r'));
  EXPECT_EQ(lstrcmpiW(std::wstring(line.begin(), line.end()).c_str(), shows.c_str()), 0)
      << fileBytes(written);
  std::filesystem::remove(written);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, StartFolder,
    ::testing::Values(
        StartFolderCase{"Folder", L" \"{}\\sub\"", L"{}\\sub", L""},
        StartFolderCase{"FileMeansItsFolder", L" \"{}\\sub\\note.txt\"", L"{}\\sub", L""},
        StartFolderCase{"PercentInTheName", L" \"{}\\50% off\"", L"{}\\50% off", L""},
        StartFolderCase{"DriveRootAsExplorerQuotesIt", L" \"C:\\\"", L"C:\\", L""},
        StartFolderCase{"RelativeToTheCurrentFolder", L" sub", L"{}\\sub", L""},
        StartFolderCase{"MissingFolderIsToldThenAnOrdinaryStart", L" \"{}\\missing\"", L"",
                        L"Couldn't open the folder {}\\missing: it does not exist"},
        StartFolderCase{"None", L"", L"", L""}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(Startup, UsageIsShownAndNothingStarts) {
  PromptellaProcess program;
  program.launch(L" /?");
  const HWND box = program.waitForDialog(L"Promptella");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(messageText(box).substr(0, 30), L"Usage: Promptella.exe [folder]");
  EXPECT_FALSE(program.waitUntilShown(std::chrono::milliseconds(500)));
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(program.waitForExit(), 0u);
  EXPECT_FALSE(std::filesystem::exists(program.folder() / L"Promptella.ini"));
}

TEST(Shutdown, CloseBoxRemovesTheBatchFileAndEndsWith0) {
  PromptellaProcess program;
  program.start();
  const auto batch = program.folder() / L"~Promptella.bat";
  std::ofstream(batch) << "@echo off\r\n";
  PostMessageW(program.window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(program.waitForExit(), 0u);
  EXPECT_FALSE(std::filesystem::exists(batch));
}

// The end of the session leaves no batch file behind and ends the program, whatever the session's
// end says (log-off, or an installer's ENDSESSION_CLOSEAPP). Closing the console ends the program
// too; on Windows its CTRL_CLOSE_EVENT runs the same clean-up first, which Wine's console host does
// not send (docs/windows-notes.md).
TEST(Shutdown, TheSessionsEndOrTheConsolesCloseEndsTheProgram) {
  for (const LPARAM why : {LPARAM{ENDSESSION_LOGOFF}, LPARAM{ENDSESSION_CLOSEAPP}}) {
    PromptellaProcess program;
    program.start();
    const auto batch = program.folder() / L"~Promptella.bat";
    std::ofstream(batch) << "@echo off\r\n";
    DWORD_PTR answered = 0;
    SendMessageTimeoutW(program.window(), WM_QUERYENDSESSION, 0, why, SMTO_NORMAL, 5000, &answered);
    EXPECT_EQ(answered, TRUE) << why;
    SendMessageTimeoutW(program.window(), WM_ENDSESSION, TRUE, why, SMTO_NORMAL, 5000, &answered);
    EXPECT_EQ(program.waitForExit(), 0u) << why;
    EXPECT_FALSE(std::filesystem::exists(batch)) << why;
  }
  PromptellaProcess program;
  program.start();
  ASSERT_TRUE(program.attachConsole());
  const HWND console = GetConsoleWindow();
  program.detachConsole();
  ASSERT_NE(console, nullptr);
  PostMessageW(console, WM_CLOSE, 0, 0);
  EXPECT_NE(program.waitForExit(), DWORD{STILL_ACTIVE});
}

TEST(Shutdown, FileExitEndsAtOnceAndLeavesTheBatchFile) {
  PromptellaProcess program;
  program.start();
  const auto batch = program.folder() / L"~Promptella.bat";
  std::ofstream(batch) << "@echo off\r\n";
  PostMessageW(program.window(), WM_COMMAND, MAKEWPARAM(ids::kMenuExit, 0), 0);
  EXPECT_EQ(program.waitForExit(), 0u);
  EXPECT_TRUE(std::filesystem::exists(batch));
}

}  // namespace
}  // namespace promptella::e2e
