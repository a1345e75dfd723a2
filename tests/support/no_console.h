// Services that let the real main window run inside a test or benchmark process: no console is
// opened and the process is never ended.
#pragma once

#include <filesystem>

#include "platform/app.h"
#include "platform/console.h"

namespace promptella::testing {

class NoConsole : public ConsoleApi {
 public:
  void lockScreenUpdates() override {}
  void unlockScreenUpdates() override {}
  bool allocConsole() override { return true; }
  ConsoleHandle standardOutput() override { return 1; }
  ConsoleHandle standardInput() override { return 2; }
  void setTitle(std::string_view) override {}
  void setInputMode(ConsoleHandle, unsigned) override {}
  void write(ConsoleHandle, std::string_view) override {}
  WindowHandle findWindow(std::string_view, std::string_view) override { return 0; }
  WindowHandle ownConsoleWindow() override { return 0; }
  ScreenRect windowRect(WindowHandle) override { return {}; }
  ScreenRect visibleFrame(WindowHandle) override { return {}; }
  std::string windowClass(WindowHandle) override { return {}; }
  void moveWindow(WindowHandle, int, int, int, int) override {}
  Task<std::optional<std::string>> readChunk(ConsoleHandle) override { co_return std::nullopt; }
  void closeHandle(ConsoleHandle) override {}
  void freeConsole() override {}
  void destroyWindow(WindowHandle) override {}
};

class FolderApplication : public Application {
 public:
  std::string folder() const override { return folder_; }
  void terminate(int exitCode) override { ended = exitCode; }
  bool folderWritable(const std::string&) const override { return true; }
  bool folderPrivate(const std::string&) const override { return true; }
  std::string canonicalFolder(const std::string& folder) const override { return folder; }
  std::optional<std::string> localDataFolder() const override { return std::nullopt; }
  bool claim(const std::string&) override { return true; }
  bool claimed(const std::string&) const override { return false; }
  std::string startArguments() const override { return {}; }
  Task<std::optional<std::string>> folderToStartOn(std::string) const override {
    co_return std::nullopt;
  }
  std::string folder_;
  int ended = -1;
};

}  // namespace promptella::testing
