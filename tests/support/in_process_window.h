// The real main window inside a test or benchmark process, with every service but the console.
#pragma once

#include <windows.h>

#include <filesystem>

#include "console/companion_console.h"
#include "mainwindow/control_ids.h"
#include "mainwindow/main_window_controller.h"
#include "platform/win32/process_launcher.h"
#include "platform/win32/text.h"
#include "tests/support/no_console.h"
#include "ui/win32/dialogs.h"
#include "ui/win32/main_window.h"

namespace promptella::testing {

struct InProcessWindow {
  explicit InProcessWindow(const std::filesystem::path& folder)
      : window(GetModuleHandleW(nullptr)),
        dialogs(window.hwnd(), window.icon(), window.handCursor()),
        console(consoleApi),
        controller(window.controls(),
                   {app, console, window.messages(), launcher, dialogs, shell, worker}) {
    app.folder_ = narrow(folder.wstring());
  }
  FolderApplication app;
  MainWindow window;
  NoConsole consoleApi;
  Win32ProcessLauncher launcher;
  Win32Dialogs dialogs;
  Win32Shell shell;
  CompanionConsole console;
  InlineWorker worker;  // the settings saved at once, as the tests read them
  MainWindowController controller;
};

}  // namespace promptella::testing
