// The program's two files, named from its folder once at start-up.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace promptella {

inline constexpr std::string_view kProductName = "Promptella";
inline constexpr std::string_view kVersion = "1.2";

struct FileNames {
  std::string BatchFilePath;
  std::string IniFilePath;
};

// The separator is always added, so a program at a drive's root gets two in a row, which the
// system accepts.
inline FileNames fileNamesFor(std::string_view appFolder) {
  const std::string folder =
      std::string(appFolder) + static_cast<char>(std::filesystem::path::preferred_separator);
  return {folder + "~" + std::string(kProductName) + ".bat",
          folder + std::string(kProductName) + ".ini"};
}

}  // namespace promptella
