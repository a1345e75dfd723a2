// The main window on Windows.
#include "ui/win32/main_window.h"
#include "mainwindow/control_ids.h"

#include <commctrl.h>

#include <stdexcept>

#include "platform/win32/colours.h"
#include "platform/win32/off_thread.h"
#include "platform/win32/screen.h"
#include "platform/win32/text.h"
#include "ui/win32/dialogs.h"
#include "ui/win32/fonts.h"
#include "ui/win32/pictures.h"

namespace promptella {
namespace {

constexpr wchar_t kClassName[] = L"PromptellaMainWindow";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME;
constexpr int kDropDownRows = 8;

ThemeColour lineColour(layout::LineColour colour) {
  switch (colour) {
    case layout::LineColour::Brown:
      return ThemeColour::own(RGB(128, 64, 0), COLOR_MENUTEXT);
    case layout::LineColour::Rust:
      return ThemeColour::own(RGB(192, 64, 0), COLOR_MENUTEXT);
    case layout::LineColour::Desktop:
      break;
  }
  return ThemeColour::system(COLOR_DESKTOP);
}

// The command line and the drive list: fields with a list that drops down.
bool isComboBox(layout::Kind kind) {
  return kind == layout::Kind::CommandLine || kind == layout::Kind::DriveList;
}

// A control's colours: its text in the table's colour, on the window's background (a text or a
// link) or on a field's (a list, the command line).
Colours coloursOf(const layout::Control& item) {
  const bool field = isComboBox(item.kind);
  const auto text = [&] {
    switch (item.colour) {
      case layout::Colour::Navy:
        return ThemeColour::own(RGB(0, 0, 128), field ? COLOR_WINDOWTEXT : COLOR_MENUTEXT);
      case layout::Colour::MenuText:
        return ThemeColour::system(COLOR_MENUTEXT);
      case layout::Colour::Highlight:
        return ThemeColour::system(COLOR_HIGHLIGHT);
      case layout::Colour::LinkBlue:
        return ThemeColour::own(RGB(0, 0, 192), COLOR_HOTLIGHT);
      case layout::Colour::Default:
        break;
    }
    return ThemeColour::system(COLOR_WINDOWTEXT);
  };
  return {text(), ThemeColour::system(field ? COLOR_WINDOW : COLOR_MENU)};
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance) {
  bigIcon_.reset(createProgramIcon(GetSystemMetrics(SM_CXICON)));
  smallIcon_.reset(createProgramIcon(GetSystemMetrics(SM_CXSMICON)));
  hand_.reset(createHandCursor());

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance_;
  windowClass.hIcon = bigIcon_.get();
  windowClass.hIconSm = smallIcon_.get();
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
  windowClass.lpszClassName = kClassName;
  // Registered already by an earlier window of this process is as good.
  if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    throw std::runtime_error("cannot register the main window: " + systemErrorText(GetLastError()));
  }

  createMenu();
  if (!CreateWindowExW(kExStyle, kClassName, L"", kStyle, 0, 0, 100, 100, nullptr, menu_, instance_,
                       this)) {
    throw std::runtime_error("cannot create the main window: " + systemErrorText(GetLastError()));
  }
  // Message boxes are owned by the window, which takes no input until they close.
  messages_.setOwner(hwnd());
  setErrorOwner(hwnd());
  SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
  SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
  // Without a tooltip window the buttons simply show no tooltips.
  toolTips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                              WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr, instance_, nullptr);
  createControls();
  applyLayout();
}

void MainWindow::createMenu() {
  menu_ = CreateMenu();
  HMENU popup = nullptr;
  std::vector<ACCEL> keys;
  for (const auto& entry : layout::menu()) {
    std::wstring caption = widen(entry.caption);
    if (entry.topLevel) {
      popup = CreatePopupMenu();
      AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), caption.c_str());
      continue;
    }
    if (entry.functionKey) {
      caption += L"\tF" + std::to_wstring(entry.functionKey);
      keys.push_back({FVIRTKEY, static_cast<WORD>(VK_F1 + entry.functionKey - 1),
                      static_cast<WORD>(entry.id)});
    }
    AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(entry.id), caption.c_str());
  }
  accelerators_.reset(CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size())));
  for (const auto& entry : layout::menu()) {
    if (entry.id < ids::kMenuRunFirst || entry.id >= ids::kMenuRunFirst + kSlotCount) continue;
    menuItems_.push_back(std::make_unique<Win32MenuItem>(menu_, static_cast<UINT>(entry.id)));
    byId_[entry.id] = menuItems_.back().get();
  }
}

void MainWindow::createControls() {
  // Children are created in tab order, which is also the order Tab moves the focus in. Each kind
  // of control has its wrapper; the handlers find them by ID.
  for (const auto& item : layout::controls()) {
    Win32Control* wrapper = nullptr;
    Control* control = nullptr;
    const auto keep = [&](auto made) {
      wrapper = made.get();
      control = made.get();
      auto* kept = made.get();
      owned_.push_back(std::move(made));
      return kept;
    };
    switch (item.kind) {
      case layout::Kind::Text:
        keep(std::make_unique<Win32Label>(hwnd(), item.id, item.text));
        break;
      case layout::Kind::Link:
        consoleLink_ = keep(std::make_unique<Win32Label>(hwnd(), item.id, item.text, true));
        break;
      case layout::Kind::DriveList:
        keep(std::make_unique<Win32DriveList>(hwnd(), item.id))
            ->nameForScreenReaders(item.accessibleName);
        break;
      case layout::Kind::FolderList:
        folders_ = keep(std::make_unique<Win32FolderList>(hwnd(), item.id));
        folders_->nameForScreenReaders(item.accessibleName);
        break;
      case layout::Kind::CommandLine:
        commandLine_ = keep(std::make_unique<Win32ComboBox>(hwnd(), item.id));
        commandLine_->nameForScreenReaders(item.accessibleName, commandLine_->editWindow());
        break;
      case layout::Kind::StoreButton:
      case layout::Kind::SlotButton:
      case layout::Kind::PushButton: {
        const bool picture = item.kind == layout::Kind::StoreButton;
        auto* button = keep(std::make_unique<Win32Button>(hwnd(), item.id, toolTips_, picture));
        if (!item.toolTip.empty()) button->setToolTip(item.toolTip);
        if (picture) {
          button->setAccessibleName(item.toolTip);  // a picture says nothing
          pictureButtons_.push_back(button);
        }
        break;
      }
    }
    // The buttons and the folder list keep the system's colours.
    if (item.kind == layout::Kind::Text || item.kind == layout::Kind::Link ||
        isComboBox(item.kind)) {
      wrapper->setColours(coloursOf(item));
    }
    byId_[item.id] = control;
  }
}

void MainWindow::applyLayout() {
  fonts_.make(dpi_);
  SendMessageW(toolTips_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[layout::Font::Window]),
               FALSE);
  triangle_.reset(createStoreTriangle(dpi_));

  RECT frame{0, 0, px(layout::kClientWidth), px(layout::kClientHeight)};
  AdjustWindowRectExForDpi(&frame, kStyle, TRUE, kExStyle, static_cast<UINT>(dpi_));
  SetWindowPos(hwnd(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
  // The menu bar may wrap at some DPIs: grow the frame until the client area has its full height.
  RECT client{};
  GetClientRect(hwnd(), &client);
  if (client.bottom < px(layout::kClientHeight)) {
    SetWindowPos(hwnd(), nullptr, 0, 0, frame.right - frame.left,
                 frame.bottom - frame.top + px(layout::kClientHeight) - client.bottom,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
  }

  for (const auto& item : layout::controls()) {
    const HWND control = GetDlgItem(hwnd(), item.id);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[item.font]), FALSE);
    int height = px(item.height);
    if (isComboBox(item.kind)) {
      // The field keeps the table's height; the window's height is that of the dropped list.
      SendMessageW(control, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height - 6);
      SendMessageW(control, CB_SETITEMHEIGHT, 0, height - 6);
      height *= kDropDownRows;
    }
    MoveWindow(control, px(item.left), px(item.top), px(item.width), height, FALSE);
  }
  folders_->setItemHeight(MulDiv(16, dpi_, 96));
  for (Win32Button* button : pictureButtons_) button->setPicture(triangle_.get());
  InvalidateRect(hwnd(), nullptr, TRUE);
}

MainControls MainWindow::controls() {
  return MainControls(*this, byId_);
}

void MainWindow::show() {
  ShowWindow(hwnd(), SW_SHOWNORMAL);
  UpdateWindow(hwnd());
  SetFocus(commandLine_->hwnd());
}

int MainWindow::runMessageLoop() {
  MSG message;
  const auto deliver = [&] {
    if (TranslateAcceleratorW(hwnd(), accelerators_.get(), &message)) return;
    if (IsDialogMessageW(hwnd(), &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  };
  // Alt pressed and let go alone opens the menu bar; with a key between (Alt+Down in the command
  // line, which opens the history) it does not. Wine's DefWindowProc sees only the keys that reach
  // it, and opens the menu whenever a control took the key between: that Alt is not handed on.
  bool altAlone = false;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_SYSKEYDOWN || message.message == WM_KEYDOWN) {
      altAlone = message.message == WM_SYSKEYDOWN && message.wParam == VK_MENU;
    }
    if ((message.message == WM_SYSKEYUP || message.message == WM_KEYUP) &&
        message.wParam == VK_MENU && !altAlone) {
      continue;
    }
    // Esc gives up a wait that has gone on (a drive that does not answer), and does what it does.
    if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
      static_cast<void>(giveUpWaits());
    }
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN &&
        message.hwnd == commandLine_->editWindow()) {
      commandLine_->deliverEnter(deliver);
    } else {
      deliver();
    }
  }
  return static_cast<int>(message.wParam);
}

void MainWindow::repaint() {
  RedrawWindow(hwnd(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void MainWindow::takeFocus() {
  SetForegroundWindow(hwnd());
  SetActiveWindow(hwnd());
  focusLastControl();
}

void MainWindow::focusLastControl() {
  // The control that had it when the window was left; else the command line, or the first
  // control that takes it (in console mode): never the window itself, where keys go nowhere.
  HWND next = lastFocus_ && IsChild(hwnd(), lastFocus_) && IsWindowEnabled(lastFocus_)
                  ? lastFocus_
                  : commandLine_->hwnd();
  if (!IsWindowEnabled(next)) next = GetNextDlgTabItem(hwnd(), nullptr, FALSE);
  if (next) SetFocus(next);
}

void MainWindow::setCaption(std::string_view caption) {
  SetWindowTextW(hwnd(), widen(caption).c_str());
}

ScreenRect MainWindow::visibleFrame() const {
  return visibleRect(hwnd());
}

void MainWindow::paintLines(HDC dc) const {
  const bool highContrast = highContrastOn();
  for (const auto& line : layout::lines()) {
    UniquePen pen(
        CreatePen(PS_SOLID, MulDiv(2, dpi_, 96), lineColour(line.colour).value(highContrast)));
    const ScopedSelect select(dc, pen.get());
    MoveToEx(dc, px(line.x1), px(line.y1), nullptr);
    LineTo(dc, px(line.x2), px(line.y2));
  }
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (lParam != 0 || id == IDOK || id == IDCANCEL) return 0;
      // A shortcut of a disabled entry does nothing, like the entry itself.
      if (GetMenuState(menu_, static_cast<UINT>(id), MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) {
        return 0;
      }
      if (id >= ids::kMenuRunFirst && id < ids::kMenuRunFirst + kSlotCount) {
        auto& item = *static_cast<MenuItem*>(byId_.at(id));
        if (item.onClick) item.onClick();
        return 0;
      }
      if (onMenuCommand) onMenuCommand(id);
      return 0;
    }
    case WM_ACTIVATE: {
      if (LOWORD(wParam) == WA_INACTIVE) {
        lastFocus_ = GetFocus();
        return 0;
      }
      focusLastControl();
      // Back from the About box or the clear confirmation; not from a message box, the console
      // or another program.
      const HWND previous = reinterpret_cast<HWND>(lParam);
      if (previous && previous == lastProgramDialog() && onActivate) onActivate();
      return 0;
    }
    case WM_SETCURSOR:
      // The window answers while it waits; the pointer says that it is busy.
      if (busyWaiting() && LOWORD(lParam) == HTCLIENT) {
        SetCursor(LoadCursorW(nullptr, IDC_APPSTARTING));
        return TRUE;
      }
      if (consoleLink_ && reinterpret_cast<HWND>(wParam) == consoleLink_->hwnd()) {
        SetCursor(hand_.get());
        return TRUE;
      }
      break;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd(), &paint);
      paintLines(dc);
      EndPaint(hwnd(), &paint);
      return 0;
    }
    case WM_DPICHANGED:
      followDpiChange(wParam, lParam);
      applyLayout();
      return 0;
    case WM_CLOSE:
      if (onUnload)
        onUnload();
      else
        DestroyWindow(hwnd());
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;  // nothing holds the session's end; what is unsaved is kept at WM_ENDSESSION
    case WM_ENDSESSION:
      if (wParam && onEndSession) onEndSession();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd(), message, wParam, lParam);
}

}  // namespace promptella
