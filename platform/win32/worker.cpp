// The worker thread and the way back to the window's thread.
#include "platform/win32/worker.h"

#include <atomic>
#include <memory>

#include "platform/win32/error_boundary.h"
#include "platform/win32/off_thread.h"

namespace promptella {

Win32Worker::Win32Worker() : idle_(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {
  makeJobWindow();
}

void Win32Worker::run(std::function<void()> job) {
  {
    const std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
    ResetEvent(idle_.get());
    if (working_) return;
    // A small stack: settings jobs need little.
    if (startThread([this] { work(); }, 256 * 1024)) {
      working_ = true;
      return;
    }
  }
  work();  // no thread could be had: the jobs run here, as without a worker
}

void Win32Worker::toWindow(std::function<void()> job) {
  static_cast<void>(postToWindow(std::move(job)));  // no window left: the program ends
}

Later<bool> Win32Worker::idle(std::chrono::milliseconds limit) {
  Later<bool> answer;
  auto reached = std::make_shared<std::atomic<bool>>(false);
  whenDone(
      [idle = idle_.get(), reached, wait = static_cast<DWORD>(limit.count())] {
        *reached = WaitForSingleObject(idle, wait) == WAIT_OBJECT_0;
      },
      INFINITE, false, [answer, reached](bool ended) { answer.give(ended && *reached); });
  return answer;
}

bool Win32Worker::waitIdle(std::chrono::milliseconds limit) {
  return WaitForSingleObject(idle_.get(), static_cast<DWORD>(limit.count())) == WAIT_OBJECT_0;
}

void Win32Worker::work() {
  for (;;) {
    std::function<void()> job;
    {
      const std::lock_guard lock(mutex_);
      if (jobs_.empty()) {
        working_ = false;
        SetEvent(idle_.get());
        return;
      }
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    guarded(job);
  }
}

}  // namespace promptella
