// The running program on Windows.
#pragma once

#include "platform/app.h"

namespace promptella {

class Win32Application : public Application {
 public:
  std::string folder() const override;
  void terminate(int exitCode) override;
  bool folderWritable(const std::string& folder) const override;
  std::string localDataFolder() const override;
};

}  // namespace promptella
