// The worker thread and the way back to the window's thread.
#include "platform/win32/worker.h"

#include "platform/win32/error_boundary.h"
#include "platform/win32/off_thread.h"

namespace promptella {
namespace {

constexpr wchar_t kClassName[] = L"PromptellaWorker";

}  // namespace

Win32Worker::Win32Worker() : idle_(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);  // already registered by an earlier worker is as good
  window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            windowClass.hInstance, nullptr);
}

Win32Worker::~Win32Worker() {
  // A job that waits on the outside world is not waited for: the program is ending.
  if (window_) DestroyWindow(window_);
}

void Win32Worker::run(std::function<void()> job) {
  {
    const std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
    ResetEvent(idle_);
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
  if (window_) static_cast<void>(postToWindow(window_, std::move(job)));  // gone: the program ends
}

bool Win32Worker::finish(std::chrono::milliseconds limit) {
  return waitDispatching(idle_, static_cast<DWORD>(limit.count()));
}

void Win32Worker::work() {
  for (;;) {
    std::function<void()> job;
    {
      const std::lock_guard lock(mutex_);
      if (jobs_.empty()) {
        working_ = false;
        SetEvent(idle_);
        return;
      }
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    guarded(
        [&] {
          job();
          return 0;
        },
        0);
  }
}

LRESULT CALLBACK Win32Worker::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return runPostedJob(message, lParam) ? 0 : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace promptella
