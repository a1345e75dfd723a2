// The drive list and folder list wrappers keep their contract with real controls: the change event
// is raised inside the assignment, and a missing drive or unreachable folder makes it fail.
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
#include "platform/win32/text.h"
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

TEST_F(Pickers, DriveChangeIsRaisedInsideTheAssignment) {
  const wchar_t other = testing::otherReadyDrive();
  if (!other) GTEST_SKIP() << "needs a second ready drive";
  const std::string letter(1, static_cast<char>(other));
  Win32DriveList drives(host.hwnd, 1);
  ASSERT_TRUE(drives.setDrive("c:"));
  std::string seenInside;
  int changes = 0;
  drives.onChange = [&] {
    ++changes;
    seenInside = drives.drive();
  };
  ASSERT_TRUE(drives.setDrive(letter + ":\\some\\path"));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(seenInside.substr(0, 2), letter + ":");
  EXPECT_EQ(drives.drive().substr(0, 2), letter + ":");
  EXPECT_TRUE(drives.setDrive(std::string(1, static_cast<char>(towupper(other))) + ":"));
  EXPECT_EQ(changes, 1) << "the same drive again raises nothing";
  EXPECT_EQ(SendMessageW(drives.hwnd(), CB_GETCURSEL, 0, 0) >= 0, true);
}

TEST_F(Pickers, MissingDriveFailsWithoutAnEvent) {
  Win32DriveList drives(host.hwnd, 1);
  const std::string before = drives.drive();
  int changes = 0;
  drives.onChange = [&] { ++changes; };
  const char missing = missingDrive();
  ASSERT_NE(missing, 0);
  EXPECT_FALSE(drives.setDrive(std::string(1, missing) + ":"));
  EXPECT_FALSE(drives.setDrive("1:x"));
  EXPECT_FALSE(drives.setDrive(""));
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

  std::atomic<bool> returned{false}, answeredWhileWaiting{false};
  std::thread probe([&] {
    // Were the window held by the pick, this would be answered only once the pick has ended.
    testing::waitFor([] { return asked.load(); });
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(host.hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &ignored);
    answeredWhileWaiting = !returned;
    // The user stops waiting, as the wait cursor invites.
    PostMessageW(drives.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  });
  const std::string before = drives.drive();
  EXPECT_EQ(drives.setDrive("q:").kind, Reach::noAnswer);
  returned = true;
  probe.join();
  EXPECT_TRUE(answeredWhileWaiting);
  EXPECT_EQ(drives.drive(), before);

  // A quit on its way (the program is closing) does not make a ready drive look not ready, and
  // stays for the loop that ends on it.
  PostQuitMessage(3);
  EXPECT_TRUE(drives.setDrive("c:"));
  MSG quit;
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(Pickers, FolderChangeIsRaisedInsideTheAssignment) {
  Win32FolderList folders(host.hwnd, 2);
  std::string seenInside;
  int changes = 0;
  folders.onChange = [&] {
    ++changes;
    seenInside = folders.path();
  };
  ASSERT_TRUE(folders.setPath(folderText(folder)));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(seenInside, folderText(folder));
  EXPECT_TRUE(folders.setPath(folderText(folder)));
  EXPECT_EQ(changes, 1) << "the same folder again raises nothing";

  ASSERT_TRUE(folders.setPath("Sub one"));  // relative to the folder shown
  EXPECT_EQ(folders.path(), folderText(folder / L"Sub one"));
  ASSERT_TRUE(folders.setPath(".."));
  EXPECT_EQ(folders.path(), folderText(folder));
  ASSERT_TRUE(folders.setPath("\xC3\x89lan caf\xC3\xA9"));
  EXPECT_EQ(folders.path(), folderText(folder / L"\u00c9lan caf\u00e9"));
  // Quoted as the interpreter accepts it: the quotes are no part of the name.
  std::string quoted = folderText(folder);
  quoted.insert(quoted.begin(), '"');
  quoted.push_back('"');
  ASSERT_TRUE(folders.setPath(quoted));
  ASSERT_TRUE(folders.setPath("\"Sub one\""));
  EXPECT_EQ(folders.path(), folderText(folder / L"Sub one"));
  ASSERT_TRUE(folders.setPath("\"..\"\\\"b\""));
  EXPECT_EQ(folders.path(), folderText(folder / L"b"));
  EXPECT_EQ(changes, 7);
}

TEST_F(Pickers, UnreachableFolderFailsWithoutAnEvent) {
  Win32FolderList folders(host.hwnd, 2);
  ASSERT_TRUE(folders.setPath(folderText(folder)));
  int changes = 0;
  folders.onChange = [&] { ++changes; };
  EXPECT_FALSE(folders.setPath(folderText(folder / L"missing")));
  EXPECT_FALSE(folders.setPath("/d d:\\x"));
  EXPECT_FALSE(folders.setPath(std::string(1, missingDrive()) + ":\\"));
  EXPECT_FALSE(folders.setPath("\\\\nohost\\share"));
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(folders.path(), folderText(folder));
}

TEST_F(Pickers, FolderListShowsAncestorsThenSortedSubfolders) {
  Win32FolderList folders(host.hwnd, 2);
  ASSERT_TRUE(folders.setPath(folderText(folder)));
  const auto& entries = folders.entries();
  std::size_t current = 0;
  while (current + 1 < entries.size() && entries[current + 1].open) ++current;
  EXPECT_EQ(entries[current].fullPath, folder.wstring());
  EXPECT_EQ(entries[0].fullPath.size(), 3u);  // "C:\"
  for (std::size_t i = 0; i <= current; ++i) EXPECT_EQ(entries[i].level, static_cast<int>(i));
  ASSERT_EQ(entries.size(), current + 1 + 3);
  EXPECT_EQ(entries[current + 1].name, L"b");
  EXPECT_EQ(entries[current + 2].name, L"\u00c9lan caf\u00e9");
  EXPECT_EQ(entries[current + 3].name, L"Sub one");
  EXPECT_FALSE(entries[current + 3].open);
  EXPECT_EQ(entries[current + 3].level, static_cast<int>(current + 1));
  EXPECT_EQ(SendMessageW(folders.hwnd(), LB_GETCOUNT, 0, 0), static_cast<LRESULT>(entries.size()));
  EXPECT_EQ(SendMessageW(folders.hwnd(), LB_GETCURSEL, 0, 0), static_cast<LRESULT>(current));

  int changes = 0;
  folders.onChange = [&] { ++changes; };
  folders.openEntry(static_cast<int>(current + 3));  // what a double-click or Enter does
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(folders.path(), folderText(folder / L"Sub one"));

  // A folder of more names than one batch: their keys are made on a second thread, and the
  // merged list is still in the user's order, complete, and shown.
  const int many = 1100;
  for (int i = 0; i < many; ++i) {
    const std::wstring name = (i % 2 ? L"\u00e9" : L"E") + std::to_wstring(i * 7919 % many);
    CreateDirectoryW((folder / L"Sub one" / name).c_str(), nullptr);
  }
  ASSERT_TRUE(folders.setPath(folderText(folder)));
  ASSERT_TRUE(folders.setPath(folderText(folder / L"Sub one")));
  const auto& listed = folders.entries();
  ASSERT_EQ(listed.size(), current + 2 + many);
  for (std::size_t i = current + 3; i < listed.size(); ++i) {
    const auto& a = listed[i - 1].name;
    const auto& b = listed[i].name;
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
  ASSERT_TRUE(folders.setPath(std::string(1, static_cast<char>(other)) + ":\\"));
  ASSERT_TRUE(folders.setPath(folderText(folder).substr(0, 2)));
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
