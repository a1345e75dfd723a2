// The program's batch files: their names, the spares of runs that overlap, the copy numbers that
// copies running from one folder claim, and the clean-up of files that ended copies left.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/app.h"

namespace promptella {

// The batch file of copy `copy` in `folder`: "~Promptella.bat" for the first,
// "~Promptella.<copy>.bat" for the others. The separator is always added, so a folder at a
// drive's root gets two in a row, which the system accepts.
std::string batchFileIn(std::string_view folder, int copy = 1);

// Spare file `n` of `batchFile`, for a run that overlaps one still reading the file:
// "~Promptella-2.bat", "~Promptella.3-2.bat".
std::filesystem::path spareBatchFile(const std::filesystem::path& batchFile, int n);

// The copy a batch file belongs to, and whether it is one of that copy's spare files; nothing for
// any other name.
struct BatchFileOwner {
  int copy;
  bool spare;
};
[[nodiscard]] std::optional<BatchFileOwner> batchFileOwner(std::string_view fileName);

// Copies started from one folder never share a batch file: an interpreter reads its file line by
// line while it runs, so another copy's rewrite would make it run a fragment. Claims the lowest
// copy number free in `folder` for the whole run, removes the batch files left there by copies
// that no longer run, and returns this copy's batch file.
std::string claimBatchFile(Application& app, std::string_view folder);

}  // namespace promptella
