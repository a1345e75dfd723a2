// Whole-file reads and crash-safe whole-file replacement.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/outcome.h"

namespace promptella {

// Paths travel as UTF-8 inside the program.
std::filesystem::path pathFromUtf8(std::string_view utf8);
std::string pathToUtf8(const std::filesystem::path& path);

// What tells one version of a file from another without reading it: its size, its last write
// time and its identity (a file replaced by a rename is another file: another inode, or on
// Windows another creation time).
struct FileStamp {
  unsigned long long size = 0, writeTime = 0, id = 0;
  bool operator==(const FileStamp&) const = default;
};
[[nodiscard]] std::optional<FileStamp> fileStamp(const std::filesystem::path& path);
// The file system's clock now, in the units of FileStamp::writeTime, and its ticks per second.
unsigned long long fileClockNow();
extern const unsigned long long kFileClockTicksPerSecond;

// The file's bytes, or nothing when it is missing or cannot be read.
[[nodiscard]] std::optional<std::string> readWholeFile(const std::filesystem::path& path);

// Writes `bytes` to a temporary file beside `path`, flushes it to disk, then puts it in place of
// `path` in one step: readers see either the old or the new file, never a torn one. An existing
// file keeps its attributes and its access list, and a symbolic link its target, which is what
// is written. A file held by another program (an editor, a backup tool, a scanner) is tried
// again for two seconds, then is `inUse`. One this user may not replace (read-only, or its access
// list or its folder's forbids it) is `denied` at once; `failed` is anything else (a full disk).
// On any failure the old file is left as it was and the temporary file is removed.
enum class [[nodiscard]] Replaced{done, inUse, denied, failed};
Replaced replaceFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// Creates (or empties) the file and writes `bytes`; the system's reason when that fails.
Outcome writeNewFile(const std::filesystem::path& path, std::string_view bytes);

// Removes a file; false when it did not exist or could not be removed.
[[nodiscard]] bool removeFile(const std::filesystem::path& path);

// The names of the files in `folder` whose names start with `prefix` and end with `suffix`.
std::vector<std::string> filesNamed(const std::filesystem::path& folder, std::string_view prefix,
                                    std::string_view suffix);

// Held while a file is read, changed and replaced: every copy of the program takes the same lock
// for the same file (named after its full path), so that no copy's change is lost by another's.
class FileUpdateLock {
 public:
  virtual ~FileUpdateLock() = default;
};
// Null when the lock could not be had within a few seconds.
[[nodiscard]] std::unique_ptr<FileUpdateLock> lockForUpdate(const std::filesystem::path& path);

}  // namespace promptella
