// Threads, and the window that brings their answers back.
#include "platform/win32/off_thread.h"

#include <atomic>
#include <deque>
#include <map>
#include <set>
#include <vector>

#include "platform/win32/error_boundary.h"

namespace promptella {
namespace {

using Job = std::function<void()>;

constexpr wchar_t kJobWindowClass[] = L"PromptellaJobs";
constexpr UINT kPostedJob = WM_APP + 0x150;  // lParam: a Job* to run and delete
// A wait that lasts this long shows the busy pointer.
constexpr DWORD kBusyAfter = 150;
constexpr UINT_PTR kBusyTimer = 1;

std::atomic<HWND> jobWindow{nullptr};
std::atomic<DWORD> jobThread{0};  // the window's thread

// The jobs posted and not run yet: a message of that number from elsewhere (another program's) is
// never taken for one.
std::mutex postedMutex;
std::set<const Job*> posted;

// What only the window's thread touches.
struct WindowThread {
  int modalDepth = 0;
  std::deque<Job> deferred;  // came while a message box or dialog was open
  struct Wait {
    std::function<void(bool)> done;
    bool escapable;
  };
  std::map<UINT_PTR, Wait> waits;  // by the number of the timer of each
  UINT_PTR nextWait = kBusyTimer + 1;
  bool busy = false;
};
WindowThread& windowThread() {
  static WindowThread state;
  return state;
}

// The pointer shows what the window under it asks for now.
void refreshPointer() {
  POINT at{};
  GetCursorPos(&at);
  const HWND under = WindowFromPoint(at);
  if (under && GetWindowThreadProcessId(under, nullptr) == GetCurrentThreadId()) {
    SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  }
}

// Runs what waited for a box to close, then `job`; while a box is open, `job` waits too.
void runOrDefer(Job job) {
  WindowThread& thread = windowThread();
  thread.deferred.push_back(std::move(job));
  if (thread.modalDepth > 0) return;
  while (!thread.deferred.empty() && thread.modalDepth == 0) {
    const Job next = std::move(thread.deferred.front());
    thread.deferred.pop_front();
    guarded(next);
  }
}

void settle(UINT_PTR id, bool ended) {
  WindowThread& thread = windowThread();
  const auto found = thread.waits.find(id);
  if (found == thread.waits.end()) return;  // settled already: a late answer
  KillTimer(jobWindow.load(), id);
  const std::function<void(bool)> done = std::move(found->second.done);
  thread.waits.erase(found);
  if (thread.waits.empty() && thread.busy) {
    thread.busy = false;
    refreshPointer();
  }
  done(ended);
}

LRESULT CALLBACK jobWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kPostedJob) {
    {
      const std::lock_guard lock(postedMutex);
      if (posted.erase(reinterpret_cast<const Job*>(lParam)) == 0) return 0;  // not ours
    }
    const std::unique_ptr<Job> job(reinterpret_cast<Job*>(lParam));
    runOrDefer(std::move(*job));
    return 0;
  }
  if (message == WM_TIMER) {
    KillTimer(window, wParam);
    if (wParam == kBusyTimer) {
      WindowThread& thread = windowThread();
      thread.busy = !thread.waits.empty();
      if (thread.busy) refreshPointer();
      return 0;
    }
    runOrDefer([id = wParam] { settle(id, false); });
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

UniqueHandle startThread(Job work, SIZE_T stack) {
  auto owned = std::make_unique<Job>(std::move(work));
  const auto run = [](void* parameter) noexcept -> DWORD {
    const std::unique_ptr<Job> job(static_cast<Job*>(parameter));
    guarded(*job);
    return 0;
  };
  UniqueHandle thread(
      CreateThread(nullptr, stack, run, owned.get(), STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
  if (thread) owned.release();  // the thread owns it now
  return thread;
}

void makeJobWindow() {
  if (jobWindow.load()) return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = jobWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kJobWindowClass;
  RegisterClassExW(&windowClass);
  jobThread = GetCurrentThreadId();
  jobWindow = CreateWindowExW(0, kJobWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              windowClass.hInstance, nullptr);
}

bool postToWindow(Job job) {
  const HWND window = jobWindow.load();
  if (!window) return false;
  auto owned = std::make_unique<Job>(std::move(job));
  const std::lock_guard lock(postedMutex);
  if (!PostMessageW(window, kPostedJob, 0, reinterpret_cast<LPARAM>(owned.get()))) return false;
  posted.insert(owned.release());  // the job window deletes it
  return true;
}

ModalScope::ModalScope() : counted_(jobThread.load() == GetCurrentThreadId()) {
  if (counted_) ++windowThread().modalDepth;
}

ModalScope::~ModalScope() {
  if (!counted_) return;  // a box of another thread holds nothing of the window's
  WindowThread& thread = windowThread();
  // What waited runs from the message loop, once the handler that showed the box has returned.
  if (--thread.modalDepth == 0 && !thread.deferred.empty()) static_cast<void>(postToWindow([] {}));
}

void whenDone(Job work, DWORD milliseconds, bool escapable, std::function<void(bool)> done) {
  makeJobWindow();
  WindowThread& thread = windowThread();
  const UINT_PTR id = thread.nextWait++;
  if (thread.waits.empty()) SetTimer(jobWindow.load(), kBusyTimer, kBusyAfter, nullptr);
  thread.waits[id] = {std::move(done), escapable};
  // The thread keeps no handle of ours: it ends on its own, answered or given up.
  const UniqueHandle started = startThread([id, work = std::move(work)] {
    try {
      work();
    } catch (...) {
      // as good as no answer: what it was to give stays empty
    }
    static_cast<void>(postToWindow([id] { settle(id, true); }));  // none: the program ends
  });
  if (!started) {
    settle(id, false);
    return;
  }
  if (milliseconds != INFINITE) SetTimer(jobWindow.load(), id, milliseconds, nullptr);
}

bool giveUpWaits() {
  WindowThread& thread = windowThread();
  // Only a wait the pointer shows: an Esc that closes the suggestions gives up no quick answer.
  if (!thread.busy) return false;
  std::vector<UINT_PTR> given;
  for (const auto& [id, wait] : thread.waits) {
    if (wait.escapable) given.push_back(id);
  }
  for (const UINT_PTR id : given) settle(id, false);
  return !given.empty();
}

bool busyWaiting() {
  return windowThread().busy;
}

}  // namespace promptella
