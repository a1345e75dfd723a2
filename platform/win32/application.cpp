// The program's folder and its end.
#include "platform/win32/application.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <atomic>
#include <vector>

#include "platform/access_list.h"
#include "platform/controls.h"
#include "platform/win32/named_objects.h"

#include "platform/folder_path.h"
#include "platform/win32/error_boundary.h"
#include "platform/win32/folder_search.h"
#include "platform/win32/off_thread.h"
#include "platform/win32/text.h"
#include "product.h"

namespace promptella {
namespace {
std::atomic<HWND> errorOwner{nullptr};

std::string sidText(PSID sid) {
  wchar_t* text = nullptr;
  if (!ConvertSidToStringSidW(sid, &text)) return {};
  std::string out = narrow(text);
  LocalFree(text);
  return out;
}

// The user this program runs as.
std::string userSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  const UniqueHandle owned(token);
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<unsigned char> buffer(size);
  if (size == 0 || !GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) return {};
  return sidText(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid);
}

}  // namespace

void setErrorOwner(HWND owner) noexcept {
  errorOwner = owner;
}

void reportUnexpectedError(std::string_view what) noexcept {
  try {
    const std::wstring text = L"An unexpected error stopped this action: " + widen(what) +
                              L"\r\n\r\nPromptella keeps running.";
    MessageBoxW(errorOwner.load(), text.c_str(), kProductNameWide, MB_OK);
  } catch (...) {
    MessageBoxW(errorOwner.load(), L"An unexpected error stopped this action.", kProductNameWide,
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

bool Win32Application::folderPrivate(const std::string& folder) const {
  PSID owner = nullptr;
  PACL list = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(widen(folder).c_str(), SE_FILE_OBJECT,
                            OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr,
                            &list, nullptr, &descriptor) != ERROR_SUCCESS) {
    return false;  // unreadable: not known to be safe
  }
  std::vector<AccessEntry> entries;
  for (DWORD i = 0; list && i < list->AceCount; ++i) {
    ACE_HEADER* header = nullptr;
    if (!GetAce(list, i, reinterpret_cast<void**>(&header))) return LocalFree(descriptor), false;
    const BYTE type = header->AceType;
    if (type != ACCESS_ALLOWED_ACE_TYPE && type != ACCESS_DENIED_ACE_TYPE) {
      const bool denies = type == ACCESS_DENIED_OBJECT_ACE_TYPE ||
                          type == ACCESS_DENIED_CALLBACK_ACE_TYPE ||
                          type == ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE;
      entries.push_back({denies ? AccessEntry::Kind::denies : AccessEntry::Kind::allowsOtherwise,
                         {},
                         0,
                         false,
                         false});
      continue;
    }
    // A plain allowing and a plain denying entry have the same layout.
    const auto* ace = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header);
    entries.push_back(
        {type == ACCESS_ALLOWED_ACE_TYPE ? AccessEntry::Kind::allows : AccessEntry::Kind::denies,
         sidText(const_cast<DWORD*>(&ace->SidStart)), ace->Mask,
         (header->AceFlags & INHERIT_ONLY_ACE) != 0, (header->AceFlags & OBJECT_INHERIT_ACE) != 0});
  }
  const bool hasList = list != nullptr;
  const std::string ownerSid = owner ? sidText(owner) : std::string();
  LocalFree(descriptor);
  return onlyTrustedCanWrite(ownerSid, entries, hasList, userSid());
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

std::optional<std::string> Win32Application::folderToStartOn(const std::string& path) const {
  const std::wstring full = fullPath(widen(path));
  if (full.empty()) return std::nullopt;
  // A sleeping disk or a share whose server is gone is looked at off the window's thread, and
  // counts as unreadable when it has not answered in time.
  const auto found = offThread<std::string>(
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
      kDriveAnswerSeconds * 1000);
  if (!found || found->empty()) return std::nullopt;
  return *found;
}

}  // namespace promptella
