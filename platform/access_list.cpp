// The access-list rule for the batch file's folder.
#include "platform/access_list.h"

#include <algorithm>
#include <array>

namespace promptella {
namespace {

// Rights that let a holder put, change or remove a file: on the folder, adding files or
// subfolders and deleting children; on a file, writing and appending; on either, deleting,
// changing the access list or the owner, and the generic write and all.
constexpr std::uint32_t kFolderWrites = 0x0002 | 0x0004 | 0x0040;
constexpr std::uint32_t kFileWrites = 0x0002 | 0x0004;
constexpr std::uint32_t kAnyObjectWrites =
    0x00010000 | 0x00040000 | 0x00080000 | 0x40000000 | 0x10000000;

// The first three may also own the folder.
constexpr std::array<std::string_view, 4> kTrusted = {
    "S-1-5-18",                                                        // the system
    "S-1-5-32-544",                                                    // the administrators
    "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464",  // TrustedInstaller
    "S-1-3-0",  // the creator of a file: this user, for a batch file it writes
};

bool trusted(std::string_view sid, std::string_view userSid, std::size_t among) {
  return (!sid.empty() && sid == userSid) ||
         std::find(kTrusted.begin(), kTrusted.begin() + among, sid) != kTrusted.begin() + among;
}

}  // namespace

bool onlyTrustedCanWrite(std::string_view ownerSid, const std::vector<AccessEntry>& entries,
                         bool hasList, std::string_view userSid) {
  if (!hasList || !trusted(ownerSid, userSid, 3)) return false;
  return std::all_of(entries.begin(), entries.end(), [&](const AccessEntry& entry) {
    if (entry.kind == AccessEntry::Kind::denies) return true;
    if (entry.kind == AccessEntry::Kind::allowsOtherwise) return false;
    const bool writesFolder =
        !entry.inheritOnly && (entry.mask & (kFolderWrites | kAnyObjectWrites)) != 0;
    const bool writesFiles =
        entry.inheritedByFiles && (entry.mask & (kFileWrites | kAnyObjectWrites)) != 0;
    if (!writesFolder && !writesFiles) return true;
    return trusted(entry.sid, userSid, kTrusted.size());
  });
}

}  // namespace promptella
