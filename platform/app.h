// Services of the running program: its folder, ending it.
#pragma once

#include <optional>
#include <string>

#include "platform/async.h"

namespace promptella {

class Application {
 public:
  virtual ~Application() = default;
  // The folder that holds the running program, as UTF-8, without a trailing separator (except
  // when the system reports one, at the root of a drive).
  virtual std::string folder() const = 0;
  // Ends the process with `exitCode` at once: no window is unloaded, no later event runs.
  virtual void terminate(int exitCode) = 0;
  // Whether files can be created in `folder` (UTF-8).
  [[nodiscard]] virtual bool folderWritable(const std::string& folder) const = 0;
  // Whether no other user can add, change or delete files in `folder` (only this user, the
  // administrators and the system can).
  [[nodiscard]] virtual bool folderPrivate(const std::string& folder) const = 0;
  // `folder` as the system names it, whatever way it was reached (a short name, a substituted
  // drive, a junction), so that one folder always gets one name; itself when that fails.
  virtual std::string canonicalFolder(const std::string& folder) const = 0;
  // The user's own folder for this program's data (%LOCALAPPDATA%\Promptella), created when
  // missing; nothing when there is none.
  virtual std::optional<std::string> localDataFolder() const = 0;
  // Claims `name` for this process until it ends (a named mutex on Windows, seen by every
  // session): false when another running process holds it, or holds it out of our reach.
  [[nodiscard]] virtual bool claim(const std::string& name) = 0;
  // Whether a running process, this one included, holds `name`.
  [[nodiscard]] virtual bool claimed(const std::string& name) const = 0;
  // The program's command line after its own name, as UTF-8.
  virtual std::string startArguments() const = 0;
  // The folder that `path` (UTF-8, relative to the current folder or full) names, full and
  // without a trailing separator except at a drive's root: itself when it is a folder, a file's
  // own folder; nothing when it is missing, cannot be read, or does not answer within seconds.
  // The answer comes later, the window answering meanwhile.
  virtual Task<std::optional<std::string>> folderToStartOn(std::string path) const = 0;
};

}  // namespace promptella
