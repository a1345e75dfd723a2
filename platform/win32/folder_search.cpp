// The system's folder search, with its handle owned.
#include "platform/win32/folder_search.h"

#include <utility>

namespace promptella {

std::wstring fullPath(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return {};
  std::wstring out(size, L'\0');
  out.resize(GetFullPathNameW(path.c_str(), size, out.data(), nullptr));
  return out;
}

FolderSearch::FolderSearch(const std::wstring& pattern, bool foldersOnly, bool largeFetch) {
  // In the body: the first entry is written into entry_, which must be made first.
  handle_ = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry_,
                             foldersOnly ? FindExSearchLimitToDirectories : FindExSearchNameMatch,
                             nullptr, largeFetch ? FIND_FIRST_EX_LARGE_FETCH : 0);
}

FolderSearch::~FolderSearch() {
  if (found()) FindClose(handle_);
}

bool FolderSearch::entryIsSubfolder() const {
  const wchar_t* name = entry_.cFileName;
  return (entry_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0)));
}

bool FolderSearch::next() {
  if (!found()) return false;
  if (FindNextFileW(handle_, &entry_)) return true;
  FindClose(std::exchange(handle_, INVALID_HANDLE_VALUE));
  return false;
}

}  // namespace promptella
