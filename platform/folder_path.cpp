// The folder list's path rules.
#include "platform/folder_path.h"

#include <algorithm>

namespace promptella {

std::string folderToResolve(std::string_view current, std::string_view typed) {
  std::string text(typed);
  std::erase(text, '"');
  if (text.empty()) return {};
  const bool hasDrive = text.size() >= 2 && text[1] == ':';
  if (hasDrive || text.rfind("\\\\", 0) == 0) return text;  // a drive alone: its current folder
  if (text[0] == '\\' || text[0] == '/') {
    return std::string(current.substr(0, rootLength(current))).append(text, 1);
  }
  std::string base(current);
  if (!base.empty() && base.back() != '\\') base += '\\';
  return base + text;
}

std::string parentFolder(std::string_view folder) {
  const std::size_t root = rootLength(folder);
  if (root == 0 || folder.size() <= root) return {};
  const std::size_t cut = folder.rfind('\\');
  return std::string(folder.substr(0, cut < root ? root : cut));
}

std::string tidyFolder(std::string full) {
  while (full.size() > rootLength(std::string_view(full)) && full.back() == '\\') full.pop_back();
  if (full.size() == 2 && full[1] == ':') full += '\\';
  if (full.size() >= 2 && full[1] == ':' && full[0] >= 'a' && full[0] <= 'z') {
    full[0] = static_cast<char>(full[0] - 'a' + 'A');
  }
  return full;
}

}  // namespace promptella
