// Where the settings and batch files live.
#include "settings/file_names.h"

#include "platform/files.h"

namespace promptella {

namespace {

std::string claimName(std::string_view folder, int copy) {
  std::string name = "batch ";
  name.append(std::to_string(copy)).append(" ").append(folder);
  return name;
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

// The interpreter of a copy that ended may still be running its batch; the file is removed once
// no copy of that number runs, and never the first copy's own file, which the next run replaces.
void removeLeftBatchFiles(const Application& app, std::string_view folder,
                          std::string_view claimedFolder, int ownCopy) {
  const std::string prefix = std::string("~").append(kProductName);
  for (const std::string& name : filesNamed(pathFromUtf8(folder), prefix, ".bat")) {
    const auto owner = batchFileOwner(name);
    if (!owner || (owner->copy == 1 && !owner->spare)) continue;
    if (owner->copy == ownCopy || !app.claimed(claimName(claimedFolder, owner->copy))) {
      // One still held by a batch that runs goes at a later start.
      static_cast<void>(removeFile(pathFromUtf8(folder) / pathFromUtf8(name)));
    }
  }
}

}  // namespace

std::optional<BatchFileOwner> batchFileOwner(std::string_view fileName) {
  const std::string prefix = std::string("~").append(kProductName);
  if (fileName.size() <= prefix.size() + 4 || fileName.substr(0, prefix.size()) != prefix ||
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

FileNames chooseFileNames(Application& app) {
  const std::string programFolder = app.folder();
  std::string folder = programFolder;
  const std::string dataFolder = app.localDataFolder();
  if (!app.folderWritable(programFolder)) {
    if (!dataFolder.empty()) {  // else nowhere better: reads still work, writes fail
      folder = dataFolder;
      const FileNames beside = fileNamesFor(programFolder);
      const auto own = pathFromUtf8(fileNamesFor(dataFolder).settingsFile);
      if (!fileStamp(own)) {
        if (const auto bytes = readWholeFile(pathFromUtf8(beside.settingsFile))) {
          // A copy that fails leaves the defaults; the file beside the program stays as it was.
          static_cast<void>(replaceFileAtomically(own, *bytes));
        }
      }
    }
  }
  // The interpreter reads a batch file line by line while it runs: where other users can change
  // files (a folder made at a drive's root), one of them could change what runs as this user.
  // The batch file then goes to the user's own folder; the settings stay where they are.
  std::string batchFolder = folder;
  if (batchFolder == programFolder && !dataFolder.empty() && !app.folderPrivate(programFolder)) {
    batchFolder = dataFolder;
  }
  // Copies started from one folder never share a batch file: an interpreter reads its file line
  // by line while it runs, so another copy's rewrite would make it run a fragment.
  const std::string claimedFolder = app.canonicalFolder(batchFolder);
  int copy = 1;
  while (copy < 1000 && !app.claim(claimName(claimedFolder, copy))) ++copy;
  removeLeftBatchFiles(app, batchFolder, claimedFolder, copy);
  return {fileNamesFor(batchFolder, copy).batchFile, fileNamesFor(folder).settingsFile};
}

}  // namespace promptella
