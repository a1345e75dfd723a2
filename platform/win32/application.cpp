// The program's folder and its end.
#include "platform/win32/application.h"

#include <windows.h>

#include <atomic>

#include "platform/win32/error_boundary.h"
#include "platform/win32/text.h"

namespace promptella {
namespace {
std::atomic<HWND> errorOwner{nullptr};
}  // namespace

void setErrorOwner(HWND owner) noexcept {
  errorOwner = owner;
}

void reportUnexpectedError(std::string_view what) noexcept {
  try {
    const std::wstring text = L"An unexpected error stopped this action: " + widen(what) +
                              L"\r\n\r\nPromptella keeps running.";
    MessageBoxW(errorOwner.load(), text.c_str(), L"Promptella", MB_OK);
  } catch (...) {
    MessageBoxW(errorOwner.load(), L"An unexpected error stopped this action.", L"Promptella",
                MB_OK);
  }
}

std::string Win32Application::folder() const {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const auto slash = path.find_last_of(L"\\/");
  return narrow(slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash));
}

void Win32Application::terminate(int exitCode) {
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(exitCode));
}

bool Win32Application::folderWritable(const std::string& folder) const {
  // A file that goes away when closed: nothing is left behind, whatever happens next.
  const std::wstring probe =
      widen(folder) + L"\\~Promptella-" + std::to_wstring(GetCurrentProcessId()) + L".probe";
  HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

std::string Win32Application::localDataFolder() const {
  wchar_t base[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", base, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  const std::wstring folder = std::wstring(base) + L"\\Promptella";
  CreateDirectoryW(folder.c_str(), nullptr);  // already there is fine
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
  return narrow(folder);
}

bool Win32Application::claim(const std::string& name) {
  UniqueHandle mutex(CreateMutexW(nullptr, FALSE, objectNameFor(L"claim", widen(name)).c_str()));
  if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) return false;
  claims_.push_back(std::move(mutex));
  return true;
}

bool Win32Application::claimed(const std::string& name) const {
  UniqueHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, objectNameFor(L"claim", widen(name)).c_str()));
  return static_cast<bool>(mutex);
}

}  // namespace promptella
