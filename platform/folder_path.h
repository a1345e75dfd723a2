// The folder a cd names, as the folder list follows it: the text's rules, without the system.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace promptella {

// The length of the root of a full path (UTF-8 or UTF-16): 3 for "C:\", up to and with the
// share's backslash for "\\server\share\"; 0 for a path without a root.
template <typename Char>
std::size_t rootLength(std::basic_string_view<Char> path) {
  constexpr Char kBackslash = '\\';
  if (path.size() >= 3 && path[1] == Char(':')) return 3;
  if (path.size() >= 2 && path[0] == kBackslash && path[1] == kBackslash) {
    const auto server = path.find(kBackslash, 2);
    if (server == path.npos) return path.size();
    const auto share = path.find(kBackslash, server + 1);
    return share == path.npos ? path.size() : share + 1;
  }
  return 0;
}

// The drive letter that a drive text ("d: DATA") or a path ("D:\\x") starts with, lower-case; 0
// when it starts with none (a network path, "1:x").
constexpr char driveLetterOf(std::string_view text) {
  if (text.size() < 2 || text[1] != ':') return '\0';
  const char letter =
      text[0] >= 'A' && text[0] <= 'Z' ? static_cast<char>(text[0] - 'A' + 'a') : text[0];
  return letter >= 'a' && letter <= 'z' ? letter : '\0';
}

// The path that `typed` names from the folder `current`, for the system to make full (resolve
// "..", a drive's current folder): quotes group and are no part of a name, as the interpreter's
// cd reads them; a drive or a network path stands alone, a leading backslash starts at the root
// of `current`, anything else below it. Empty for an empty text.
std::string folderToResolve(std::string_view current, std::string_view typed);

// The folder that holds the full path `folder` (as tidyFolder gives it); empty for a root.
std::string parentFolder(std::string_view folder);

// A full path as the list shows it: no trailing backslash but a root's, a drive letter in
// capitals, a drive alone as its root ("C:" is "C:\").
std::string tidyFolder(std::string full);

}  // namespace promptella
