// One change to the settings file, as data, and the files that keep changes for the next start
// when the program ends before another program let it save them.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "settings/ini_document.h"
#include "settings/setting_names.h"

namespace promptella {

struct SettingChange {
  enum class Kind { set = 0, removeKey = 1, addToList = 3 };  // as kept in a file
  Kind kind;
  Setting setting;
  std::string value;
  std::size_t limit = 0;  // of a list
  // What the key had when the change was made (nothing: it was absent), and whether the change
  // is made only where the file still holds that: a change kept by an earlier run never undoes a
  // newer one, another copy's or a hand edit. A list addition merges whatever the file holds.
  std::optional<std::string> before = std::nullopt;
  bool onlyOverBefore = false;
  // The file of kept changes it was read from, removed once none of its changes waits.
  std::shared_ptr<const std::filesystem::path> keptIn = nullptr;

  // The texts it writes: when one does not fit the ANSI code page, the file becomes UTF-16.
  std::vector<std::string> texts() const;
  // Makes it in a document whose text is in `codePage`; whether anything changed.
  bool apply(IniDocument& document, unsigned codePage) const;
};

// The files of changes kept for this start beside `settingsFile`, oldest first: the one an
// earlier version kept ("Promptella.ini.pending"), then one per run that kept any.
std::vector<std::filesystem::path> keptChangesFiles(const std::filesystem::path& settingsFile);
// A new name for the changes this run keeps, unused by any other run.
std::filesystem::path newKeptChangesFile(const std::filesystem::path& settingsFile);
// Where a file of kept changes that cannot be read whole is set aside.
std::filesystem::path setAsideName(const std::filesystem::path& keptFile);

// The file's text (UTF-8): the changes in order, then the count, so that a file cut short is
// known as such. Nothing when a text cannot be kept (a line break).
std::optional<std::string> keptChangesText(const std::vector<SettingChange>& changes);
// The changes of a file's text (UTF-8), each made only over what it replaced; the earlier
// version's form (`earlierForm`) says nothing of that, and its changes are made as that version
// promised. Nothing when the text is not whole: a change without one of its fields, a count that
// does not match.
std::optional<std::vector<SettingChange>> parseKeptChanges(std::string_view text, bool earlierForm);

}  // namespace promptella
