// Batch starts: the command interpreter of the system folder, named in full, runs the batch file;
// no new console, so the batch runs in the program's own.
#include "platform/win32/process_launcher.h"

#include <windows.h>

#include <memory>

#include "platform/interpreter.h"
#include "platform/win32/handles.h"
#include "platform/win32/off_thread.h"
#include "platform/win32/text.h"

namespace promptella {
namespace {

class Win32Process : public StartedProcess {
 public:
  explicit Win32Process(HANDLE process) : process_(process) {}
  bool running() const override { return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
  Task<> ended() const override {
    // The waiting thread holds a handle of its own: this object may go first.
    HANDLE own = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), process_.get(), GetCurrentProcess(), &own,
                         SYNCHRONIZE, FALSE, 0)) {
      co_return;  // as good as ended: nothing is waited for
    }
    auto process = std::make_shared<UniqueHandle>(own);
    const auto waiting = offThread<bool>(
        [process] { return WaitForSingleObject(process->get(), INFINITE) == WAIT_OBJECT_0; },
        INFINITE);
    static_cast<void>(co_await waiting);
  }

 private:
  UniqueHandle process_;
};

}  // namespace

StartResult Win32ProcessLauncher::startBatch(std::string_view batchFile, int showWindow,
                                             std::string_view workingFolder) {
  // Started implicitly (the batch file as the program), the interpreter would be looked up
  // through the search path and run the user's AutoRun commands and delayed expansion: a
  // "chcp 65001" there makes it misread our batch, a ! in the cd line would be expanded.
  wchar_t system[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return {Outcome::failed(systemErrorText(GetLastError())), nullptr};
  const std::wstring interpreter = std::wstring(system, length) + L"\\cmd.exe";
  std::wstring commandLine = widen(interpreterCommandLine(narrow(interpreter), batchFile));
  const std::wstring folder = widen(workingFolder);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showWindow);
  PROCESS_INFORMATION info{};
  const auto start = [&](const wchar_t* directory) {
    return CreateProcessW(interpreter.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                          nullptr, directory, &startup, &info) != 0;
  };
  // The folder shown is the interpreter's current folder from its start, so that a cd that
  // fails never leaves it elsewhere. A folder the system refuses as a current folder (too long,
  // a share root) still gets its cd line.
  bool started = !folder.empty() && start(folder.c_str());
  if (!started) started = start(nullptr);
  if (!started) return {Outcome::failed(systemErrorText(GetLastError())), nullptr};
  CloseHandle(info.hThread);
  return {Outcome::success(), std::make_unique<Win32Process>(info.hProcess)};
}

std::optional<std::string> Win32ProcessLauncher::shortPath(std::string_view folder) const {
  std::wstring path = widen(folder);
  // Paths longer than MAX_PATH are asked for with the long-path prefix.
  const std::wstring prefix = L"\\\\?\\";
  const bool prefixed = path.size() >= MAX_PATH && path.rfind(L"\\\\", 0) != 0;
  if (prefixed) path = prefix + path;
  const DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (size == 0) return std::nullopt;
  std::wstring shortName(size, L'\0');
  shortName.resize(GetShortPathNameW(path.c_str(), shortName.data(), size));
  if (prefixed && shortName.rfind(prefix, 0) == 0) shortName.erase(0, prefix.size());
  if (shortName.empty() || shortName == widen(folder)) return std::nullopt;
  return narrow(shortName);
}

unsigned Win32ProcessLauncher::interpreterCodePage() const {
  const UINT console = GetConsoleOutputCP();
  return console != 0 ? console : GetOEMCP();
}

}  // namespace promptella
