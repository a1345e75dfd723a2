// Waiting on another thread while the windows keep painting and answering.
#include "platform/win32/off_thread.h"

#include <algorithm>
#include <mutex>
#include <set>
#include <vector>

#include "platform/win32/error_boundary.h"

namespace promptella {
namespace {

constexpr UINT kPostedJob = WM_APP + 0x150;  // lParam: a std::function<void()>* to run and delete
using Job = std::function<void()>;

// The jobs posted and not yet run: a message of that number from elsewhere (another program's) is
// never taken for one.
std::mutex postedMutex;
std::set<const Job*> posted;

// Keys typed while the program waits: handed back to the queue, in order, once the wait ends, so
// that what the user types ahead is taken as typed, never lost.
class TypedAhead {
 public:
  ~TypedAhead() {
    for (const MSG& key : keys_) PostMessageW(key.hwnd, key.message, key.wParam, key.lParam);
  }
  // Takes `message` when it is a key; false for anything else.
  bool take(const MSG& message) {
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
    keys_.push_back(message);
    return true;
  }

 private:
  std::vector<MSG> keys_;
};

}  // namespace

UniqueHandle startThread(Job work, SIZE_T stack) {
  auto owned = std::make_unique<Job>(std::move(work));
  const auto run = [](void* parameter) noexcept -> DWORD {
    const std::unique_ptr<Job> job(static_cast<Job*>(parameter));
    return guarded(
        [&] {
          (*job)();
          return DWORD{0};
        },
        DWORD{1});
  };
  UniqueHandle thread(
      CreateThread(nullptr, stack, run, owned.get(), STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
  if (thread) owned.release();  // the thread owns it now
  return thread;
}

bool postToWindow(HWND window, Job job) {
  auto owned = std::make_unique<Job>(std::move(job));
  const std::lock_guard lock(postedMutex);
  if (!PostMessageW(window, kPostedJob, 0, reinterpret_cast<LPARAM>(owned.get()))) return false;
  posted.insert(owned.release());  // runPostedJob deletes it
  return true;
}

bool runPostedJob(UINT message, LPARAM lParam) {
  if (message != kPostedJob) return false;
  {
    const std::lock_guard lock(postedMutex);
    if (posted.erase(reinterpret_cast<const Job*>(lParam)) == 0) return true;  // not ours
  }
  const std::unique_ptr<Job> job(reinterpret_cast<Job*>(lParam));
  guarded(
      [&] {
        (*job)();
        return 0;
      },
      0);
  return true;
}

bool isHeldInput(const MSG& message) {
  switch (message.message) {
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCMOUSEMOVE:
      return message.wParam != HTCLOSE && message.wParam != HTCAPTION &&
             message.wParam != HTSYSMENU;
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
      return message.wParam != VK_F4;
    case WM_SYSCOMMAND:
      return (message.wParam & 0xFFF0) != SC_CLOSE && (message.wParam & 0xFFF0) != SC_MOVE;
    default:
      return (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) ||
             (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST) ||
             (message.message >= WM_NCMOUSEMOVE && message.message <= WM_NCXBUTTONDBLCLK);
  }
}

bool waitDispatching(HANDLE handle, DWORD milliseconds, std::optional<int>* quit, bool escapable) {
  const ULONGLONG deadline = GetTickCount64() + milliseconds;
  // Most answers come at once: for a moment nothing is handled, so that every message, the
  // user's keys among them, keeps its place in the queue.
  constexpr DWORD kQuietWait = 15;
  if (WaitForSingleObject(handle, std::min(milliseconds, kQuietWait)) == WAIT_OBJECT_0) return true;
  TypedAhead typedAhead;
  for (;;) {
    DWORD left = INFINITE;
    if (milliseconds != INFINITE) {
      const ULONGLONG now = GetTickCount64();
      if (now >= deadline) return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
      left = static_cast<DWORD>(deadline - now);
    }
    const DWORD woken = MsgWaitForMultipleObjects(1, &handle, FALSE, left, QS_ALLINPUT);
    if (woken == WAIT_OBJECT_0) return true;
    if (woken == WAIT_TIMEOUT || woken == WAIT_FAILED) return false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        if (quit) {
          *quit = static_cast<int>(message.wParam);
          return false;
        }
        // The program is ending: the answer is still awaited, without messages, and the quit
        // handed on to the loop that ends on it.
        const DWORD remaining =
            milliseconds == INFINITE
                ? INFINITE
                : static_cast<DWORD>(deadline > GetTickCount64() ? deadline - GetTickCount64() : 0);
        const bool ended = WaitForSingleObject(handle, remaining) == WAIT_OBJECT_0;
        PostQuitMessage(static_cast<int>(message.wParam));
        return ended;
      }
      // Keys wait for the end of the wait; the rest of held input (clicks on what may move
      // meanwhile) is dropped, as the program does not take it while it waits.
      if (escapable && message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) return false;
      if (isHeldInput(message) && typedAhead.take(message)) continue;
      if (!isHeldInput(message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
  }
}

}  // namespace promptella
