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
  // A plain allowing or denying entry; any other allowing kind (conditional, object, compound,
  // or one not known) is read as granting anything to anyone. Denying ones only take rights away.
  enum class Kind { allows, denies, allowsOtherwise };
  Kind kind;
  std::string sid = {};  // in its string form, "S-1-5-32-544"; plain entries only
  std::uint32_t mask = 0;
  bool inheritOnly = false;       // applies to what is made in the folder, not to the folder
  bool inheritedByFiles = false;  // applies to the files made in the folder
};

// Whether only `userSid`, the administrators, the system, the installer service and the creator
// of a file may add, change or delete files in a folder with these entries and this owner (who
// may always rewrite the list). A missing access list (`hasList` false) lets everyone do
// everything; what cannot be read is not known to be safe.
[[nodiscard]] bool onlyTrustedCanWrite(std::string_view ownerSid,
                                       const std::vector<AccessEntry>& entries, bool hasList,
                                       std::string_view userSid);

}  // namespace promptella
