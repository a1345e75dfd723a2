// A fresh folder for a test's real files, removed afterwards: the one temporary-folder helper of
// the unit, Win32 and end-to-end tests.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <string_view>

namespace promptella::testing {

class TempDir {
 public:
  explicit TempDir(std::string_view prefix = "promptella-test-") {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            std::string(prefix).append(std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    // A folder that is the current one cannot go on Windows.
    const auto current = std::filesystem::current_path(ignored);
    if (!ignored && current.native().rfind(path_.native(), 0) == 0) {
      std::filesystem::current_path(std::filesystem::temp_directory_path(), ignored);
    }
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

inline void writeBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

}  // namespace promptella::testing
