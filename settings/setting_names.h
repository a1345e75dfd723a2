// Every value the program keeps in the settings file, named once: its section and key, and what a
// message calls it.
#pragma once

#include <cstddef>
#include <string>

namespace promptella {

struct Setting {
  std::string section, key;
  std::string what = "a setting";  // "Couldn't save the folder shown: ..."
};

// The keys of a numbered list: "Command" followed by n, from 0.
inline std::string numberedKey(std::size_t n) {
  return "Command" + std::to_string(n);
}

namespace setting {

// The folder the lists show.
inline Setting folder() {
  return {"Configuration", "Path", "the folder shown"};
}
// Stored command `slot`, from 0; the user counts them from 1.
inline Setting storedCommand(std::size_t slot) {
  return {"StoredCommands", numberedKey(slot), "stored command #" + std::to_string(slot + 1)};
}
// The history, a numbered list, newest first.
inline Setting history() {
  return {"Commands", {}, "the history"};
}

}  // namespace setting
}  // namespace promptella
