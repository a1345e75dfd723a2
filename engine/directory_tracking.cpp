// Directory tracking.
#include "engine/directory_tracking.h"

#include <string>

#include "platform/interpreter.h"
#include "platform/utf8.h"

namespace promptella {

std::string_view trimSpaces(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void followDirectoryChange(std::string_view command, DriveList& drives, FolderList& folders,
                           PickerMoveGuard& guard) {
  const std::string lower = asciiLower(command);

  std::size_t pos = 0;
  if (!lower.empty()) decodeUtf8(lower, pos);  // the second character starts after the first
  if (pos < lower.size() && lower[pos] == ':') {
    const PickerMoveGuard::ProgramMove move(guard);
    // A drive that is missing or not ready leaves the list as it is.
    static_cast<void>(drives.setDrive(lower));
  }

  const auto space = lower.find(' ');
  if (space == std::string::npos) return;
  const std::string_view firstWord = std::string_view(lower).substr(0, space);
  if (firstWord != "cd" && firstWord != "chdir") return;
  const std::string folder(trimSpaces(command.substr(space + 1)));
  // The interpreter refuses a network path as its current folder, so the lists stay too.
  std::string unquoted = folder;
  std::erase(unquoted, '"');
  if (isNetworkPath(unquoted)) return;
  const PickerMoveGuard::ProgramMove move(guard);
  // A folder that cannot be reached leaves the list as it is.
  static_cast<void>(folders.setPath(folder));
}

}  // namespace promptella
