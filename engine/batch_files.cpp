// Names, claims and clean-up of the batch files.
#include "engine/batch_files.h"

#include "platform/files.h"
#include "product.h"

namespace promptella {
namespace {

std::string filePrefix() {
  return std::string("~").append(kProductName);
}

std::string claimName(std::string_view folder, int copy) {
  return "batch " + std::to_string(copy) + " " + std::string(folder);
}

// Whole decimal number, without sign or leading zero; nothing otherwise.
std::optional<int> number(std::string_view text) {
  if (text.empty() || text.size() > 4 || text[0] == '0') return std::nullopt;
  int n = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  return n;
}

// Every batch file of a copy number that no running copy claims goes, spares and the first
// copy's own file alike (Exit leaves its file behind); one a batch still runs from goes
// at a later start.
void removeLeftBatchFiles(const Application& app, std::string_view folder,
                          std::string_view claimedFolder, int ownCopy) {
  for (const std::string& name : filesNamed(pathFromUtf8(folder), filePrefix(), ".bat")) {
    const auto owner = batchFileOwner(name);
    if (!owner) continue;
    if (owner->copy == ownCopy || !app.claimed(claimName(claimedFolder, owner->copy))) {
      static_cast<void>(removeFile(pathFromUtf8(folder) / pathFromUtf8(name)));
    }
  }
}

}  // namespace

std::string batchFileIn(std::string_view folder, int copy) {
  std::string batch(folder);
  batch += static_cast<char>(std::filesystem::path::preferred_separator);
  batch += filePrefix();
  if (copy > 1) batch.append(".").append(std::to_string(copy));
  return batch.append(".bat");
}

std::filesystem::path spareBatchFile(const std::filesystem::path& batchFile, int n) {
  return batchFile.parent_path() /
         pathFromUtf8(pathToUtf8(batchFile.stem()) + "-" + std::to_string(n) +
                      pathToUtf8(batchFile.extension()));
}

std::optional<BatchFileOwner> batchFileOwner(std::string_view fileName) {
  const std::string prefix = filePrefix();
  if (fileName.size() < prefix.size() + 4 || fileName.substr(0, prefix.size()) != prefix ||
      fileName.substr(fileName.size() - 4) != ".bat") {
    return std::nullopt;
  }
  std::string_view middle = fileName.substr(prefix.size(), fileName.size() - prefix.size() - 4);
  int copy = 1;
  if (!middle.empty() && middle[0] == '.') {
    const auto dash = middle.find('-');
    const auto parsed = number(middle.substr(1, dash == std::string_view::npos ? dash : dash - 1));
    if (!parsed || *parsed < 2) return std::nullopt;
    copy = *parsed;
    middle = dash == std::string_view::npos ? std::string_view() : middle.substr(dash);
  }
  if (middle.empty()) return BatchFileOwner{copy, false};
  if (middle[0] != '-' || !number(middle.substr(1))) return std::nullopt;
  return BatchFileOwner{copy, true};
}

std::string claimBatchFile(Application& app, std::string_view folder) {
  const std::string claimedFolder = app.canonicalFolder(std::string(folder));
  int copy = 1;
  while (copy < 1000 && !app.claim(claimName(claimedFolder, copy))) ++copy;
  removeLeftBatchFiles(app, folder, claimedFolder, copy);
  return batchFileIn(folder, copy);
}

}  // namespace promptella
