// Starting the command interpreter on a batch file, without waiting for it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/async.h"
#include "platform/outcome.h"

namespace promptella {

// A started process; the program never waits for it, only asks whether it still runs.
class StartedProcess {
 public:
  virtual ~StartedProcess() = default;
  [[nodiscard]] virtual bool running() const = 0;
  // Ends when the process has ended; the window answers meanwhile.
  virtual Task<> ended() const = 0;
};

// The process when it started; else the system's reason.
using StartResult = OutcomeOf<std::unique_ptr<StartedProcess>>;

class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;
  // Has the command interpreter run `batchFile` in the program's console (a minimised console of
  // its own, shown with `showWindow`, when the program has none), in `workingFolder` when the
  // system accepts it as a current folder (else in the program's own). Returns once it started.
  virtual StartResult startBatch(std::string_view batchFile, int showWindow,
                                 std::string_view workingFolder) = 0;
  // The folder's short (8.3) path; nothing when it has none other than its own.
  [[nodiscard]] virtual std::optional<std::string> shortPath(std::string_view folder) const = 0;
  // The code page in which the interpreter reads batch files: the console's, else the OEM one.
  virtual unsigned interpreterCodePage() const = 0;
};

}  // namespace promptella
