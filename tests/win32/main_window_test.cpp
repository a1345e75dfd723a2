// The real main window in-process: menu and shortcuts, tab order, positions and fonts, tooltips,
// and the slot states after a load from a real settings file.
#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <thread>
#include <utility>

#include "mainwindow/layout.h"
#include "platform/win32/colours.h"
#include "product.h"
#include "tests/support/in_process_window.h"
#include "tests/support/temp_dir.h"
#include "tests/support/win32_support.h"

namespace promptella {
namespace {

class RealMainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(folder_ / L"Promptella.ini", std::ios::binary)
        << "[StoredCommands]\r\nCommand2=dir && echo done\r\n";
    // The window of an earlier test posted WM_QUIT when it went; a message box would take it.
    MSG pending;
    while (PeekMessageW(&pending, nullptr, 0, 0, PM_REMOVE)) {
    }
    w_.emplace(folder_.path());
    w_->controller.load();
  }
  void TearDown() override { w_.reset(); }
  int px(int twips) const { return MulDiv(twips, static_cast<int>(GetDpiForWindow(hwnd())), 1440); }
  HWND hwnd() const { return w_->window.hwnd(); }
  HWND item(int id) const { return GetDlgItem(hwnd(), id); }

  testing::TempDir folder_{"promptella-window-"};
  std::optional<testing::InProcessWindow> w_;
};

TEST_F(RealMainWindow, MenuEntriesShortcutsAndSlotStates) {
  const HMENU menu = GetMenu(hwnd());
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(GetMenuItemCount(menu), 3);
  wchar_t caption[64];
  const wchar_t* const tops[] = {L"&File", L"&Stored commands", L"&?"};
  for (int i = 0; i < 3; ++i) {
    GetMenuStringW(menu, static_cast<UINT>(i), caption, 64, MF_BYPOSITION);
    EXPECT_STREQ(caption, tops[i]);
  }
  GetMenuStringW(menu, ids::kMenuExit, caption, 64, MF_BYCOMMAND);
  EXPECT_STREQ(caption, L"&Exit");
  GetMenuStringW(menu, ids::kMenuAbout, caption, 64, MF_BYCOMMAND);
  EXPECT_STREQ(caption, L"&About");
  for (int n = 0; n < kSlotCount; ++n) {
    const UINT id = static_cast<UINT>(ids::kMenuRunFirst + n);
    GetMenuStringW(menu, id, caption, 64, MF_BYCOMMAND);
    const std::wstring key = n < 9 ? L"\tF" + std::to_wstring(n + 1) : L"";
    EXPECT_EQ(std::wstring(caption), L"Run command #" + std::to_wstring(n + 1) + key);
    const bool filled = n == 0 || n == 2;  // slot 0 shows "dir /w"
    EXPECT_EQ((GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) == 0, filled) << "entry " << n;
    EXPECT_EQ(IsWindowEnabled(item(ids::kSlotButtonFirst + n)) != 0, filled) << "button " << n;
  }
  // The ampersands of a stored command are shown, not taken as an access key.
  EXPECT_EQ(w_->window.controls().slotButtons[2]->caption(), "dir && echo done");
  wchar_t shown[64];
  GetWindowTextW(item(ids::kSlotButtonFirst + 2), shown, 64);
  EXPECT_STREQ(shown, L"dir &&&& echo done");
}

// The positions are written out here, in twips, as the form gives them: a wrong row of the layout
// table fails.
TEST_F(RealMainWindow, ControlsStandAtTheirTwipsPositions) {
  struct Place {
    int id, left, top, width;
  };
  std::vector<Place> places = {
      {ids::kLabelCd, 2040, 0, 285},         {ids::kLabelChdir, 2400, 0, 585},
      {ids::kDriveList, 120, 240, 4695},     {ids::kFolderList, 120, 580, 4695},
      {ids::kLabelLegend1, 0, 2810, 4935},   {ids::kCommandLine, 120, 3045, 4695},
      {ids::kLabelLegend2, 120, 7080, 4695}, {ids::kConsoleLink, 240, 7440, 4695}};
  for (int n = 0; n < kSlotCount; ++n) {
    places.push_back({ids::kStoreButtonFirst + n, 240, 3480 + 360 * n, 375});
    places.push_back({ids::kSlotButtonFirst + n, 600, 3480 + 360 * n, 4215});
  }
  EXPECT_EQ(places.size(), layout::controls().size()) << "every control has its place here";
  for (const Place& place : places) {
    RECT box{};
    GetWindowRect(item(place.id), &box);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&box), 2);
    EXPECT_EQ(box.left, px(place.left)) << place.id;
    EXPECT_EQ(box.top, px(place.top)) << place.id;
    EXPECT_EQ(box.right - box.left, px(place.width)) << place.id;
  }
  RECT client{};
  GetClientRect(hwnd(), &client);
  EXPECT_EQ(client.right, px(4920));
  EXPECT_EQ(client.bottom, px(7740));
}

TEST_F(RealMainWindow, TabOrderFollowsTheTable) {
  // Tab positions: command line 0, stored 1..9, drives 10, folders 11, add 1..4, add 5..9, add 0,
  // stored 0.
  std::vector<int> expected = {ids::kCommandLine};
  for (int i = 1; i <= 9; ++i) expected.push_back(ids::kSlotButtonFirst + i);
  expected.push_back(ids::kDriveList);
  expected.push_back(ids::kFolderList);
  for (int i = 1; i <= 9; ++i) expected.push_back(ids::kStoreButtonFirst + i);
  expected.push_back(ids::kStoreButtonFirst);
  expected.push_back(ids::kSlotButtonFirst);
  expected.push_back(ids::kConsoleLink);  // the link comes after the other controls

  // Every control enabled, so that none is skipped.
  for (int n = 0; n < kSlotCount; ++n) EnableWindow(item(ids::kSlotButtonFirst + n), TRUE);
  // Tab as the message loop hands it to the dialog manager, from each control to the next.
  ShowWindow(hwnd(), SW_SHOW);
  SetFocus(FindWindowExW(item(ids::kCommandLine), nullptr, L"Edit", nullptr));
  std::vector<int> order;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    HWND focused = GetFocus();
    if (GetParent(focused) == item(ids::kCommandLine)) focused = item(ids::kCommandLine);
    order.push_back(GetDlgCtrlID(focused));
    MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 0x000f0001, 0, {}};
    if (!IsDialogMessageW(hwnd(), &tab)) DispatchMessageW(&tab);
  }
  EXPECT_EQ(order, expected);

  // The link is clicked with Enter or Space as with the mouse.
  int clicks = 0;
  w_->window.controls().consoleLink.onClick = [&] { ++clicks; };
  for (const WPARAM key : {VK_RETURN, VK_SPACE, VK_TAB}) {
    SendMessageW(item(ids::kConsoleLink), WM_KEYDOWN, key, 0);
  }
  EXPECT_EQ(clicks, 2);
}

TEST_F(RealMainWindow, ColoursAreTheControlsOwnAndTheAboutBoxs) {
  HDC dc = CreateCompatibleDC(nullptr);
  // What a control's WM_CTLCOLOR* question is answered: text, background and brush.
  struct Answer {
    COLORREF text, background, brush;
  };
  const auto ask = [&](HWND window, UINT message, HWND control) {
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
        window, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
    LOGBRUSH fill{};
    GetObjectW(brush, sizeof(fill), &fill);
    return Answer{GetTextColor(dc), GetBkColor(dc), fill.lbColor};
  };
  const auto expect = [](Answer answer, COLORREF text, COLORREF background, const char* what) {
    EXPECT_EQ(answer.text, text) << what;
    EXPECT_EQ(answer.background, background) << what;
    EXPECT_EQ(answer.brush, background) << what;
  };
  const COLORREF navy = RGB(0, 0, 128), blue = RGB(0, 0, 192), orange = RGB(255, 192, 128);
  expect(ask(hwnd(), WM_CTLCOLORSTATIC, item(ids::kLabelCd)), navy, GetSysColor(COLOR_MENU),
         "a navy legend");
  expect(ask(hwnd(), WM_CTLCOLORSTATIC, item(ids::kConsoleLink)), blue, GetSysColor(COLOR_MENU),
         "the console-mode link");
  const HWND edit = FindWindowExW(item(ids::kCommandLine), nullptr, L"Edit", nullptr);
  expect(ask(hwnd(), WM_CTLCOLOREDIT, edit), GetSysColor(COLOR_MENUTEXT), GetSysColor(COLOR_WINDOW),
         "the command line's field");
  EnableWindow(item(ids::kCommandLine), FALSE);  // in console mode
  EXPECT_EQ(ask(hwnd(), WM_CTLCOLORSTATIC, edit).brush, GetSysColor(COLOR_BTNFACE))
      << "the field disabled looks as the system draws it";
  EnableWindow(item(ids::kCommandLine), TRUE);
  w_->dialogs.showAbout([&](AboutView& about) {
    const HWND box = lastProgramDialog();
    expect(ask(box, WM_CTLCOLORDLG, box), GetSysColor(COLOR_BTNTEXT), orange, "the About box");
    expect(ask(box, WM_CTLCOLORSTATIC, GetDlgItem(box, ids::kAboutLink)), blue, orange, "its link");
    expect(ask(box, WM_CTLCOLORSTATIC, GetDlgItem(box, ids::kAboutCredit)),
           GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_BTNFACE), "its credit");
    about.unload();
  });
  DeleteDC(dc);
}

// Under a high-contrast theme the program's own colours give way to the system's. Wine has no
// high-contrast theme to switch to: the colours are asked with the theme handed in.
TEST(ThemeColours, OwnColoursGiveWayToTheSystemsUnderHighContrast) {
  const auto navy = ThemeColour::own(RGB(0, 0, 128), COLOR_MENUTEXT);
  EXPECT_EQ(navy.value(false), RGB(0, 0, 128));
  EXPECT_EQ(navy.value(true), GetSysColor(COLOR_MENUTEXT));
  EXPECT_EQ(ThemeColour::system(COLOR_HIGHLIGHT).value(false), GetSysColor(COLOR_HIGHLIGHT));
  HDC dc = CreateCompatibleDC(nullptr);
  Colours orange(ThemeColour::system(COLOR_BTNTEXT),
                 ThemeColour::own(RGB(255, 192, 128), COLOR_BTNFACE));
  EXPECT_NE(orange.apply(dc, false), GetSysColorBrush(COLOR_BTNFACE));
  EXPECT_EQ(GetBkColor(dc), RGB(255, 192, 128));
  EXPECT_EQ(orange.apply(dc, true), GetSysColorBrush(COLOR_BTNFACE)) << "the theme switched";
  EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE));
  DeleteDC(dc);
}

TEST_F(RealMainWindow, TheWindowGoesWithItsOwnerUnlessTheSystemDestroyedItFirst) {
  const HWND first = hwnd();
  w_.reset();
  EXPECT_FALSE(IsWindow(first));
  w_.emplace(folder_.path());
  DestroyWindow(hwnd());
  EXPECT_EQ(hwnd(), nullptr) << "no longer the owner's to destroy";
}

TEST_F(RealMainWindow, FontsFollowTheTable) {
  const auto fontOf = [&](int id) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(item(id), WM_GETFONT, 0, 0)), sizeof(font),
               &font);
    return font;
  };
  const int dpi = static_cast<int>(GetDpiForWindow(hwnd()));
  EXPECT_EQ(fontOf(ids::kLabelCd).lfWeight, FW_BOLD);
  EXPECT_EQ(fontOf(ids::kLabelCd).lfHeight, -MulDiv(975, dpi, 7200));
  EXPECT_EQ(fontOf(ids::kLabelChdir).lfWeight, FW_NORMAL);
  EXPECT_EQ(fontOf(ids::kCommandLine).lfWeight, FW_BOLD);
  EXPECT_EQ(fontOf(ids::kCommandLine).lfHeight, -MulDiv(825, dpi, 7200));
  EXPECT_TRUE(fontOf(ids::kConsoleLink).lfUnderline);
  EXPECT_EQ(fontOf(ids::kSlotButtonFirst).lfWeight, FW_NORMAL);
}

TEST_F(RealMainWindow, CaptionAndActivationOnlyFromOwnDialogs) {
  wchar_t caption[64];
  GetWindowTextW(hwnd(), caption, 64);
  EXPECT_EQ(std::wstring(caption),
            std::wstring(kProductNameWide) + L" " + std::wstring(kVersion.begin(), kVersion.end()));
  int activations = 0;
  w_->window.onActivate = [&] { ++activations; };
  SendMessageW(hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);  // from no window
  HWND popup = CreateWindowW(L"STATIC", L"popup", WS_POPUP, 0, 0, 10, 10, hwnd(), nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  SendMessageW(hwnd(), WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(popup));
  DestroyWindow(popup);
  EXPECT_EQ(activations, 0) << "a window of the program that is none of its dialogs";
  w_->dialogs.showAbout([](AboutView& about) { about.unload(); });
  ASSERT_NE(lastProgramDialog(), nullptr);
  SendMessageW(hwnd(), WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(lastProgramDialog()));
  EXPECT_EQ(activations, 1) << "back from the About box";

  // A message box takes the window's input while it is open, and closing it is no activation.
  testing::MessageBoxSeen seen;
  std::thread closer = testing::closeMessageBox(hwnd(), seen, [&](HWND box) {
    SendMessageW(hwnd(), WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(box));
  });
  w_->window.messages().show("Couldn't start the batch file");
  closer.join();
  ASSERT_NE(seen.box, nullptr);
  EXPECT_EQ(seen.text, L"Couldn't start the batch file");
  EXPECT_FALSE(seen.ownerEnabled);
  EXPECT_TRUE(IsWindowEnabled(hwnd()));
  EXPECT_EQ(activations, 1);
}

TEST_F(RealMainWindow, AnExceptionInAHandlerIsReportedAndTheWindowRunsOn) {
  w_->window.onMenuCommand = [](int) { throw std::runtime_error("disk on fire"); };
  testing::MessageBoxSeen seen;
  std::thread closer = testing::closeMessageBox(hwnd(), seen);
  SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(ids::kMenuAbout, 0), 0);
  closer.join();
  EXPECT_NE(seen.text.find(L"disk on fire"), std::wstring::npos);
  EXPECT_TRUE(IsWindow(hwnd()));
}

TEST_F(RealMainWindow, ADpiChangeKeepsTheSuggestedPlaceAndScalesTheClientArea) {
  const int dpi = static_cast<int>(GetDpiForWindow(hwnd()));
  for (const int next : {dpi * 3 / 2, dpi}) {
    RECT suggested{300, 200, 800, 900};
    SendMessageW(hwnd(), WM_DPICHANGED, MAKEWPARAM(next, next),
                 reinterpret_cast<LPARAM>(&suggested));
    RECT frame{}, client{};
    GetWindowRect(hwnd(), &frame);
    GetClientRect(hwnd(), &client);
    EXPECT_EQ(frame.left, 300) << next;
    EXPECT_EQ(frame.top, 200) << next;
    EXPECT_EQ(client.right, MulDiv(layout::kClientWidth, next, 1440)) << next;
  }
}

TEST_F(RealMainWindow, StoreButtonTriangleIsTwelveLongAndElevenHigh) {
  const auto picture = reinterpret_cast<HBITMAP>(
      SendMessageW(item(ids::kStoreButtonFirst), BM_GETIMAGE, IMAGE_BITMAP, 0));
  ASSERT_NE(picture, nullptr);
  BITMAP info{};
  GetObjectW(picture, sizeof(info), &info);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, picture);
  // The black pixels inside the frame: the triangle's bounding box.
  const int edge = std::max(1, MulDiv(1, static_cast<int>(GetDpiForWindow(hwnd())), 96));
  RECT box{info.bmWidth, info.bmHeight, -1, -1};
  for (int y = 2 * edge; y < info.bmHeight - edge; ++y) {
    for (int x = 2 * edge; x < info.bmWidth - edge; ++x) {
      if (GetPixel(dc, x, y) != RGB(0, 0, 0)) continue;
      box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x),
             std::max<LONG>(box.bottom, y)};
    }
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  const int dpi = static_cast<int>(GetDpiForWindow(hwnd()));
  EXPECT_EQ(info.bmWidth, MulDiv(25, dpi, 96));
  EXPECT_EQ(box.left, MulDiv(6, dpi, 96));
  EXPECT_EQ(box.right - box.left + 1, MulDiv(12, dpi, 96));
  EXPECT_EQ(box.bottom - box.top + 1, MulDiv(11, dpi, 96));
}

TEST_F(RealMainWindow, ShortcutsOfDisabledEntriesDoNothing) {
  std::vector<int> commands;
  for (int n = 0; n < kSlotCount; ++n) {
    w_->window.controls().menuItems[static_cast<std::size_t>(n)]->onClick = [&commands, n] {
      commands.push_back(ids::kMenuRunFirst + n);
    };
  }
  SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(ids::kMenuRunFirst + 1, 1), 0);  // F2: empty slot
  SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(ids::kMenuRunFirst + 2, 1), 0);  // F3: filled
  EXPECT_EQ(commands, std::vector<int>{ids::kMenuRunFirst + 2});
}

TEST_F(RealMainWindow, StoreButtonsHaveTheirTooltips) {
  const HWND tips = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
  ASSERT_NE(tips, nullptr);
  for (int n = 0; n < kSlotCount; ++n) {
    wchar_t text[128] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(item(ids::kStoreButtonFirst + n));
    tool.lpszText = text;
    SendMessageW(tips, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::wstring(text), L"Add stored command #" + std::to_wstring(n + 1));
  }
}

// Screen readers read every control's name through the accessibility interface.
TEST_F(RealMainWindow, ControlsHaveAccessibleNames) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const auto nameOf = [](HWND control) {
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&accessible)))) {
      return std::wstring(L"<no object>");
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    const HRESULT result = accessible->get_accName(self, &name);
    std::wstring text = SUCCEEDED(result) && name ? name : L"<no name>";
    SysFreeString(name);
    accessible->Release();
    return text;
  };
  const std::wstring legend = L"Type your command below and press Return key";
  EXPECT_EQ(nameOf(item(ids::kStoreButtonFirst + 2)), L"Add stored command #3");
  EXPECT_EQ(nameOf(item(ids::kSlotButtonFirst + 2)), L"Run command #3 dir && echo done");
  EXPECT_EQ(nameOf(item(ids::kSlotButtonFirst + 1)), L"Run command #2 (empty)");
  EXPECT_EQ(nameOf(item(ids::kCommandLine)), legend);
  EXPECT_EQ(nameOf(FindWindowExW(item(ids::kCommandLine), nullptr, L"Edit", nullptr)), legend);
  EXPECT_EQ(nameOf(item(ids::kDriveList)), L"Drive");
  EXPECT_EQ(nameOf(item(ids::kConsoleLink)), L"Switch to console mode (Promptella disabled)");

  // The named object is one COM object: its window interface leads back to it, and names the
  // control.
  IAccessible* accessible = nullptr;
  ASSERT_HRESULT_SUCCEEDED(
      AccessibleObjectFromWindow(item(ids::kSlotButtonFirst + 2), static_cast<DWORD>(OBJID_CLIENT),
                                 __uuidof(IAccessible), reinterpret_cast<void**>(&accessible)));
  IOleWindow* window = nullptr;
  IUnknown *identity = nullptr, *identityFromWindow = nullptr;
  ASSERT_HRESULT_SUCCEEDED(
      accessible->QueryInterface(__uuidof(IOleWindow), reinterpret_cast<void**>(&window)));
  accessible->QueryInterface(__uuidof(IUnknown), reinterpret_cast<void**>(&identity));
  window->QueryInterface(__uuidof(IUnknown), reinterpret_cast<void**>(&identityFromWindow));
  EXPECT_EQ(identity, identityFromWindow);
  HWND named = nullptr;
  EXPECT_HRESULT_SUCCEEDED(window->GetWindow(&named));
  EXPECT_EQ(named, item(ids::kSlotButtonFirst + 2));
  for (IUnknown* object : {static_cast<IUnknown*>(accessible), static_cast<IUnknown*>(window),
                           identity, identityFromWindow}) {
    object->Release();
  }
  CoUninitialize();
}

// Typing a prefix offers the history and the stored commands that begin with it in a list below
// the line; the line keeps what was typed until an entry is chosen with Down.
TEST_F(RealMainWindow, TypingAPrefixSuggestsAStoredCommand) {
  const HWND edit = FindWindowExW(item(ids::kCommandLine), nullptr, L"Edit", nullptr);
  ShowWindow(hwnd(), SW_SHOW);
  SetFocus(edit);
  // Each character reaches the command line's handler once: Enter runs a command once.
  auto& commandLine = w_->window.controls().commandLine;
  int keys = 0;
  const auto handler = std::exchange(commandLine.onKey, [&](Key) { ++keys; });
  const auto press = [&](WPARAM key, wchar_t c) {
    SendMessageW(edit, WM_KEYDOWN, key, 0);
    if (c) SendMessageW(edit, WM_CHAR, c, 0);
    SendMessageW(edit, WM_KEYUP, key, 0);
  };
  for (const wchar_t c : std::wstring(L"dir &")) press(LOBYTE(VkKeyScanW(c)), c);
  const auto lineIs = [&](const wchar_t* expected) {
    return testing::waitFor(
        [&] {
          MSG pending;
          while (PeekMessageW(&pending, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&pending);
          return windowText(edit) == expected && testing::popupShown(hwnd());
        },
        std::chrono::seconds(5));
  };
  EXPECT_TRUE(lineIs(L"dir &")) << "the list is open and nothing is appended to the line";
  commandLine.onKey = handler;
  EXPECT_EQ(keys, 5);
  press(VK_DOWN, 0);
  EXPECT_TRUE(lineIs(L"dir && echo done"));

  // Escape, as the message loop hands it through the dialog manager, closes the list.
  MSG escape{edit, WM_KEYDOWN, VK_ESCAPE, 0x00010001, 0, {}};
  if (!IsDialogMessageW(hwnd(), &escape)) DispatchMessageW(&escape);
  EXPECT_FALSE(testing::popupShown(hwnd()));
}

}  // namespace
}  // namespace promptella
