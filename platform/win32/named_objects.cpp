// Named mutexes shared by the copies of the program, and canonical paths for their names.
#include "platform/win32/named_objects.h"

#include <sddl.h>
#include "product.h"

namespace promptella {
namespace {

// The system, the administrators and the owner may do anything with our objects; every
// signed-in user may wait on them and ask their state, so that no copy finds another's object
// out of its reach.
constexpr wchar_t kSharedAccess[] = L"D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;GA;;;OW)(A;;0x00100001;;;AU)";

// The mutex opened for waiting; null, with the system's reason in `error`, when it cannot be.
UniqueHandle openForWaiting(const std::wstring& fullName, DWORD& error) {
  HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, fullName.c_str());
  error = GetLastError();
  return UniqueHandle(mutex);
}

}  // namespace

std::wstring canonicalPath(const std::wstring& path) {
  UniqueHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file) return path;
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetFinalPathNameByHandleW(file.get(), name.data(), static_cast<DWORD>(name.size()),
                                  FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return path;
    if (length < name.size()) {
      name.resize(length);
      return name;
    }
    name.resize(length + 1);
  }
}

SharedMutex createSharedMutex(const std::wstring& name, bool sessionOnly) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ConvertStringSecurityDescriptorToSecurityDescriptorW(kSharedAccess, SDDL_REVISION_1, &descriptor,
                                                       nullptr);
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
  SharedMutex result;
  for (const wchar_t* scope : {L"Global\\", L"Local\\"}) {
    if (sessionOnly && scope[0] == L'G') continue;
    const std::wstring fullName = scope + name;
    HANDLE mutex = CreateMutexW(descriptor ? &attributes : nullptr, FALSE, fullName.c_str());
    DWORD error = GetLastError();
    result.handle = UniqueHandle(mutex);
    if (result.handle) {
      result.existed = error == ERROR_ALREADY_EXISTS;
      break;
    }
    if (error != ERROR_ACCESS_DENIED) break;
    // Denied: made by a process out of our reach (it is taken), or no global objects for us.
    result.handle = openForWaiting(fullName, error);
    if (result.handle || error != ERROR_FILE_NOT_FOUND) {
      result.existed = true;
      break;
    }
  }
  if (descriptor) LocalFree(descriptor);
  return result;
}

bool sharedMutexExists(const std::wstring& name) {
  for (const wchar_t* scope : {L"Global\\", L"Local\\"}) {
    DWORD error = 0;
    if (openForWaiting(scope + name, error) || error == ERROR_ACCESS_DENIED) return true;
  }
  return false;
}

std::wstring objectNameFor(std::wstring_view kind, std::wstring_view text) {
  // Object names take no backslash and at most MAX_PATH characters: a hash of the text, which
  // is upper-cased first because file names are not case-sensitive.
  std::wstring upper(text);
  if (!upper.empty()) CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
  unsigned long long hash = 14695981039346656037ull;
  for (const wchar_t c : upper) {
    hash = (hash ^ static_cast<unsigned long long>(c)) * 1099511628211ull;
  }
  wchar_t hex[17] = {};
  for (int i = 15; i >= 0; --i, hash >>= 4) hex[i] = L"0123456789abcdef"[hash & 0xF];
  return std::wstring(kProductNameWide) + L"." + std::wstring(kind) + L"." + hex;
}

}  // namespace promptella
