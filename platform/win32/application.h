// The running program on Windows.
#pragma once

#include <vector>

#include "platform/app.h"
#include "platform/win32/handles.h"

namespace promptella {

class Win32Application : public Application {
 public:
  std::string folder() const override;
  void terminate(int exitCode) override;
  [[nodiscard]] bool folderWritable(const std::string& folder) const override;
  [[nodiscard]] bool folderPrivate(const std::string& folder) const override;
  std::string canonicalFolder(const std::string& folder) const override;
  std::optional<std::string> localDataFolder() const override;
  [[nodiscard]] bool claim(const std::string& name) override;
  [[nodiscard]] bool claimed(const std::string& name) const override;
  std::string startArguments() const override;
  Task<std::optional<std::string>> folderToStartOn(std::string path) const override;

 private:
  std::vector<UniqueHandle> claims_;  // kept until the process ends
};

}  // namespace promptella
