// The Worker of the program: a thread for the jobs while there are any; what comes back goes
// through the window's job window.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <mutex>

#include "platform/win32/handles.h"
#include "platform/worker.h"

namespace promptella {

class Win32Worker : public Worker {
 public:
  // Made on the window's thread.
  Win32Worker();

  void run(std::function<void()> job) override;
  void toWindow(std::function<void()> job) override;
  Later<bool> idle(std::chrono::milliseconds limit) override;
  [[nodiscard]] bool waitIdle(std::chrono::milliseconds limit) override;

 private:
  // Runs the jobs until none is left, then ends: an idle thread would cost its memory for the
  // whole run, and settings change seldom.
  void work();

  std::mutex mutex_;
  std::deque<std::function<void()>> jobs_;
  bool working_ = false;  // a thread runs the jobs
  UniqueHandle idle_;     // set while no job waits or runs
};

}  // namespace promptella
