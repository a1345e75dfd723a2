// The batch runner: composition, encoding, writing and starting of the batch file.
#include "engine/batch_runner.h"

#include <algorithm>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/utf8.h"

namespace promptella {

std::string ReplaceAll(std::string_view text, char32_t find, std::string_view replacement) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t start = pos;
    const char32_t cp = decodeUtf8(text, pos);
    if (cp == find)
      out += replacement;
    else
      out.append(text.substr(start, pos - start));
  }
  return out;
}

std::string ToOemText(std::string_view text) {
  std::string out = ReplaceAll(text, U'\u00AB', "\"");
  out = ReplaceAll(out, U'\u00BB', "\"");
  for (char& c : out) {
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  return out;
}

std::string composeBatch(const std::array<std::string_view, 5>& lines, unsigned codePage) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0 && lines[i].empty()) continue;
    text += ToOemText(lines[i]);
    text += "\r\n";
  }
  return utf8ToCodePage(text, codePage);
}

BatchRunner::~BatchRunner() = default;

std::filesystem::path BatchRunner::spareFile(int n) const {
  return batchFile_.parent_path() /
         pathFromUtf8(pathToUtf8(batchFile_.stem()) + "-" + std::to_string(n) +
                      pathToUtf8(batchFile_.extension()));
}

bool BatchRunner::busy(const std::filesystem::path& file) const {
  return std::any_of(runs_.begin(), runs_.end(), [&](const Run& run) { return run.file == file; });
}

bool BatchRunner::anyRunning() const {
  return std::any_of(runs_.begin(), runs_.end(),
                     [](const Run& run) { return run.process->running(); });
}

void BatchRunner::removeFinishedSpareFiles() {
  std::erase_if(runs_, [](const Run& run) { return !run.process->running(); });
  std::erase_if(spares_, [&](const std::filesystem::path& spare) {
    return !busy(spare) && (removeFile(spare) || !fileStamp(spare));
  });
}

std::filesystem::path BatchRunner::freeFile() {
  removeFinishedSpareFiles();
  if (!busy(batchFile_)) return batchFile_;
  for (int n = 2;; ++n) {
    const std::filesystem::path spare = spareFile(n);
    if (!busy(spare)) {
      spares_.insert(spare);
      return spare;
    }
  }
}

std::optional<std::string> BatchRunner::RunBatch(std::string_view line1, std::string_view line2,
                                                 std::string_view line3, std::string_view line4,
                                                 std::string_view line5) {
  const std::filesystem::path file = freeFile();
  const std::string name = pathToUtf8(file);
  removeFile(file);  // usually the last run's, or none yet: either way it goes
  const std::string bytes =
      composeBatch({line1, line2, line3, line4, line5}, launcher_.interpreterCodePage());
  if (const auto error = writeNewFile(file, bytes)) {
    return "Couldn't write the batch file " + name + ": " + *error;
  }
  StartResult started = launcher_.startBatch(name, kShowMinimizedActive);
  if (!started.process) return "Couldn't start the batch file " + name + ": " + started.error;
  runs_.push_back({file, std::move(started.process)});
  return std::nullopt;
}

}  // namespace promptella
