// Promptella's entry point: builds the main window, wires its events to the handlers and runs the
// message loop.
#include <windows.h>

#include <commctrl.h>

#include "console/companion_console.h"
#include "mainwindow/control_ids.h"
#include "mainwindow/main_window_controller.h"
#include "mainwindow/start_arguments.h"
#include "platform/win32/application.h"
#include "platform/win32/console_api.h"
#include "platform/win32/error_boundary.h"
#include "platform/win32/process_launcher.h"
#include "platform/win32/text.h"
#include "platform/win32/worker.h"
#include "product.h"
#include "ui/win32/dialogs.h"
#include "ui/win32/main_window.h"

namespace {

int run(HINSTANCE instance) {
  using namespace promptella;
  // A removable drive without a medium must fail quietly, not ask the user to insert a disk.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  INITCOMMONCONTROLSEX common{sizeof(common), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&common);
  Win32Application app;
  // /? is answered before a console or a window comes up.
  if (parseStartArguments(app.startArguments()).kind == StartRequest::Kind::usage) {
    MessageBoxW(nullptr, widen(kStartUsage).c_str(), kProductNameWide, MB_OK | MB_ICONINFORMATION);
    return 0;
  }

  // The console host takes a while to come up: it does so while the window builds its controls.
  Win32ConsoleApi consoleApi;
  consoleApi.startAllocating();
  MainWindow window(instance);
  Win32ProcessLauncher launcher;
  Win32Dialogs dialogs(window.hwnd(), window.icon(), window.handCursor());
  Win32Shell shell;
  CompanionConsole console(consoleApi);
  Win32Worker worker;
  MainWindowController controller(
      window.controls(), {app, console, window.messages(), launcher, dialogs, shell, worker});

  window.onActivate = [&] { controller.activate(); };
  window.onUnload = [&] { controller.unload(); };
  window.onEndSession = [&] { controller.endSession(); };
  Win32ConsoleApi::sendEndsTo(window.hwnd());
  window.onMenuCommand = [&](int id) {
    if (id == ids::kMenuExit) controller.exit();
    if (id == ids::kMenuAbout) controller.showAbout();
  };

  controller.load();
  window.show();
  controller.activate();  // the first show comes from no window of ours, yet counts as activation
  return window.runMessageLoop();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Libraries loaded from now on come from the system folder only, never from the program's
  // folder (a Downloads folder) or the current one.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  // An error that escapes even the window procedures' boundaries ends the program, told.
  return promptella::guarded([&] { return run(instance); }, 1);
}
