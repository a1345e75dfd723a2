// The program's two files, named from its folder once at start-up.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/app.h"

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

// Where the two files live: the program's folder wherever it is writable, as always. Where it is
// not (a program installed under Program Files), the user's local data folder, as portable tools
// do; a settings file beside the program is taken along the first time, so nothing is lost.
FileNames chooseFileNames(const Application& app);

}  // namespace promptella
