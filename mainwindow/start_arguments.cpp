// The program's command line.
#include "mainwindow/start_arguments.h"

#include <algorithm>
#include <array>

#include "platform/utf8.h"

namespace promptella {

const char kStartUsage[] =
    "Usage: Promptella.exe [folder]\r\n\r\n"
    "Starts with the drive and folder lists on the folder (on a file's folder for a file), where "
    "the next commands run. Without a folder, Promptella starts on the last folder.";

StartRequest parseStartArguments(std::string_view arguments) {
  std::string text(arguments);
  std::erase(text, '"');
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.back())) text.pop_back();
  text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), blank));
  if (text.empty()) return {};
  const std::string lower = asciiLower(text);
  constexpr std::array<std::string_view, 5> kHelp = {"/?", "-?", "/h", "-h", "--help"};
  if (std::find(kHelp.begin(), kHelp.end(), lower) != kHelp.end()) {
    return {StartRequest::Kind::usage, {}};
  }
  return {StartRequest::Kind::folder, text};
}

}  // namespace promptella
