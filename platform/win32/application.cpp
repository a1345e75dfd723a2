// The running program: its folder, its start arguments, the names it claims, and its end.
#include "platform/win32/application.h"

#include <windows.h>

#include "platform/folder_path.h"
#include "platform/win32/folder_search.h"
#include "platform/win32/named_objects.h"
#include "platform/win32/off_thread.h"
#include "platform/win32/text.h"
#include "product.h"

namespace promptella {
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

std::optional<std::string> Win32Application::localDataFolder() const {
  wchar_t base[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", base, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::nullopt;
  const std::wstring folder = std::wstring(base) + L"\\" + std::wstring(kProductNameWide);
  CreateDirectoryW(folder.c_str(), nullptr);  // already there is fine
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return std::nullopt;
  }
  return narrow(folder);
}

bool Win32Application::claim(const std::string& name) {
  SharedMutex mutex = createSharedMutex(objectNameFor(L"claim", widen(name)));
  if (!mutex.handle || mutex.existed) return false;
  claims_.push_back(std::move(mutex.handle));
  return true;
}

bool Win32Application::claimed(const std::string& name) const {
  return sharedMutexExists(objectNameFor(L"claim", widen(name)));
}

std::string Win32Application::canonicalFolder(const std::string& folder) const {
  return narrow(canonicalPath(widen(folder)));
}

std::string Win32Application::startArguments() const {
  // The program's own name comes first: up to the closing quote when quoted, else up to a blank.
  const wchar_t* rest = GetCommandLineW();
  if (*rest == L'"') {
    ++rest;
    while (*rest && *rest != L'"') ++rest;
    if (*rest) ++rest;
  } else {
    while (*rest && *rest != L' ' && *rest != L'\t') ++rest;
  }
  return narrow(rest);
}

Task<std::optional<std::string>> Win32Application::folderToStartOn(std::string path) const {
  const std::wstring full = fullPath(widen(path));
  if (full.empty()) co_return std::nullopt;
  // A sleeping disk or a share whose server is gone is looked at off the window's thread, and
  // counts as unreadable when it has not answered in time.
  const auto looking = offThread<std::string>(
      [full]() -> std::string {
        const DWORD attributes = GetFileAttributesW(full.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return {};
        std::wstring folder = full;
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) folder.resize(folder.find_last_of(L'\\') + 1);
        const std::string shown = tidyFolder(narrow(folder));
        // Readable: its names can be listed (an empty drive's root lists none).
        const FolderSearch search(widen(shown) + (shown.back() == '\\' ? L"*" : L"\\*"));
        return search.found() || GetLastError() == ERROR_FILE_NOT_FOUND ? shown : std::string();
      },
      kDriveAnswerWait);
  const std::optional<std::string> found = co_await looking;
  if (!found || found->empty()) co_return std::nullopt;
  co_return *found;
}

}  // namespace promptella
