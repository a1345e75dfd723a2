// Work that may wait on the outside world (a drive that sleeps, a share whose server is gone, a
// console read) runs on a thread of its own while the window's thread keeps its windows painting
// and answering.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>

namespace promptella {

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

// Runs `work` on a thread of its own (which needs next to no stack) and waits for it as
// waitDispatching does, at most `milliseconds`; nothing when it did not end in time, or the thread
// could not start; with `escapable`, also when the user pressed Esc. A thread that is given up
// keeps its own share of the result.
template <typename Result>
[[nodiscard]] std::optional<Result> offThread(std::function<Result()> work, DWORD milliseconds,
                                              bool escapable = false) {
  struct Shared {
    std::function<Result()> work;
    std::optional<Result> result;
  };
  auto shared = std::make_shared<Shared>(Shared{std::move(work), std::nullopt});
  auto start = std::make_unique<std::shared_ptr<Shared>>(shared);
  const auto run = [](void* parameter) noexcept -> DWORD {
    const std::unique_ptr<std::shared_ptr<Shared>> owned(
        static_cast<std::shared_ptr<Shared>*>(parameter));
    try {
      (*owned)->result = (*owned)->work();
    } catch (...) {
      // as good as no answer
    }
    return 0;
  };
  HANDLE thread = CreateThread(nullptr, 64 * 1024, run, start.get(),
                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (!thread) return std::nullopt;
  start.release();  // the thread owns it now
  const bool ended = waitDispatching(thread, milliseconds, nullptr, escapable);
  CloseHandle(thread);
  if (!ended) return std::nullopt;
  return shared->result;
}

}  // namespace promptella
