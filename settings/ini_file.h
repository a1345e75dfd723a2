// The settings file: one INI file, read and written key by key at the moment of use. Every read
// goes to the file, so a write by another copy of the program is seen at once; every change
// replaces the whole file atomically, so it is never left torn.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "settings/ini_document.h"

namespace promptella {

// The numbered keys of the stored commands and the history: "Command" followed by n.
std::string numberedKey(std::size_t n);

class IniFile {
 public:
  explicit IniFile(std::filesystem::path path) : path_(std::move(path)) {}

  const std::filesystem::path& path() const { return path_; }
  // How often the file has been parsed: reads of an unchanged file parse it once.
  std::size_t parseCount() const { return parses_; }

  // The value, whole, as UTF-8; nothing when the file, section or key is missing or the value
  // is empty.
  [[nodiscard]] std::optional<std::string> readValue(std::string_view section,
                                                     std::string_view key) const;
  // "Command0", "Command1", ... of the section, up to the first that reads as absent.
  std::vector<std::string> readNumberedValues(std::string_view section) const;
  // Each returns whether the file now holds the change; a failed change leaves the file intact.
  // A change that another program's hold on the file keeps out is kept: reads show it, and it
  // is saved with the next change or savePending(), once the file is free.
  [[nodiscard]] bool writeValue(std::string_view section, std::string_view key,
                                std::string_view value);
  [[nodiscard]] bool removeKey(std::string_view section, std::string_view key);
  [[nodiscard]] bool removeSection(std::string_view section);
  // Puts `entry` on top of the numbered list `section` as the file holds it when the change is
  // saved, so that entries another copy of the program added meanwhile stay; a list that holds
  // it already keeps its order, and a list that grows past `limit` loses its last entry only.
  [[nodiscard]] bool addToNumberedList(std::string_view section, std::string_view entry,
                                       std::size_t limit);
  // Saves the changes kept out by another program's hold; true when none is left.
  [[nodiscard]] bool savePending();
  // What the changes still kept out are, as the user knows them ("stored command #3, the
  // history"); empty when none is.
  std::string unsavedChanges() const;
  // Keeps the changes still kept out in a file beside the settings file, for the next start to
  // save (the program ends while another program holds the file); false when that fails too.
  [[nodiscard]] bool keepPendingForNextStart();
  // Saves the changes that an earlier run kept for this start, and removes them once saved.
  void saveKeptChanges();

  // Raised when a change is kept out because another program holds the file, with what the
  // change was ("stored command #3"): once, until a save succeeds again.
  std::function<void(const std::string& what)> onHeld;
  // Raised when a change cannot be saved at all and is given up, with what it was and whether
  // the file may not be replaced (read-only, or its permissions forbid it) or could not be
  // written (a full disk): once, until a save succeeds again. Reads no longer show it.
  std::function<void(const std::string& what, Replaced why)> onFailed;

 private:
  // One change to the document, as data, so that it can be kept in a file until it is saved.
  struct Change {
    enum class Kind { set, removeKey, removeSection, addToList };
    Kind kind;
    std::string section, key, value;
    std::size_t limit = 0;  // of a list
    // The texts it writes: when one does not fit the ANSI code page, the file becomes UTF-16.
    std::vector<std::string> texts() const;
    // Makes it in a document whose text is in `codePage`; whether anything changed.
    bool apply(IniDocument& document, unsigned codePage) const;
  };
  // Saves `change` after those still pending.
  [[nodiscard]] bool commit(Change change);
  // Reads the file, applies the pending changes and replaces the file, under the lock that all
  // copies of the program share.
  Replaced writePending();
  // The document that reads see, and the code page of its text: the file's, with the pending
  // changes made.
  std::pair<const IniDocument*, unsigned> readable() const;
  // The bytes to change: empty for a file that does not exist; nothing for one that exists but
  // cannot be read.
  [[nodiscard]] std::optional<std::string> readForUpdate() const;
  // The file as last parsed. It is parsed again only when it has changed; see current().
  const IniDocument* current() const;

  std::filesystem::path path_;
  mutable std::optional<FileStamp> cachedStamp_;
  mutable bool stampSettled_ = false;
  mutable std::string cachedBytes_;
  mutable IniDocument cached_;
  mutable unsigned cachedCodePage_ = 0;  // of the cached document's text
  mutable std::size_t parses_ = 0;
  std::vector<Change> pending_;  // kept out by another program's hold on the file
  mutable IniDocument withPending_;
  bool toldHeld_ = false;
  bool toldFailed_ = false;
};

// What the user knows a setting as: "the folder shown", "stored command #3", "the history".
std::string describeSetting(std::string_view section, std::string_view key);

// Removes the temporary files that a change of `settingsFile` leaves when the program is ended in
// the middle of it, once no copy has written them for a while.
void removeLeftTemporaryFiles(const std::filesystem::path& settingsFile);

}  // namespace promptella
