// The fake process launcher of the unit tests and fuzz targets: it records each batch it is
// asked to start and starts nothing.
#pragma once

#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/process.h"

namespace promptella::testing {

class FakeProcess : public StartedProcess {
 public:
  explicit FakeProcess(std::shared_ptr<bool> running) : running_(std::move(running)) {}
  bool running() const override { return *running_; }
  Task<> ended() const override { co_return; }

 private:
  std::shared_ptr<bool> running_;
};

// Records each batch it is asked to start, with the file's bytes at that moment.
class FakeLauncher : public ProcessLauncher {
 public:
  struct Start {
    std::string file;
    std::string bytes;
    int showWindow;
    std::shared_ptr<bool> running;
  };
  StartResult startBatch(std::string_view batchFile, int showWindow,
                         std::string_view workingFolder) override {
    if (!startError.empty()) return {Outcome::failed(startError), nullptr};
    workingFolders.emplace_back(workingFolder);
    std::ifstream in(pathFromUtf8(batchFile), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto running = std::make_shared<bool>(keepRunning);
    starts.push_back({std::string(batchFile), bytes, showWindow, running});
    return {Outcome::success(), std::make_unique<FakeProcess>(running)};
  }
  unsigned interpreterCodePage() const override { return codePage; }
  std::optional<std::string> shortPath(std::string_view folder) const override {
    const auto found = shortPaths.find(std::string(folder));
    if (found == shortPaths.end()) return std::nullopt;
    return found->second;
  }

  // The lines of each batch started, split at CR LF, decoded from the code page.
  std::vector<std::string> lines(std::size_t start) const {
    std::vector<std::string> out;
    const std::string& bytes = starts.at(start).bytes;
    for (std::size_t from = 0; from < bytes.size();) {
      const auto end = bytes.find("\r\n", from);
      out.push_back(bytes.substr(from, end - from));
      from = end + 2;
    }
    return out;
  }

  std::vector<Start> starts;
  std::vector<std::string> workingFolders;
  std::map<std::string, std::string> shortPaths;
  unsigned codePage = 437;
  bool keepRunning = false;
  std::string startError;
};

}  // namespace promptella::testing
