// Starts batch files through the system, in the program's console.
#pragma once

#include "platform/process.h"

namespace promptella {

class Win32ProcessLauncher : public ProcessLauncher {
 public:
  StartResult startBatch(std::string_view batchFile, int showWindow,
                         std::string_view workingFolder) override;
  [[nodiscard]] std::optional<std::string> shortPath(std::string_view folder) const override;
  unsigned interpreterCodePage() const override;
};

}  // namespace promptella
