// The Worker of the program: one thread for the jobs, a message-only window on the window's
// thread for what comes back.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

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
  void work();
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> jobs_;
  bool busy_ = false, stopping_ = false;
  HANDLE idle_ = nullptr;  // set while no job waits or runs
  std::thread thread_;
};

}  // namespace promptella
