// Services of the running program: its folder, ending it.
#pragma once

#include <string>

namespace promptella {

class Application {
 public:
  virtual ~Application() = default;
  // The folder that holds the running program, as UTF-8, without a trailing separator (except
  // when the system reports one, at the root of a drive).
  virtual std::string folder() const = 0;
  // Ends the process with `exitCode` at once: no window is unloaded, no later event runs.
  virtual void terminate(int exitCode) = 0;
};

}  // namespace promptella
