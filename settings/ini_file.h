// The settings file: one INI file, read and changed key by key. Every change replaces the whole
// file atomically, under a lock all copies of the program share, so it is never left torn and no
// copy's change is lost. The worker saves the changes off the window's thread, one after another,
// and reads come from memory: the window's thread never waits on the file.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/worker.h"
#include "settings/ini_document.h"
#include "settings/setting_change.h"
#include "settings/setting_names.h"

namespace promptella {

class IniFile {
 public:
  // Reads show the file as first read, last written or refreshed, with the changes pending.
  IniFile(std::filesystem::path path, Worker& worker) : path_(std::move(path)), worker_(worker) {}

  // The value as UTF-8; nothing when it is missing or empty.
  [[nodiscard]] std::optional<std::string> readValue(const Setting& setting) const;
  // The numbered list "Command0", "Command1", ... of the section, up to the first missing.
  std::vector<std::string> readList(const Setting& list) const;
  // Reads show each change at once. A change another program's hold on the file keeps out is
  // tried again every second; one that cannot be saved at all (a read-only file,
  // a full disk) is given up, reads showing it until the program ends. Either is told through
  // onHeld or onFailed, and leaves the file intact.
  void writeValue(const Setting& setting, std::string_view value);
  void removeValue(const Setting& setting);
  // Puts `entry` on top of the list as the file holds it when saved (another copy's entries
  // stay); a list that holds it keeps its order, one that grows past `limit` loses its last.
  void addToList(const Setting& list, std::string_view entry, std::size_t limit);
  // Reads the file again (another copy may have changed it); given on the window's thread once
  // read.
  Later<bool> refresh();
  // Saves what is still pending, trying again while another program holds the file, for at most
  // `limit` (off the window's thread, the window answering meanwhile); true when nothing is left.
  Task<bool> flush(std::chrono::milliseconds limit);
  // The same, blocking the caller: for the end of the session only.
  [[nodiscard]] bool flushBlocking(std::chrono::milliseconds limit);
  // The changes still kept out, as the user knows them ("stored command #3, the history").
  std::string unsavedChanges() const;
  // Keeps the changes still kept out in a file of this run's beside the settings file, for the
  // next start to save (the program ends while another program holds the file); false when that
  // fails too. Each says what it replaced, so that it never undoes a newer change. Called again
  // once nothing is pending, it takes back what it kept.
  [[nodiscard]] bool keepPendingForNextStart();
  // Saves the changes that earlier runs kept for this start, each file removed once its changes
  // are saved (or found undone by a newer change). A file that cannot be read whole is set aside
  // and none of it used: their names, for the user.
  std::vector<std::string> saveKeptChanges();

  // A change is kept out by another program's hold ("stored command #3"): once, until a save.
  std::function<void(const std::string& what)> onHeld;
  // A change cannot be saved at all and is given up: the file may not be replaced (`denied`) or
  // could not be written (a full disk). Once, until a save succeeds again.
  std::function<void(const std::string& what, Replaced why)> onFailed;
  // After a save, which may have brought other copies' changes into view. All three callbacks
  // are raised on the window's thread.
  std::function<void()> onSaved;

 private:
  // One change to the document, as data, so that it can be kept in a file until it is saved.
  using Change = SettingChange;
  // Saves `change` after those still pending; it replaces what reads show now.
  void commit(Change change);
  // Removes the files of kept changes of which no change waits any more (with the mutex locked:
  // the names to remove).
  std::vector<std::filesystem::path> keptFilesDone(const std::vector<Change>& saved) const;
  // Starts saving what is pending until `limit` has passed; no retry comes after it.
  void startFlush(std::chrono::milliseconds limit);
  [[nodiscard]] bool nothingPending() const;
  // Saves the changes pending now; whether they were saved. Raises the callbacks.
  bool saveNow();
  // Tries again in a second while another program holds the file.
  void retryLater();
  // Applies `changes` to the file under the lock all copies share; on success, its new bytes.
  struct Written {
    Replaced result;
    std::optional<std::string> bytes;
  };
  Written write(const std::vector<Change>& changes) const;
  // What reads see, and its code page: the file with the changes given up and pending made.
  std::pair<const IniDocument*, unsigned> readable() const;
  // The bytes to change: empty for no file; nothing for one that cannot be read.
  [[nodiscard]] std::optional<std::string> readForUpdate() const;
  // The file as last read or written; nothing while it cannot be read. These three are called
  // with the mutex locked.
  const IniDocument* current() const;
  // Takes `bytes` as what the file holds.
  void remember(std::string bytes) const;
  // Raises `callback` on the window's thread.
  void tell(std::function<void()> callback);

  std::filesystem::path path_;
  Worker& worker_;
  mutable std::mutex mutex_;  // between the window's thread and the worker's
  mutable bool loaded_ = false;
  mutable std::string cachedBytes_;
  mutable IniDocument cached_;
  mutable unsigned cachedCodePage_ = 0;  // of the cached document's text
  std::vector<Change> givenUp_;          // could not be saved at all: shown until the program ends
  std::vector<Change> pending_;  // not saved yet: waiting for the worker, or kept out by a hold
  mutable IniDocument withPending_;
  mutable std::size_t revision_ = 0;  // counts the changes to what reads show
  mutable std::optional<std::pair<std::size_t, bool>> withPendingOf_;
  bool toldHeld_ = false, toldFailed_ = false, retrying_ = false;
  std::shared_ptr<const std::filesystem::path> keptFile_;  // this run's kept changes, once kept
};

// Removes the temporary files a change left when the program was ended in its middle.
void removeLeftTemporaryFiles(const std::filesystem::path& settingsFile);

}  // namespace promptella
