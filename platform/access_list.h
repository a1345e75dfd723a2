// Who may change the files of a folder, read from its access list: where another user could
// rewrite a batch file while the interpreter reads it line by line, the batch goes elsewhere.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace promptella {

// One entry of a folder's access list, as the system reports it.
struct AccessEntry {
  std::string sid;  // in its string form, "S-1-5-32-544"
  bool allows;      // an allowing entry; denying ones only ever take rights away
  std::uint32_t mask;
  bool inheritOnly;       // applies to what is made in the folder, not to the folder
  bool inheritedByFiles;  // applies to the files made in the folder
};

// Whether only `userSid`, the administrators, the system, the installer service and the creator
// of a file may add, change or delete files in a folder with these entries. A missing access
// list (`hasList` false) lets everyone do everything.
[[nodiscard]] bool onlyTrustedCanWrite(const std::vector<AccessEntry>& entries, bool hasList,
                                       std::string_view userSid);

}  // namespace promptella
