// Work that may wait on the outside world (a drive that sleeps, a share whose server is gone, a
// console read) runs on a thread of its own while the window's thread keeps its windows painting
// and answering.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>

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
// Has `job` run on the thread of `window`, whose window procedure hands the message to
// runPostedJob; false when the window is gone.
bool postToWindow(HWND window, std::function<void()> job);
// Runs the job that a message from postToWindow carries; false for any other message.
bool runPostedJob(UINT message, LPARAM lParam);

// Whether `message` is the user's keyboard or mouse input, which waits while the program waits;
// the close box, the system menu's Close, Alt+F4 and moving a window by its caption do not.
[[nodiscard]] bool isHeldInput(const MSG& message);

// Waits for `handle` at most `milliseconds` (INFINITE for no limit), handing every message that
// is not held input to its window meanwhile; keys typed meanwhile are queued again after it. False
// when the time ran out. A WM_QUIT ends the wait at once when `quit` is given, and is then in it;
// otherwise the wait goes on without messages and the quit is posted again after it.
// With `escapable`, Esc pressed meanwhile ends the wait as the time running out does.
[[nodiscard]] bool waitDispatching(HANDLE handle, DWORD milliseconds,
                                   std::optional<int>* quit = nullptr, bool escapable = false);

// Runs `work` on a thread of its own and waits for it as waitDispatching does, at most
// `milliseconds`; nothing when it did not end in time, or the thread could not start; with
// `escapable`, also when the user pressed Esc. A thread that is given up keeps its own share of
// the result.
template <typename Result>
[[nodiscard]] std::optional<Result> offThread(std::function<Result()> work, DWORD milliseconds,
                                              bool escapable = false) {
  auto result = std::make_shared<std::optional<Result>>();
  const UniqueHandle thread = startThread([result, work = std::move(work)] {
    try {
      *result = work();
    } catch (...) {
      // as good as no answer
    }
  });
  if (!thread || !waitDispatching(thread.get(), milliseconds, nullptr, escapable)) return {};
  return *result;
}

}  // namespace promptella
