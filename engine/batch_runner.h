// Runs every command the same way: up to five lines written to the batch file, which is then
// started in the companion console without waiting for it.
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

inline constexpr int kShowMinimizedActive = 2;

// `text` with every `find` replaced by `replacement`.
std::string ReplaceAll(std::string_view text, char32_t find, std::string_view replacement);

// Prepares one line for the interpreter: the angle quotes « and » become plain double quotes, and
// a line break (or NUL) becomes a space, so that one line of ours is always one line of the batch.
std::string ToOemText(std::string_view text);

// The file's bytes: line1 always, the others only when not empty, each ended by CR LF, encoded in
// the interpreter's code page.
std::string composeBatch(const std::array<std::string_view, 5>& lines, unsigned codePage);

class BatchRunner {
 public:
  BatchRunner(std::filesystem::path batchFile, ProcessLauncher& launcher)
      : batchFile_(std::move(batchFile)), launcher_(launcher) {}
  ~BatchRunner();

  // Writes and starts the batch; on failure, the message for the user (naming the file and the
  // system's reason) and nothing was started.
  std::optional<std::string> RunBatch(std::string_view line1, std::string_view line2,
                                      std::string_view line3, std::string_view line4,
                                      std::string_view line5);

  // Whether an interpreter started by this runner still runs.
  bool anyRunning() const;
  // Removes the files of earlier overlapping runs whose interpreters have ended.
  void removeFinishedSpareFiles();

 private:
  // The interpreter reads a running batch file line by line, reopening it at a saved offset, so
  // the file of a batch that still runs is never rewritten: an overlapping run takes a spare file.
  std::filesystem::path freeFile();
  std::filesystem::path spareFile(int n) const;
  bool busy(const std::filesystem::path& file) const;

  struct Run {
    std::filesystem::path file;
    std::unique_ptr<StartedProcess> process;
  };
  std::filesystem::path batchFile_;
  ProcessLauncher& launcher_;
  std::vector<Run> runs_;
  std::set<std::filesystem::path> spares_;
};

}  // namespace promptella
