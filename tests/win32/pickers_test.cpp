// The drive list and folder list wrappers keep their contract with real controls: only the user's
// pick raises the change event, a move is answered later while the window answers, and a missing
// drive or unreachable folder makes it fail.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <thread>

#include <filesystem>
#include <string>

#include "platform/win32/controls.h"
#include "platform/win32/off_thread.h"
#include "platform/win32/text.h"
#include "tests/support/tasks.h"
#include "tests/support/temp_dir.h"
#include "tests/support/win32_support.h"

namespace promptella {
namespace {

class HostWindow {
 public:
  HostWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"PromptellaTestHost";
    RegisterClassW(&windowClass);
    hwnd = CreateWindowW(L"PromptellaTestHost", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 400,
                         nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  ~HostWindow() { DestroyWindow(hwnd); }
  static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (Win32Control::route(message, wParam, lParam, result)) return result;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  HWND hwnd;
};

// A letter that names no drive on this system.
char missingDrive() {
  const DWORD drives = GetLogicalDrives();
  for (char letter = 'q'; letter <= 'y'; ++letter) {
    if (!(drives & (1u << (letter - 'a')))) return letter;
  }
  return 0;
}

// A move's answer, the window's messages handled meanwhile.
template <typename T>
T answer(Task<T> move) {
  return testing::finish(std::move(move), testing::pumpMessages);
}

class Pickers : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(folder / L"Sub one");
    std::filesystem::create_directories(folder / L"\u00c9lan caf\u00e9");
    std::filesystem::create_directories(folder / L"b");
  }

  std::string folderText(const std::filesystem::path& p) { return narrow(p.wstring()); }

  HostWindow host;
  testing::TempDir temp{"promptella-pickers-"};
  const std::filesystem::path& folder = temp.path();
};

// As with the system's own lists, only the user's pick raises the change event; the list reports
// the drive it is on until it is moved to the pick.
TEST_F(Pickers, OnlyTheUsersPickOfAnotherDriveRaisesTheChange) {
  const wchar_t other = testing::otherReadyDrive();
  if (!other) GTEST_SKIP() << "needs a second ready drive";
  const std::string letter(1, static_cast<char>(other));
  Win32DriveList drives(host.hwnd, 1);
  ASSERT_TRUE(answer(drives.setDrive("c:")));
  std::string picked;
  int changes = 0;
  drives.onChange = [&](const std::string& drive) {
    ++changes;
    picked = drive;
  };
  ASSERT_TRUE(answer(drives.setDrive(letter + ":\\some\\path")));
  EXPECT_EQ(drives.drive().substr(0, 2), letter + ":");
  EXPECT_TRUE(answer(drives.setDrive(std::string(1, static_cast<char>(towupper(other))) + ":")));
  EXPECT_EQ(changes, 0);
  // The user picks c: in the list, then the same again once the list went there.
  const auto pick = [&](wchar_t drive) {
    const auto index = SendMessageW(drives.hwnd(), CB_FINDSTRING, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(std::wstring{drive, L':'}.c_str()));
    SendMessageW(drives.hwnd(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(host.hwnd, WM_COMMAND, MAKEWPARAM(1, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(drives.hwnd()));
  };
  pick(L'c');
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(picked.substr(0, 2), "c:");
  EXPECT_EQ(drives.drive().substr(0, 2), letter + ":") << "not moved by the pick itself";
  ASSERT_TRUE(answer(drives.setDrive(picked)));
  pick(L'c');
  EXPECT_EQ(changes, 1) << "the same drive again raises nothing";
}

TEST_F(Pickers, MissingDriveFailsWithoutAnEvent) {
  Win32DriveList drives(host.hwnd, 1);
  const std::string before = drives.drive();
  int changes = 0;
  drives.onChange = [&](const std::string&) { ++changes; };
  const char missing = missingDrive();
  ASSERT_NE(missing, 0);
  EXPECT_FALSE(answer(drives.setDrive(std::string(1, missing) + ":")));
  EXPECT_FALSE(answer(drives.setDrive("1:x")));
  EXPECT_FALSE(answer(drives.setDrive("")));
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(drives.drive(), before);
}

TEST_F(Pickers, DriveTextIsLetterColonAndLabel) {
  const std::string text = narrow(DriveSource{}.describe(L'C'));
  ASSERT_GE(text.size(), 2u);
  EXPECT_EQ(text.substr(0, 2), "c:");
  if (text.size() > 2) {
    EXPECT_EQ(text[2], ' ');
  }
}

// A drive that is slow to answer (a sleeping disk, a share whose server is gone) never holds the
// window: its letter shows at once and its label when it comes; a pick of it is answered by the
// window meanwhile, and counts as not ready when the drive does not answer in time.
TEST_F(Pickers, ASlowDriveNeverHoldsTheWindow) {
  static std::atomic<bool> asked{false};  // the pick is waiting for the drive
  struct SlowDrive : DriveSource {
    DWORD drives() const override { return DriveSource::drives() | (1u << (L'q' - L'a')); }
    std::wstring describe(wchar_t letter) const override {
      if (letter != L'q') return DriveSource::describe(letter);
      Sleep(500);
      return L"q: SLOW";
    }
    bool ready(wchar_t letter) const override {
      if (letter != L'q') return DriveSource::ready(letter);
      asked = true;
      Sleep(60000);
      return true;
    }
  };
  Win32DriveList drives(host.hwnd, 1, std::make_shared<SlowDrive>());
  const auto itemOfQ = [&] {
    const auto count = SendMessageW(drives.hwnd(), CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      wchar_t text[MAX_PATH] = {};
      SendMessageW(drives.hwnd(), CB_GETLBTEXT, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(text));
      if (text[0] == L'q') return std::wstring(text);
    }
    return std::wstring();
  };
  EXPECT_EQ(itemOfQ(), L"q:") << "the letter, before the drive has answered";
  EXPECT_TRUE(testing::waitFor([&] {
    MSG pending;
    while (PeekMessageW(&pending, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&pending);
    return itemOfQ() == L"q: SLOW";
  }));

  // The move waits off the window's thread; once it has gone on a while, the pointer says so,
  // and Esc gives it up.
  const std::string before = drives.drive();
  const auto gaveUp = [&] {
    if (asked && busyWaiting()) static_cast<void>(giveUpWaits());
  };
  EXPECT_EQ(testing::finish(drives.setDrive("q:"),
                            [&] {
                              testing::pumpMessages();
                              gaveUp();
                            })
                .kind,
            Reach::noAnswer);
  EXPECT_EQ(drives.drive(), before);
}

TEST_F(Pickers, AssignedFoldersResolveAsTheInterpreterReadsThem) {
  Win32FolderList folders(host.hwnd, 2);
  int changes = 0;
  folders.onChange = [&](const std::string&) { ++changes; };
  ASSERT_TRUE(answer(folders.setPath(folderText(folder))));

  ASSERT_TRUE(answer(folders.setPath("Sub one")));  // relative to the folder shown
  EXPECT_EQ(folders.path(), folderText(folder / L"Sub one"));
  ASSERT_TRUE(answer(folders.setPath("..")));
  EXPECT_EQ(folders.path(), folderText(folder));
  ASSERT_TRUE(answer(folders.setPath("\xC3\x89lan caf\xC3\xA9")));
  EXPECT_EQ(folders.path(), folderText(folder / L"\u00c9lan caf\u00e9"));
  // Quoted as the interpreter accepts it: the quotes are no part of the name.
  std::string quoted = folderText(folder);
  quoted.insert(quoted.begin(), '"');
  quoted.push_back('"');
  ASSERT_TRUE(answer(folders.setPath(quoted)));
  ASSERT_TRUE(answer(folders.setPath("\"Sub one\"")));
  EXPECT_EQ(folders.path(), folderText(folder / L"Sub one"));
  ASSERT_TRUE(answer(folders.setPath("\"..\"\\\"b\"")));
  EXPECT_EQ(folders.path(), folderText(folder / L"b"));
  EXPECT_EQ(changes, 0);
}

TEST_F(Pickers, UnreachableFolderFailsWithoutAnEvent) {
  Win32FolderList folders(host.hwnd, 2);
  ASSERT_TRUE(answer(folders.setPath(folderText(folder))));
  int changes = 0;
  folders.onChange = [&](const std::string&) { ++changes; };
  EXPECT_FALSE(answer(folders.setPath(folderText(folder / L"missing"))));
  EXPECT_FALSE(answer(folders.setPath("/d d:\\x")));
  EXPECT_FALSE(answer(folders.setPath(std::string(1, missingDrive()) + ":\\")));
  EXPECT_FALSE(answer(folders.setPath("\\\\nohost\\share")));
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(folders.path(), folderText(folder));
}

TEST_F(Pickers, FolderListShowsAncestorsThenSortedSubfolders) {
  Win32FolderList folders(host.hwnd, 2);
  ASSERT_TRUE(answer(folders.setPath(folderText(folder))));
  // The names as screen readers and automation tools read them.
  const auto names = [&] {
    std::vector<std::wstring> listed;
    const auto count = SendMessageW(folders.hwnd(), LB_GETCOUNT, 0, 0);
    for (WPARAM i = 0; i < static_cast<WPARAM>(count); ++i) {
      std::wstring name(
          static_cast<std::size_t>(SendMessageW(folders.hwnd(), LB_GETTEXTLEN, i, 0)) + 1, L'?');
      name.resize(static_cast<std::size_t>(
          SendMessageW(folders.hwnd(), LB_GETTEXT, i, reinterpret_cast<LPARAM>(name.data()))));
      listed.push_back(name);
    }
    return listed;
  };
  const auto entries = names();
  const auto current = static_cast<std::size_t>(SendMessageW(folders.hwnd(), LB_GETCURSEL, 0, 0));
  ASSERT_EQ(entries.size(), current + 1 + 3);
  EXPECT_EQ(entries[0], folder.wstring().substr(0, 3));  // "C:\"
  EXPECT_EQ(entries[current], folder.filename().wstring());
  EXPECT_EQ(entries[current + 1], L"b");
  EXPECT_EQ(entries[current + 2], L"\u00c9lan caf\u00e9");
  EXPECT_EQ(entries[current + 3], L"Sub one");

  // Letters typed find an entry, as in the system's lists ("s", then "su"); only Enter opens it.
  // The user opens "Sub one" so; once there, Enter on the folder shown opens nothing.
  std::vector<std::string> opened;
  folders.onChange = [&](const std::string& target) { opened.push_back(target); };
  SendMessageW(folders.hwnd(), LB_SETCURSEL, 0, 0);
  for (const wchar_t typed : {L's', L'U'}) {
    SendMessageW(folders.hwnd(), WM_CHAR, typed, 0);
    EXPECT_EQ(SendMessageW(folders.hwnd(), LB_GETCURSEL, 0, 0), static_cast<LRESULT>(current + 3));
  }
  EXPECT_TRUE(opened.empty());
  SendMessageW(folders.hwnd(), WM_KEYDOWN, VK_RETURN, 0);
  ASSERT_EQ(opened, std::vector<std::string>{folderText(folder / L"Sub one")});
  EXPECT_EQ(folders.path(), folderText(folder)) << "moved by the change handler, not the pick";
  ASSERT_TRUE(answer(folders.setPath(opened[0])));
  SendMessageW(folders.hwnd(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(opened.size(), 1u);

  // A folder of more names than one batch: their keys are made on a second thread, and the
  // merged list is still in the user's order, complete, and shown.
  const int many = 1100;
  for (int i = 0; i < many; ++i) {
    const std::wstring name = (i % 2 ? L"\u00e9" : L"E") + std::to_wstring(i * 7919 % many);
    CreateDirectoryW((folder / L"Sub one" / name).c_str(), nullptr);
  }
  ASSERT_TRUE(answer(folders.setPath(folderText(folder))));
  ASSERT_TRUE(answer(folders.setPath(folderText(folder / L"Sub one"))));
  const auto listed = names();
  ASSERT_EQ(listed.size(), current + 2 + many);
  for (std::size_t i = current + 3; i < listed.size(); ++i) {
    const auto& a = listed[i - 1];
    const auto& b = listed[i];
    ASSERT_EQ(CompareStringEx(LOCALE_NAME_USER_DEFAULT, LINGUISTIC_IGNORECASE, a.c_str(), -1,
                              b.c_str(), -1, nullptr, nullptr, 0),
              CSTR_LESS_THAN)
        << narrow(a) << " before " << narrow(b);
  }
  EXPECT_TRUE(GetWindowLongPtrW(folders.hwnd(), GWL_STYLE) & WS_VISIBLE);
}

TEST_F(Pickers, DriveAloneGivesThatDrivesCurrentFolder) {
  const wchar_t other = testing::otherReadyDrive();
  if (!other) GTEST_SKIP() << "needs a second ready drive";
  Win32FolderList folders(host.hwnd, 2);
  SetCurrentDirectoryW(folder.c_str());
  ASSERT_TRUE(answer(folders.setPath(std::string(1, static_cast<char>(other)) + ":\\")));
  ASSERT_TRUE(answer(folders.setPath(folderText(folder).substr(0, 2))));
  EXPECT_EQ(folders.path(), folderText(folder));
}

// Files dropped from the Explorer: their full paths at the caret, quoted when they hold a blank or
// a character the interpreter would read as an operator, each % doubled.
TEST_F(Pickers, DroppedPathsGoToTheCaretQuotedWhenTheyHoldABlankOrAnOperator) {
  Win32ComboBox commandLine(host.hwnd, 3);
  commandLine.setText("type  & pause");
  SendMessageW(commandLine.editWindow(), EM_SETSEL, 5, 5);
  const std::wstring files = std::wstring(L"C:\\a b\\x.txt") + L'\0' + L"C:\\c.txt" + L'\0' +
                             L"C:\\R&D" + L'\0' + L"C:\\50% off\\a.txt" + L'\0' +
                             L"C:\\pct%TEMP%x" + L'\0' + L'\0';
  HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + files.size() * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), files.data(),
              files.size() * sizeof(wchar_t));
  GlobalUnlock(block);
  SendMessageW(commandLine.editWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
  // Every command runs from a batch file, where a % starts a variable: a path keeps its name.
  EXPECT_EQ(
      commandLine.text(),
      "type \"C:\\a b\\x.txt\" C:\\c.txt \"C:\\R&D\" \"C:\\50%% off\\a.txt\" C:\\pct%%TEMP%%x & "
      "pause");
}

}  // namespace
}  // namespace promptella
