// The batch runner: composition, encoding, writing and starting of the batch file.
#include "engine/batch_runner.h"

#include <algorithm>

#include "engine/batch_files.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/folder_path.h"
#include "platform/interpreter.h"
#include "platform/utf8.h"

namespace promptella {

std::string replaceAll(std::string_view text, char32_t find, std::string_view replacement) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t start = pos;
    out.append(decodeUtf8(text, pos) == find ? replacement : text.substr(start, pos - start));
  }
  return out;
}

namespace {

constexpr int kShowMinimizedActive = 2;

// One line for the interpreter, as composeBatch writes it.
std::string prepareBatchLine(std::string_view text) {
  return oneLine(replaceAll(replaceAll(text, U'\u00AB', "\""), U'\u00BB', "\""));
}

std::size_t utf16Length(std::string_view utf8) {
  std::size_t units = 0;
  for (std::size_t pos = 0; pos < utf8.size();) units += decodeUtf8(utf8, pos) > 0xFFFF ? 2 : 1;
  return units;
}

// Whether the batch file gives the interpreter exactly this text: every character in its code
// page, and none that the line preparation changes.
bool spelledExactly(std::string_view utf8, unsigned codePage) {
  return prepareBatchLine(utf8) == utf8 && fitsCodePage(utf8, codePage);
}

// The letters of `utf8` that `codePage` cannot write, each once, between commas.
std::string lettersOutsideCodePage(std::string_view utf8, unsigned codePage) {
  std::string letters;
  const std::string prepared = prepareBatchLine(utf8);
  for (std::size_t pos = 0; pos < prepared.size();) {
    const std::size_t start = pos;
    decodeUtf8(prepared, pos);
    const std::string_view letter = std::string_view(prepared).substr(start, pos - start);
    if (fitsCodePage(letter, codePage)) continue;
    if (letters.find(letter) != std::string::npos) continue;
    if (!letters.empty()) letters += ", ";
    letters += letter;
  }
  return letters;
}

}  // namespace

std::string composeBatch(const BatchLines& lines, unsigned codePage) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0 && lines[i].empty()) continue;
    text += prepareBatchLine(lines[i]);
    text += "\r\n";
  }
  return utf8ToCodePage(text, codePage);
}

std::string driveLine(std::string_view driveText) {
  const auto colon = driveText.find(':');
  return std::string(colon == std::string_view::npos ? driveText : driveText.substr(0, colon + 1));
}

std::string driveLineFor(std::string_view driveText, std::string_view folder) {
  const char letter = driveLetterOf(folder) ? driveLetterOf(folder) : driveLetterOf(driveText);
  return letter ? std::string{letter, ':'} : std::string();
}

std::string BatchRunner::cdLine(std::string_view folder) {
  return "cd \"" + literalPercents(folder) + "\"";
}

OutcomeOf<std::string> BatchRunner::folderForBatch(std::string_view folder) const {
  // The interpreter cannot make a network path its current folder: it would say so and run the
  // command in the Windows folder instead.
  if (isNetworkPath(folder)) {
    return {Outcome::failed("Couldn't run from the folder " + std::string(folder) + ": " +
                            std::string(kNetworkFolderReason) + " and pick that drive."),
            {}};
  }
  const unsigned codePage = launcher_.interpreterCodePage();
  // A quote would end the cd line's own (no name on Windows holds one).
  const auto enterable = [&](std::string_view path) {
    return spelledExactly(path, codePage) && utf16Length(path) <= kMaxInterpreterFolder &&
           path.find('"') == std::string_view::npos;
  };
  if (enterable(folder)) return {Outcome::success(), std::string(folder)};
  if (const auto shortName = launcher_.shortPath(folder); shortName && enterable(*shortName)) {
    return {Outcome::success(), *shortName};
  }
  const std::string why =
      !spelledExactly(folder, codePage)
          ? "its name cannot be written in the console's code page (" + std::to_string(codePage) +
                ") and it has no short name that can"
      : folder.find('"') != std::string_view::npos
          ? std::string("its name holds a double quote, which would end the quotes around it")
          : "its path is longer than the command interpreter accepts (" +
                std::to_string(kMaxInterpreterFolder) + " characters) and it has no shorter name";
  return {Outcome::failed("Couldn't enter the folder " + std::string(folder) + ": " + why + "."),
          {}};
}

Outcome BatchRunner::runCommand(std::string_view drive, std::string_view folder,
                                std::string_view command) {
  // A letter the console cannot take would reach the interpreter as '?', a wildcard.
  const unsigned codePage = launcher_.interpreterCodePage();
  if (const std::string letters = lettersOutsideCodePage(command, codePage); !letters.empty()) {
    return Outcome::failed("Couldn't run the command: the console's code page (" +
                           std::to_string(codePage) + ") cannot write " + letters +
                           ". Nothing was run.\r\n\r\nThe command chcp 65001 lets the console "
                           "take any letter.");
  }
  if (const std::size_t length = utf16Length(prepareBatchLine(command));
      length > kMaxInterpreterLine) {
    return Outcome::failed("Couldn't run the command: it is " + std::to_string(length) +
                           " characters long, and the command interpreter reads at most " +
                           std::to_string(kMaxInterpreterLine) +
                           " characters in a line. Nothing was run.");
  }
  const OutcomeOf<std::string> target = folderForBatch(folder);
  if (!target.succeeded()) return target;
  return runLines({"@echo off", driveLineFor(drive, target.value), cdLine(target.value),
                   kStopWhenNotEntered, "@echo on", command},
                  target.value);
}

Outcome BatchRunner::enterFolder(std::string_view drive, std::string_view folder) {
  const OutcomeOf<std::string> target = folderForBatch(folder);
  if (!target.succeeded()) return target;
  return runLines(
      {"@echo off", driveLineFor(drive, target.value), "@echo on", cdLine(target.value)},
      target.value);
}

Outcome BatchRunner::enterDrive(std::string_view drive) {
  return runLines({driveLine(drive)});
}

bool BatchRunner::busy(const std::filesystem::path& file) const {
  return std::any_of(runs_.begin(), runs_.end(), [&](const Run& run) { return run.file == file; });
}

Task<> BatchRunner::lastRunEnded() const {
  if (runs_.empty()) co_return;
  Task<> ended = runs_.back().process->ended();
  co_await std::move(ended);
}

void BatchRunner::removeFinishedSpareFiles() {
  std::erase_if(runs_, [](const Run& run) { return !run.process->running(); });
  std::erase_if(spares_, [&](const std::filesystem::path& spare) {
    return !busy(spare) && (removeFile(spare) || !fileStamp(spare));
  });
}

void BatchRunner::removeAllFiles() {
  // Whatever fails to go now is left to the next start's clean-up.
  if (batchFile_) static_cast<void>(removeFile(*batchFile_));
  for (const auto& spare : spares_) static_cast<void>(removeFile(spare));
  spares_.clear();
  runs_.clear();
}

std::filesystem::path BatchRunner::freeFile() {
  removeFinishedSpareFiles();
  if (!busy(*batchFile_)) return *batchFile_;
  for (int n = 2;; ++n) {
    const std::filesystem::path spare = spareBatchFile(*batchFile_, n);
    if (!busy(spare)) {
      spares_.insert(spare);
      return spare;
    }
  }
}

Outcome BatchRunner::runLines(const BatchLines& lines, std::string_view workingFolder) {
  if (!batchFile_) {
    return Outcome::failed(
        "Nothing was run: other users can change files in Promptella's folder, and there is no "
        "folder of your own (%LOCALAPPDATA%) for the batch file, so one of them could change what "
        "runs as you. Move Promptella to a folder of your own.");
  }
  const std::filesystem::path file = freeFile();
  const std::string name = pathToUtf8(file);
  // Usually the last run's, or none yet; one that stays makes the write below fail, and say so.
  static_cast<void>(removeFile(file));
  const std::string bytes = composeBatch(lines, launcher_.interpreterCodePage());
  if (const Outcome written = writeNewFile(file, bytes); !written.succeeded()) {
    return Outcome::failed("Couldn't write the batch file " + name + ": " + *written.failure);
  }
  StartResult started = launcher_.startBatch(name, kShowMinimizedActive, workingFolder);
  if (!started.succeeded()) {
    return Outcome::failed("Couldn't start the batch file " + name + ": " + *started.failure);
  }
  runs_.push_back({file, std::move(started.value)});
  return {};
}

}  // namespace promptella
