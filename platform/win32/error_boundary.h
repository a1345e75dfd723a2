// The one place where an error that no handler expected ends: at the edge of a window procedure,
// of a worker thread or of wWinMain. The user is told in a message box and the program runs on;
// an exception must never unwind into the system's code, which would end the process.
#pragma once

#include <windows.h>

#include <exception>
#include <string_view>
#include <utility>

namespace promptella {

// The window that owns the message (the main window once it exists).
void setErrorOwner(HWND owner) noexcept;
// Shows "An unexpected error stopped this action: <what>" in a message box titled "Promptella".
void reportUnexpectedError(std::string_view what) noexcept;

// Runs `action`; an exception it throws is reported and `fallback` returned instead.
template <typename Action, typename Result = decltype(std::declval<Action>()())>
Result guarded(Action&& action, Result fallback) noexcept {
  try {
    return std::forward<Action>(action)();
  } catch (const std::exception& error) {
    reportUnexpectedError(error.what());
  } catch (...) {
    reportUnexpectedError("unknown error");
  }
  return fallback;
}
// The same for an action that gives nothing back.
template <typename Action>
void guarded(Action&& action) noexcept {
  guarded([&] { return std::forward<Action>(action)(), 0; }, 0);
}

}  // namespace promptella
