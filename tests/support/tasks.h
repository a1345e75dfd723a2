// Runs a Task from a test and hands back its result: at once where every answer comes at once
// (the fakes), or after `pump` has brought the answers in (the window's messages, under Wine).
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <stdexcept>

#include "platform/async.h"

namespace promptella::testing {

namespace detail {
template <typename T>
Task<> storeInto(Task<T> task, std::optional<T>& out) {
  out = co_await std::move(task);
}
}  // namespace detail

// The task's result; `pump` runs while it waits, for at most `deadline`.
template <typename T>
T finish(Task<T> task, const std::function<void()>& pump = {},
         std::chrono::milliseconds deadline = std::chrono::seconds(60)) {
  std::optional<T> result;
  bool ended = false;
  std::exception_ptr error;
  Task<> run = detail::storeInto(std::move(task), result);
  run.start([&](std::exception_ptr thrown) {
    ended = true;
    error = thrown;
  });
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (!ended && pump && std::chrono::steady_clock::now() < end) pump();
  if (error) std::rethrow_exception(error);
  if (!ended) throw std::runtime_error("the task is still waiting");
  return *result;
}

}  // namespace promptella::testing
