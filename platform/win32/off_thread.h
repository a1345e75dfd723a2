// Work that may wait on the outside world (a drive that sleeps, a share whose server is gone, a
// console read, a settings file another program holds) runs on a thread of its own, and its answer
// comes back to the window's thread as a job: the window's thread never waits for it, and runs
// no message loop of its own. Every job comes back through one message-only window, made by the
// window's thread; while a message box or dialog of the program is open, the jobs wait for it to
// close, so that nothing runs inside it.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/async.h"
#include "platform/controls.h"
#include "platform/win32/handles.h"

namespace promptella {

// How long a drive or folder is waited for before it counts as not answering; Esc gives up
// sooner. A sleeping disk or a disc spinning up takes seconds.
inline constexpr DWORD kDriveAnswerWait = kDriveAnswerSeconds * 1000;

// Runs `work` on a thread of its own, with `stack` bytes of stack reserved (the program's threads
// need next to none); the thread's handle, empty when none could start. An exception that `work`
// lets out is reported and ends only the work.
UniqueHandle startThread(std::function<void()> work, SIZE_T stack = 64 * 1024);

// Makes the window that brings jobs back, on the calling thread, which becomes the window's
// thread; once is enough, later calls do nothing.
void makeJobWindow();
// Has `job` run on the window's thread, from any thread: after the message being handled, and
// not while a message box or dialog is open. False when there is no job window.
bool postToWindow(std::function<void()> job);

// Held while a message box or dialog of the program is open.
class ModalScope {
 public:
  ModalScope();
  ~ModalScope();
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  bool counted_;
};

// Runs `work` on a thread of its own; `done` then runs on the window's thread: with true when the
// work ended within `milliseconds`, with false when the time ran out first, the thread could not
// start, or, with `escapable`, the user gave up with Esc.
void whenDone(std::function<void()> work, DWORD milliseconds, bool escapable,
              std::function<void(bool ended)> done);

// The result of `work`, run on a thread of its own, as whenDone gives it: nothing when it did not
// end in time. A thread that is given up keeps its own share of the result.
template <typename Result>
Later<std::optional<Result>> offThread(std::function<Result()> work, DWORD milliseconds,
                                       bool escapable = false) {
  struct Shared {
    std::mutex mutex;
    std::optional<Result> result;
  };
  auto shared = std::make_shared<Shared>();
  Later<std::optional<Result>> answer;
  whenDone(
      [shared, work = std::move(work)] {
        Result result = work();  // what it throws, whenDone takes as no answer
        const std::lock_guard lock(shared->mutex);
        shared->result = std::move(result);
      },
      milliseconds, escapable,
      [shared, answer](bool ended) {
        std::optional<Result> result;
        if (ended) {
          const std::lock_guard lock(shared->mutex);
          result = std::move(shared->result);
        }
        answer.give(std::move(result));
      });
  return answer;
}

// The user pressed Esc: every wait that may be given up, and has lasted long enough for the
// pointer to show it, is given up. False when none was.
bool giveUpWaits();
// Whether a wait has gone on long enough for the pointer to say that the program is busy.
[[nodiscard]] bool busyWaiting();

}  // namespace promptella
