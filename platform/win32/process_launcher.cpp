// Batch starts: the quoted file name as the command line, which the system hands to its command
// interpreter; no new console, so the batch runs in the program's own.
#include "platform/win32/process_launcher.h"

#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/text.h"

namespace promptella {
namespace {

class Win32Process : public StartedProcess {
 public:
  explicit Win32Process(HANDLE process) : process_(process) {}
  bool running() const override { return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

 private:
  UniqueHandle process_;
};

}  // namespace

StartResult Win32ProcessLauncher::startBatch(std::string_view batchFile, int showWindow) {
  std::wstring commandLine = L"\"" + widen(batchFile) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showWindow);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return {nullptr, systemErrorText(GetLastError())};
  }
  CloseHandle(info.hThread);
  return {std::make_unique<Win32Process>(info.hProcess), {}};
}

unsigned Win32ProcessLauncher::interpreterCodePage() const {
  const UINT console = GetConsoleOutputCP();
  return console != 0 ? console : GetOEMCP();
}

}  // namespace promptella
