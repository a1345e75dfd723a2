// The main window on Windows, built from the layout tables of mainwindow/: controls at their twips
// positions converted with the window's DPI, fonts, colours, tab order, tooltips, lines and menu.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "mainwindow/layout.h"
#include "mainwindow/main_controls.h"
#include "platform/win32/base_window.h"
#include "platform/win32/controls.h"
#include "platform/win32/handles.h"
#include "ui/win32/fonts.h"

namespace promptella {

class MainWindow : public BaseWindow<MainWindow>, public FormWindow {
 public:
  explicit MainWindow(HINSTANCE instance);

  MainControls controls();
  Win32MessageBox& messages() { return messages_; }

  // Raised when the window becomes active coming from another window of this program.
  std::function<void()> onActivate;
  // Raised by the close box, the system menu and Alt+F4.
  std::function<void()> onUnload;
  // Raised when the session ends (log-off, shut-down) or the console is closed, before the
  // system ends the program: the last chance to leave nothing behind.
  std::function<void()> onEndSession;
  std::function<void(int)> onMenuCommand;

  void show();
  int runMessageLoop();

  void setCaption(std::string_view caption) override;
  ScreenRect visibleFrame() const override;
  void repaint() override;
  void takeFocus() override;
  HICON icon() const { return bigIcon_.get(); }
  HCURSOR handCursor() const { return hand_.get(); }

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void createMenu();
  void createControls();
  void applyLayout();
  void paintLines(HDC dc) const;
  void focusLastControl();

  HINSTANCE instance_;
  HMENU menu_ = nullptr;
  HWND toolTips_ = nullptr;
  HWND lastFocus_ = nullptr;
  Win32MessageBox messages_;
  // Every control and menu entry, made from the tables, and the same by ID for the handlers.
  std::vector<std::unique_ptr<Win32Control>> owned_;
  std::vector<std::unique_ptr<Win32MenuItem>> menuItems_;
  std::map<int, Control*> byId_;
  // The controls the window itself has business with.
  Win32FolderList* folders_ = nullptr;
  Win32ComboBox* commandLine_ = nullptr;
  Win32Label* consoleLink_ = nullptr;
  std::vector<Win32Button*> pictureButtons_;
  FontSet fonts_;
  UniqueBitmap triangle_;
  UniqueIcon bigIcon_, smallIcon_;
  UniqueCursor hand_;
  UniqueAccelerators accelerators_;
};

}  // namespace promptella
