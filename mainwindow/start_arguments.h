// What the program is asked for on its command line: nothing, its usage, or a folder to start on
// (as Explorer's "Open Promptella here" passes it).
#pragma once

#include <string>
#include <string_view>

namespace promptella {

struct StartRequest {
  enum class Kind { none, usage, folder };
  Kind kind = Kind::none;
  std::string folder;  // as given, for Kind::folder
};

// Reads the text after the program's name. A path cannot hold a double quote, so quotes only
// group: "C:\" (a drive's root, as Explorer quotes it) is C:\, and an unquoted path with spaces
// is one path.
StartRequest parseStartArguments(std::string_view arguments);

// The text of the message that answers /?.
extern const char kStartUsage[];

}  // namespace promptella
