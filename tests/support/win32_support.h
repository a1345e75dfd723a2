// What the Win32 tests, the end-to-end tests and the benchmarks share: fresh folders in the
// temporary folder, and waiting on a condition with a deadline.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <thread>

namespace promptella::testing {

// Waits until `condition` holds, polling; false when the deadline passes first.
inline bool waitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds deadline = std::chrono::seconds(30),
                    std::chrono::milliseconds poll = std::chrono::milliseconds(20)) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(poll);
  }
  return true;
}

inline std::filesystem::path systemTempFolder() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  return temp;
}

// An empty folder `name` in the temporary folder; whatever stood there before is removed.
inline std::filesystem::path freshTempFolder(const std::wstring& name) {
  const auto folder = systemTempFolder() / name;
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  std::filesystem::create_directories(folder);
  return folder;
}

// A fresh folder named after `prefix` and this process, removed again at the end.
class TempFolder {
 public:
  explicit TempFolder(const std::wstring& prefix)
      : path_(freshTempFolder(prefix + std::to_wstring(GetCurrentProcessId()))) {}
  ~TempFolder() {
    SetCurrentDirectoryW(systemTempFolder().c_str());  // a folder in use cannot go
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::wstring& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

}  // namespace promptella::testing
