// The Worker of the program: a thread for the jobs while there are any, a message-only window on
// the window's thread for what comes back.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <mutex>

#include "platform/worker.h"

namespace promptella {

class Win32Worker : public Worker {
 public:
  // Made on the window's thread, whose messages bring the jobs for it.
  Win32Worker();
  ~Win32Worker() override;
  Win32Worker(const Win32Worker&) = delete;
  Win32Worker& operator=(const Win32Worker&) = delete;

  void run(std::function<void()> job) override;
  void toWindow(std::function<void()> job) override;
  [[nodiscard]] bool finish(std::chrono::milliseconds limit) override;

 private:
  // Runs the jobs until none is left, then ends: an idle thread would cost its memory for the
  // whole run, and settings change seldom.
  void work();
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  std::mutex mutex_;
  std::deque<std::function<void()>> jobs_;
  bool working_ = false;   // a thread runs the jobs
  HANDLE idle_ = nullptr;  // set while no job waits or runs
};

}  // namespace promptella
