// Files on Windows.
#include <windows.h>

#include <aclapi.h>

#include <atomic>

#include "platform/files.h"
#include "platform/win32/folder_search.h"
#include "platform/win32/handles.h"
#include "platform/win32/named_objects.h"
#include "platform/win32/text.h"

namespace promptella {

std::filesystem::path pathFromUtf8(std::string_view utf8) {
  return widen(utf8);
}

std::string pathToUtf8(const std::filesystem::path& path) {
  return narrow(path.native());
}

std::optional<FileStamp> fileStamp(const std::filesystem::path& path) {
  // One call, no handle: a read of an unchanged file costs microseconds.
  WIN32_FILE_ATTRIBUTE_DATA info{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info)) return std::nullopt;
  const auto join = [](DWORD high, DWORD low) {
    return (static_cast<unsigned long long>(high) << 32) | low;
  };
  // A file put in place by a rename was created anew: its creation time tells it apart.
  return FileStamp{join(info.nFileSizeHigh, info.nFileSizeLow),
                   join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime),
                   join(info.ftCreationTime.dwHighDateTime, info.ftCreationTime.dwLowDateTime)};
}

const unsigned long long kFileClockTicksPerSecond = 10000000ull;

unsigned long long fileClockNow() {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  return (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

std::optional<std::string> readWholeFile(const std::filesystem::path& path) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  // A file of gigabytes is no file of ours: as good as unreadable.
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > (1 << 30)) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
    return std::nullopt;
  }
  bytes.resize(read);
  return bytes;
}

namespace {

// Writes all of `bytes`; false with the system's error set.
bool writeAll(HANDLE file, std::string_view bytes) {
  DWORD written = 0;
  return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

// Another program has `file` open without delete sharing, or is just replacing it. A rename over
// a file held so fails with access denied, as does one over a file this user may not replace:
// an open for deleting tells them apart.
bool heldByAnother(DWORD error, const std::filesystem::path& file) {
  switch (error) {
    case ERROR_ACCESS_DENIED: {
      UniqueHandle probe(CreateFileW(file.c_str(), DELETE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
      return probe || GetLastError() != ERROR_ACCESS_DENIED;
    }
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
      return true;
    default:
      return false;
  }
}

std::optional<std::filesystem::path> linkTarget(const std::filesystem::path& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    return std::nullopt;
  }
  std::wstring target = canonicalPath(path.native());
  if (target.rfind(L"\\\\?\\UNC\\", 0) == 0) {
    target = L"\\\\" + target.substr(8);  // \\server\share
  } else if (target.rfind(L"\\\\?\\", 0) == 0) {
    target.erase(0, 4);
  }
  return std::filesystem::path(target);
}

// Gives `copy` the attributes and the explicit access list of `original`; inherited entries come
// from the folder as for any new file. What cannot be copied is left as the system made it.
void keepAttributesAndAccess(const std::filesystem::path& original,
                             const std::filesystem::path& copy, DWORD attributes) {
  constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                          FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  if (attributes & kKept) SetFileAttributesW(copy.c_str(), attributes & kKept);
  PACL list = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(original.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, &list, nullptr, &descriptor) != ERROR_SUCCESS) {
    return;
  }
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  GetSecurityDescriptorControl(descriptor, &control, &revision);
  const SECURITY_INFORMATION which =
      DACL_SECURITY_INFORMATION |
      ((control & SE_DACL_PROTECTED) ? PROTECTED_DACL_SECURITY_INFORMATION
                                     : UNPROTECTED_DACL_SECURITY_INFORMATION);
  std::wstring name = copy.native();
  SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT, which, nullptr, nullptr, list, nullptr);
  LocalFree(descriptor);
}

}  // namespace

Replaced replaceFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
  static std::atomic<unsigned> counter{0};
  // A symbolic link stays one: its target is written.
  const std::filesystem::path target = linkTarget(path).value_or(path);
  std::filesystem::path temp = target;
  temp +=
      L"." + std::to_wstring(GetCurrentProcessId()) + L"." + std::to_wstring(counter++) + L".tmp";
  {
    UniqueHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return GetLastError() == ERROR_ACCESS_DENIED ? Replaced::denied : Replaced::failed;
    if (!writeAll(file.get(), bytes) || !FlushFileBuffers(file.get())) {
      file.reset();
      DeleteFileW(temp.c_str());
      return Replaced::failed;
    }
  }
  // A read-only settings file stays as it is: replacing it would defeat the user's protection.
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    DeleteFileW(temp.c_str());
    return Replaced::denied;
  }
  // The new file takes the old one's attributes and access list, then is renamed over it in one
  // step. (ReplaceFileW would keep them too, but Wine's removes the old file before it moves the
  // new one in: a program ended between the two would lose the settings.)
  if (attributes != INVALID_FILE_ATTRIBUTES) keepAttributesAndAccess(target, temp, attributes);
  const auto replace = [&] {
    return MoveFileExW(temp.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  };
  const ULONGLONG deadline = GetTickCount64() + 2000;
  for (;;) {
    if (replace()) return Replaced::done;
    const DWORD error = GetLastError();
    const bool held = heldByAnother(error, target);
    if (!held || GetTickCount64() > deadline) {
      DeleteFileW(temp.c_str());
      return held                           ? Replaced::inUse
             : error == ERROR_ACCESS_DENIED ? Replaced::denied
                                            : Replaced::failed;
    }
    Sleep(50);
  }
}

Outcome writeNewFile(const std::filesystem::path& path, std::string_view bytes) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file || !writeAll(file.get(), bytes)) {
    return Outcome::failed(systemErrorText(GetLastError()));
  }
  return Outcome::success();
}

bool removeFile(const std::filesystem::path& path) {
  return DeleteFileW(path.c_str()) != 0;
}

std::vector<std::string> filesNamed(const std::filesystem::path& folder, std::string_view prefix,
                                    std::string_view suffix) {
  // The system matches the pattern (case-insensitively, as file names compare), so a folder of
  // many files costs no more than one of a few.
  std::vector<std::string> names;
  FolderSearch search((folder / (widen(prefix) + L"*" + widen(suffix))).native());
  for (bool more = search.found(); more; more = search.next()) {
    if (!(search.entry().dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      names.push_back(narrow(search.entry().cFileName));
    }
  }
  return names;
}

namespace {

class MutexLock : public FileUpdateLock {
 public:
  explicit MutexLock(UniqueHandle mutex) : mutex_(std::move(mutex)) {}
  ~MutexLock() override { ReleaseMutex(mutex_.get()); }

 private:
  UniqueHandle mutex_;
};

}  // namespace

std::unique_ptr<FileUpdateLock> lockForUpdate(const std::filesystem::path& path) {
  std::error_code ignored;
  const std::filesystem::path full = std::filesystem::absolute(path, ignored);
  // Named after the folder as the system names it, so that every way to the file shares a lock;
  // the file itself may not exist yet.
  const std::wstring folder = canonicalPath(full.parent_path().native());
  const std::wstring name = folder + L"\\" + full.filename().native();
  // A file in the user's own profile is shared by no other user's copy: its lock is one of the
  // session's, which no other user can make first and keep.
  wchar_t profile[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH);
  const std::wstring own = length > 0 && length < MAX_PATH ? canonicalPath(profile) + L"\\" : L"";
  const bool inProfile =
      !own.empty() && folder.size() + 1 >= own.size() &&
      CompareStringOrdinal((folder + L"\\").c_str(), static_cast<int>(own.size()), own.c_str(),
                           static_cast<int>(own.size()), TRUE) == CSTR_EQUAL;
  SharedMutex mutex = createSharedMutex(objectNameFor(L"settings", name), inProfile);
  if (!mutex.handle) return nullptr;
  // A copy that ended while holding it leaves it abandoned, which hands it on. (The wait is the
  // settings worker's, off the window's thread; a lock not had keeps the change pending.)
  const DWORD waited = WaitForSingleObject(mutex.handle.get(), 5000);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) return nullptr;
  return std::make_unique<MutexLock>(std::move(mutex.handle));
}

}  // namespace promptella
