// Reading a folder's names: the system's search, its handle owned and closed whatever happens;
// and a path made full as the system makes it.
#pragma once

#include <windows.h>

#include <string>

namespace promptella {

// `path` made full (from the current folder, or a drive's own current folder for "d:"), with
// "." and ".." resolved; empty when the system cannot.
std::wstring fullPath(const std::wstring& path);

class FolderSearch {
 public:
  // Starts a search for `pattern` ("C:\folder\*"); `foldersOnly` asks the system for folders
  // first (it may still return files), `largeFetch` for names in large pieces.
  FolderSearch(const std::wstring& pattern, bool foldersOnly = false, bool largeFetch = false);
  FolderSearch(const FolderSearch&) = delete;
  FolderSearch& operator=(const FolderSearch&) = delete;
  ~FolderSearch();

  // Whether there is an entry: false for a folder that cannot be read, and once all were read.
  [[nodiscard]] bool found() const { return handle_ != INVALID_HANDLE_VALUE; }
  const WIN32_FIND_DATAW& entry() const { return entry_; }
  // Whether the entry is a folder other than "." and "..".
  [[nodiscard]] bool entryIsSubfolder() const;
  // Moves to the next entry; false (and found() false) when there is none.
  [[nodiscard]] bool next();

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAW entry_{};
};

}  // namespace promptella
