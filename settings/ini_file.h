// The settings file: one INI file, read and changed key by key. Every change replaces the whole
// file atomically, under a lock all copies of the program share, so it is never left torn and no
// copy's change is lost. Given a worker, the changes are saved off the window's thread, one after
// another, and reads come from memory: the window's thread never waits on the file.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/worker.h"
#include "settings/ini_document.h"
#include "settings/setting_names.h"

namespace promptella {

class IniFile {
 public:
  // Without a worker every change is saved at once, on the caller's thread, and every read looks
  // at the file (a change by another copy is seen at once). With one, changes are saved by it,
  // and reads show the file as last read or written with the changes not saved yet.
  explicit IniFile(std::filesystem::path path, Worker* worker = nullptr)
      : path_(std::move(path)), worker_(worker) {}

  const std::filesystem::path& path() const { return path_; }

  // The value, whole, as UTF-8; nothing when the file, section or key is missing or the value
  // is empty.
  [[nodiscard]] std::optional<std::string> readValue(const Setting& setting) const;
  // The numbered list `list`: "Command0", "Command1", ... of its section, up to the first that
  // reads as absent.
  std::vector<std::string> readList(const Setting& list) const;
  // Reads show each change at once; without a worker it is saved before the call returns, with
  // one shortly after. A change that another program's hold on the file keeps out is kept and
  // tried again (with a worker, every second) until the file is free; one that cannot be saved at
  // all (a read-only file, a full disk) is given up, and reads show it until the program ends.
  // Either is told through onHeld or onFailed. A failed change leaves the file intact.
  void writeValue(const Setting& setting, std::string_view value);
  void removeValue(const Setting& setting);
  // Puts `entry` on top of the numbered list as the file holds it when the change is saved, so
  // that entries another copy of the program added meanwhile stay; a list that holds it already
  // keeps its order, and a list that grows past `limit` loses its last entry only.
  void addToList(const Setting& list, std::string_view entry, std::size_t limit);
  // Reads the file again (another copy of the program may have changed it), off the window's
  // thread where there is a worker, then runs `then` on the window's thread.
  void refresh(std::function<void()> then);
  // Saves what is still pending, trying again while another program holds the file, for at most
  // `limit` (off the window's thread where there is a worker, the windows painting meanwhile);
  // true when nothing is left.
  [[nodiscard]] bool flush(std::chrono::milliseconds limit);
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
  // written (a full disk): once, until a save succeeds again. Reads still show it.
  std::function<void(const std::string& what, Replaced why)> onFailed;
  // Raised after a save, which may have brought other copies' changes into view (the history).
  std::function<void()> onSaved;
  // The callbacks are raised on the window's thread (through the worker, when there is one).

 private:
  // One change to the document, as data, so that it can be kept in a file until it is saved.
  struct Change {
    enum class Kind { set = 0, removeKey = 1, addToList = 3 };  // as kept in a file
    Kind kind;
    Setting setting;
    std::string value;
    std::size_t limit = 0;  // of a list
    // The texts it writes: when one does not fit the ANSI code page, the file becomes UTF-16.
    std::vector<std::string> texts() const;
    // Makes it in a document whose text is in `codePage`; whether anything changed.
    bool apply(IniDocument& document, unsigned codePage) const;
  };
  // Saves `change` after those still pending.
  void commit(Change change);
  // Saves the changes pending now; whether they were saved. Raises the callbacks.
  bool saveNow();
  // Tries again in a second while another program holds the file (with a worker).
  void retryLater();
  // Reads the file, applies `changes` and replaces the file, under the lock that all copies of
  // the program share; on success also the bytes the file then holds.
  struct Written {
    Replaced result;
    std::optional<std::string> bytes;
  };
  Written write(const std::vector<Change>& changes) const;
  // The document that reads see, and the code page of its text: the file's, with the changes
  // given up and those pending made. Called with the mutex held.
  std::pair<const IniDocument*, unsigned> readable() const;
  // The bytes to change: empty for a file that does not exist; nothing for one that exists but
  // cannot be read.
  [[nodiscard]] std::optional<std::string> readForUpdate() const;
  // The file as last parsed: read again when it has changed (without a worker), else as last
  // read or written. Called with the mutex held.
  const IniDocument* current() const;
  // Takes `bytes` as what the file holds. Called with the mutex held.
  void remember(std::string bytes) const;
  // Raises `callback` on the window's thread.
  void tell(std::function<void()> callback);

  std::filesystem::path path_;
  Worker* worker_;
  mutable std::mutex mutex_;  // between the window's thread and the worker's
  mutable std::optional<FileStamp> cachedStamp_;
  mutable bool stampSettled_ = false, loaded_ = false;
  mutable std::string cachedBytes_;
  mutable IniDocument cached_;
  mutable unsigned cachedCodePage_ = 0;  // of the cached document's text
  std::vector<Change> givenUp_;          // could not be saved at all: shown until the program ends
  std::vector<Change> pending_;  // not saved yet: waiting for the worker, or kept out by a hold
  mutable IniDocument withPending_;
  // Counts the changes to what reads show; withPending_ was made at this count, for a file there
  // or not.
  mutable std::size_t revision_ = 0;
  mutable std::optional<std::pair<std::size_t, bool>> withPendingOf_;
  bool toldHeld_ = false;
  bool toldFailed_ = false;
  bool retrying_ = false;
};

// Removes the temporary files that a change of `settingsFile` leaves when the program is ended in
// the middle of it, once no copy has written them for a while.
void removeLeftTemporaryFiles(const std::filesystem::path& settingsFile);

}  // namespace promptella
