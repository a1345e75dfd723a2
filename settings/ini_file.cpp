// The settings file's four operations over the INI engine.
#include "settings/ini_file.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/utf8.h"

namespace promptella {
namespace {

constexpr std::string_view kUtf16Bom = "\xFF\xFE";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The file's text as the document works on it, and the code page of that text. A file that
// starts with a UTF-16 LE byte-order mark is Unicode (kept as UTF-8). So is one that an editor
// saved as UTF-8, with or without its byte-order mark, when its bytes are well-formed UTF-8 and
// some are above 127 (an ANSI text of accented letters hardly ever is). Any other file is ANSI,
// its UTF-8 byte-order mark, if any, left out.
struct Decoded {
  std::string text;
  unsigned codePage;
  bool fromUtf8 = false;  // read from UTF-8, a form the system's profile functions misread
};
Decoded decode(std::string bytes) {
  const std::string_view view(bytes);
  if (view.substr(0, 2) == kUtf16Bom) return {utf16leToUtf8(view.substr(2)), kCodePageUtf8};
  const std::string_view body = view.substr(0, 3) == kUtf8Bom ? view.substr(3) : view;
  const bool high = std::any_of(body.begin(), body.end(),
                                [](char c) { return static_cast<unsigned char>(c) > 127; });
  if (high && isUtf8(body)) return {std::string(body), kCodePageUtf8, true};
  return {std::string(body), ansiCodePage()};
}

std::string encode(const std::string& text, unsigned codePage) {
  if (codePage != kCodePageUtf8) return text;
  return std::string(kUtf16Bom) + utf8ToUtf16le(text);
}

}  // namespace

void IniFile::remember(std::string bytes) const {
  if (!loaded_ || bytes != cachedBytes_) {
    Decoded decoded = decode(bytes);
    cached_ = IniDocument::parse(decoded.text);
    cachedCodePage_ = decoded.codePage;
    cachedBytes_ = std::move(bytes);
    ++revision_;
  }
  loaded_ = true;
}

const IniDocument* IniFile::current() const {
  // The file is read once; after that it is known from what the worker writes and refreshes read.
  if (loaded_) return &cached_;
  auto bytes = fileStamp(path_) ? readWholeFile(path_) : std::optional<std::string>(std::string());
  if (!bytes) return nullptr;  // held unreadable this moment: the next read tries again
  remember(std::move(*bytes));
  return &cached_;
}

std::pair<const IniDocument*, unsigned> IniFile::readable() const {
  const IniDocument* document = current();
  if (pending_.empty() && givenUp_.empty()) return {document, cachedCodePage_};
  // The file as read, in Unicode, with the changes it has not taken (yet); made again only when
  // one of them, or the file, has changed since.
  const std::pair made{revision_, document != nullptr};
  if (withPendingOf_ == made) return {&withPending_, kCodePageUtf8};
  withPendingOf_ = made;
  const std::string text = !document ? std::string()
                           : cachedCodePage_ == kCodePageUtf8
                               ? decode(cachedBytes_).text
                               : codePageToUtf8(decode(cachedBytes_).text, cachedCodePage_);
  withPending_ = IniDocument::parse(text);
  for (const Change& change : givenUp_) change.apply(withPending_, kCodePageUtf8);
  for (const Change& change : pending_) change.apply(withPending_, kCodePageUtf8);
  return {&withPending_, kCodePageUtf8};
}

std::optional<std::string> IniFile::readValue(const Setting& setting) const {
  const std::lock_guard lock(mutex_);
  const auto [document, codePage] = readable();
  if (!document) return std::nullopt;
  const auto value = document->get(utf8ToCodePage(setting.section, codePage),
                                   utf8ToCodePage(setting.key, codePage));
  if (!value) return std::nullopt;
  return codePageToUtf8(*value, codePage);
}

std::vector<std::string> IniFile::readList(const Setting& list) const {
  const std::lock_guard lock(mutex_);
  std::vector<std::string> values;
  const auto [document, codePage] = readable();
  if (!document) return values;
  const std::string name = utf8ToCodePage(list.section, codePage);
  for (std::size_t i = 0;; ++i) {
    const auto value = document->get(name, numberedKey(i));
    if (!value) return values;
    values.push_back(codePageToUtf8(*value, codePage));
  }
}

std::optional<std::string> IniFile::readForUpdate() const {
  // A scanner or backup tool may hold the file without read sharing for a moment: try again
  // for a while rather than rebuild the file from nothing.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  for (;;) {
    if (auto bytes = readWholeFile(path_)) return bytes;
    if (!fileStamp(path_)) return std::string();  // no file: the change starts one
    if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

IniFile::Written IniFile::write(const std::vector<Change>& changes) const {
  const auto lock = lockForUpdate(path_);
  if (!lock) return {Replaced::inUse, {}};  // another copy is writing for longer than it should
  const auto bytes = readForUpdate();
  if (!bytes) return {Replaced::inUse, {}};  // there, but held unreadable: it stays as it is
  const bool createsFile = std::any_of(changes.begin(), changes.end(), [](const Change& change) {
    return change.kind == Change::Kind::set || change.kind == Change::Kind::addToList;
  });
  if (bytes->empty() && !createsFile && !fileStamp(path_)) return {Replaced::done, *bytes};
  Decoded file = decode(*bytes);
  // A file read from UTF-8 is written in a form the system's profile functions read: ANSI when
  // all of it fits, else UTF-16.
  if (file.fromUtf8 && fitsCodePage(file.text, ansiCodePage())) {
    file = {utf8ToCodePage(file.text, ansiCodePage()), ansiCodePage()};
  }
  // The file stays in the ANSI code page while every text fits it, as other programs expect;
  // a text that does not makes it Unicode, as the system's own profile functions do.
  const bool fits = std::all_of(changes.begin(), changes.end(), [&](const Change& change) {
    const std::vector<std::string> texts = change.texts();
    return std::all_of(texts.begin(), texts.end(), [&](const std::string& text) {
      return file.codePage == kCodePageUtf8 || fitsCodePage(text, file.codePage);
    });
  });
  if (!fits) file = {codePageToUtf8(file.text, file.codePage), kCodePageUtf8};
  IniDocument document = IniDocument::parse(file.text);
  bool changed = false;
  for (const Change& change : changes) changed = change.apply(document, file.codePage) || changed;
  if (!changed) return {Replaced::done, *bytes};
  std::string written = encode(document.serialize(), file.codePage);
  const Replaced result = replaceFileAtomically(path_, written);
  if (result != Replaced::done) return {result, {}};
  return {result, std::move(written)};
}

Later<bool> IniFile::refresh() {
  Later<bool> read;
  worker_.run([this, read] {
    auto bytes =
        fileStamp(path_) ? readWholeFile(path_) : std::optional<std::string>(std::string());
    if (bytes) {  // a file there but held unreadable this moment stays as last known
      const std::lock_guard lock(mutex_);
      remember(std::move(*bytes));
    }
    tell([read] { read.give(true); });
  });
  return read;
}

void IniFile::tell(std::function<void()> callback) {
  if (callback) worker_.toWindow(std::move(callback));
}

bool IniFile::saveNow() {
  std::vector<Change> batch;
  {
    const std::lock_guard lock(mutex_);
    batch = pending_;
  }
  if (batch.empty()) return true;
  const Written written = write(batch);
  const std::string what = batch.back().setting.what;
  std::function<void()> told;
  std::vector<std::filesystem::path> keptDone;
  {
    const std::lock_guard lock(mutex_);
    const auto saved = pending_.begin() + static_cast<std::ptrdiff_t>(batch.size());
    ++revision_;
    switch (written.result) {
      case Replaced::done:
        pending_.erase(pending_.begin(), saved);
        keptDone = keptFilesDone(batch);
        if (keptFile_ &&
            std::find(keptDone.begin(), keptDone.end(), *keptFile_) != keptDone.end()) {
          keptFile_.reset();
        }
        if (written.bytes) remember(*written.bytes);
        toldHeld_ = toldFailed_ = false;
        told = onSaved;
        break;
      case Replaced::inUse:
        if (!toldHeld_ && onHeld) {
          toldHeld_ = true;
          told = [callback = onHeld, what] { callback(what); };
        }
        break;
      case Replaced::denied:
      case Replaced::failed:
        // They cannot be saved at all (a read-only file, a full disk): given up, told.
        givenUp_.insert(givenUp_.end(), pending_.begin(), saved);
        pending_.erase(pending_.begin(), saved);
        if (!toldFailed_ && onFailed) {
          toldFailed_ = true;
          told = [callback = onFailed, what, why = written.result] { callback(what, why); };
        }
        break;
    }
  }
  // Only now that the file holds their changes: a program ended before keeps the files.
  for (const auto& file : keptDone) static_cast<void>(removeFile(file));
  tell(std::move(told));
  if (written.result == Replaced::inUse) retryLater();
  return written.result == Replaced::done;
}

void IniFile::retryLater() {
  {
    const std::lock_guard lock(mutex_);
    if (retrying_) return;
    retrying_ = true;
  }
  worker_.runAfter(std::chrono::seconds(1), [this] {
    {
      const std::lock_guard lock(mutex_);
      retrying_ = false;
    }
    static_cast<void>(saveNow());  // held still: it comes back here
  });
}

void IniFile::commit(Change change) {
  {
    const std::lock_guard lock(mutex_);
    if (change.kind != Change::Kind::addToList && !change.onlyOverBefore) {
      const auto [document, codePage] = readable();
      const auto now = document ? document->get(utf8ToCodePage(change.setting.section, codePage),
                                                utf8ToCodePage(change.setting.key, codePage))
                                : std::nullopt;
      change.before = now ? std::optional(codePageToUtf8(*now, codePage)) : std::nullopt;
    }
    pending_.push_back(std::move(change));
    ++revision_;
  }
  // A change kept out is told through the callbacks, and tried again.
  worker_.run([this] { static_cast<void>(saveNow()); });
}

void IniFile::startFlush(std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  {
    // The program is ending: no retry comes after this one.
    const std::lock_guard lock(mutex_);
    retrying_ = true;
  }
  const auto attempt = [this, deadline] {
    while (!saveNow() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
  };
  worker_.run(attempt);
}

bool IniFile::nothingPending() const {
  const std::lock_guard lock(mutex_);
  return pending_.empty();
}

Task<bool> IniFile::flush(std::chrono::milliseconds limit) {
  startFlush(limit);
  // A save under way may itself wait a few seconds for the lock and the file.
  static_cast<void>(co_await worker_.idle(limit + std::chrono::seconds(3)));
  co_return nothingPending();
}

bool IniFile::flushBlocking(std::chrono::milliseconds limit) {
  startFlush(limit);
  static_cast<void>(worker_.waitIdle(limit));
  return nothingPending();
}

void IniFile::writeValue(const Setting& setting, std::string_view value) {
  commit({Change::Kind::set, setting, std::string(value)});
}

void IniFile::removeValue(const Setting& setting) {
  commit({Change::Kind::removeKey, setting, {}});
}

void IniFile::addToList(const Setting& list, std::string_view entry, std::size_t limit) {
  commit({Change::Kind::addToList, list, std::string(entry), limit});
}

std::string IniFile::unsavedChanges() const {
  const std::lock_guard lock(mutex_);
  std::string listed;
  for (const Change& change : pending_) {
    const std::string& what = change.setting.what;
    if (listed.find(what) != std::string::npos) continue;
    if (!listed.empty()) listed += ", ";
    listed += what;
  }
  return listed;
}

bool IniFile::keepPendingForNextStart() {
  std::vector<std::filesystem::path> done;
  {
    const std::lock_guard lock(mutex_);
    if (pending_.empty()) {
      // Saved after all: what this run kept is not wanted any more.
      if (keptFile_) done.push_back(*std::exchange(keptFile_, nullptr));
    } else {
      const auto text = keptChangesText(pending_);
      if (!text) return false;
      if (!keptFile_) {
        keptFile_ = std::make_shared<const std::filesystem::path>(newKeptChangesFile(path_));
      }
      // UTF-16, so that any text comes back.
      if (replaceFileAtomically(*keptFile_, encode(*text, kCodePageUtf8)) != Replaced::done) {
        return false;
      }
      // Now in this run's file: the files they came from are not needed any more.
      for (Change& change : pending_) {
        if (change.keptIn && change.keptIn != keptFile_) done.push_back(*change.keptIn);
        change.keptIn = keptFile_;
        change.onlyOverBefore = change.kind != Change::Kind::addToList;
      }
    }
  }
  for (const auto& file : done) static_cast<void>(removeFile(file));  // else the next start's
  return true;
}

std::vector<std::filesystem::path> IniFile::keptFilesDone(const std::vector<Change>& saved) const {
  std::vector<std::filesystem::path> done;
  for (const Change& change : saved) {
    const auto sameFile = [&](const Change& other) { return other.keptIn == change.keptIn; };
    if (!change.keptIn || std::any_of(pending_.begin(), pending_.end(), sameFile) ||
        std::any_of(givenUp_.begin(), givenUp_.end(), sameFile) ||
        std::find(done.begin(), done.end(), *change.keptIn) != done.end()) {
      continue;
    }
    done.push_back(*change.keptIn);
  }
  return done;
}

std::vector<std::string> IniFile::saveKeptChanges() {
  std::vector<std::string> setAside;
  for (const std::filesystem::path& file : keptChangesFiles(path_)) {
    const auto bytes = readWholeFile(file);
    if (!bytes) continue;  // held for a moment: the next start
    Decoded text = decode(*bytes);
    if (text.codePage != kCodePageUtf8) text.text = codePageToUtf8(text.text, text.codePage);
    const bool earlier = file.extension() == ".pending" && file.stem() == path_.filename();
    auto changes = parseKeptChanges(text.text, earlier);
    if (!changes) {
      // Not half used: set aside whole, where the user can look at it.
      if (replaceFileAtomically(setAsideName(file), *bytes) == Replaced::done) {
        static_cast<void>(removeFile(file));
      }
      setAside.push_back(pathToUtf8(file));
      continue;
    }
    if (changes->empty()) {
      static_cast<void>(removeFile(file));
      continue;
    }
    const auto keptIn = std::make_shared<const std::filesystem::path>(file);
    for (Change& change : *changes) {
      change.keptIn = keptIn;
      commit(std::move(change));
    }
  }
  return setAside;
}

void removeLeftTemporaryFiles(const std::filesystem::path& settingsFile) {
  // Named "<file>.<process>.<n>.tmp"; one that is being written is younger than a minute.
  const std::string prefix = pathToUtf8(settingsFile.filename()) + ".";
  const std::filesystem::path folder = settingsFile.parent_path();
  for (const std::string& name : filesNamed(folder, prefix, ".tmp")) {
    const std::string middle = name.substr(prefix.size(), name.size() - prefix.size() - 4);
    const auto dot = middle.find('.');
    const bool ours = dot != std::string::npos && dot > 0 && dot + 1 < middle.size() &&
                      middle.find_first_not_of("0123456789.") == std::string::npos &&
                      middle.find('.', dot + 1) == std::string::npos;
    const auto stamp = fileStamp(folder / pathFromUtf8(name));
    if (ours && stamp && stamp->writeTime + 60 * kFileClockTicksPerSecond < fileClockNow()) {
      static_cast<void>(removeFile(folder / pathFromUtf8(name)));  // else at a later start
    }
  }
}

}  // namespace promptella
