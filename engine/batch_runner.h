// Runs every command the same way: up to six lines written to the batch file (the echo off, the
// drive, the cd, the stop when the cd fails, the echo on, the command), which is then started in
// the companion console without waiting for it.
#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/process.h"

namespace promptella {

// Why a network folder cannot be a command's folder, and what to do instead, for a message.
inline constexpr std::string_view kNetworkFolderReason =
    "the command interpreter cannot use a network path as its current folder. Map the share to a "
    "drive letter (net use)";

// `text` with every `find` replaced by `replacement`.
std::string replaceAll(std::string_view text, char32_t find, std::string_view replacement);

using BatchLines = std::array<std::string_view, 6>;

// The file's bytes: the first line always, the others when not empty, each ended by CR LF, in
// the interpreter's code page; « and » become plain double quotes, and a line break (or NUL) a
// space, so that one line of ours is always one line of the batch.
std::string composeBatch(const BatchLines& lines, unsigned codePage);

// The drive line of a batch: the drive text up to its first colon ("d:"), never the volume label
// or share name that may follow it, which are somebody else's text.
std::string driveLine(std::string_view driveText);
// The drive line of a batch that enters `folder`: the folder's own drive when it names one (the
// drive and the cd never point at two drives), else the drive text's; nothing when neither does.
std::string driveLineFor(std::string_view driveText, std::string_view folder);

// The longest folder the interpreter can enter, in UTF-16 units: MAX_PATH less the NUL and the
// trailing backslash that the system adds.
inline constexpr std::size_t kMaxInterpreterFolder = 258;
// The longest line the interpreter reads whole, in UTF-16 units; it cuts a longer one and runs
// the rest as a command of its own.
inline constexpr std::size_t kMaxInterpreterLine = 8191;
// Follows the cd of a command's batch: the command never runs when its folder cannot be entered
// (removed since the check, a drive gone). `if errorlevel` is read alike by every interpreter.
inline constexpr std::string_view kStopWhenNotEntered = "if errorlevel 1 exit /b 1";

class BatchRunner {
 public:
  // Without a batch file (no folder that only this user can change), every run is refused.
  BatchRunner(std::optional<std::filesystem::path> batchFile, ProcessLauncher& launcher)
      : batchFile_(std::move(batchFile)), launcher_(launcher) {}

  // The command, from the drive and folder shown, its prompt and output in the console.
  Outcome runCommand(std::string_view drive, std::string_view folder, std::string_view command);
  // The console follows a folder picked in the folder list, showing the cd.
  Outcome enterFolder(std::string_view drive, std::string_view folder);
  // The console follows a drive picked in the drive list.
  Outcome enterDrive(std::string_view drive);

  // Ends once the batch started last has ended.
  Task<> lastRunEnded() const;

  // Removes the files of earlier overlapping runs whose interpreters have ended.
  void removeFinishedSpareFiles();
  // Removes every file of this runner, whether its batch still runs or not: the session ends.
  void removeAllFiles();

 private:
  // Writes the lines and starts the batch, in `workingFolder` when one is given.
  Outcome runLines(const BatchLines& lines, std::string_view workingFolder = {});
  // The interpreter reads a running batch file line by line, reopening it at a saved offset, so
  // the file of a batch that still runs is never rewritten: an overlapping run takes a spare file.
  std::filesystem::path freeFile();
  // The folder as the interpreter can enter it: itself, or its short name when the console's code
  // page cannot spell it or it is too long.
  OutcomeOf<std::string> folderForBatch(std::string_view folder) const;
  static std::string cdLine(std::string_view folder);
  [[nodiscard]] bool busy(const std::filesystem::path& file) const;

  struct Run {
    std::filesystem::path file;
    std::unique_ptr<StartedProcess> process;
  };
  std::optional<std::filesystem::path> batchFile_;
  ProcessLauncher& launcher_;
  std::vector<Run> runs_;
  std::set<std::filesystem::path> spares_;
};

}  // namespace promptella
