// Work that may wait on the outside world (a settings file another program holds, a lock another
// copy keeps), taken off the window's thread: jobs run one after another, in the order given, on
// a thread of their own, and what they have to tell comes back to the window's thread.
#pragma once

#include <chrono>
#include <functional>

namespace promptella {

class Worker {
 public:
  virtual ~Worker() = default;
  // Runs `job` later, after every job given before it, off the window's thread.
  virtual void run(std::function<void()> job) = 0;
  // Runs `job` later on the window's thread (from a job, for what the user must see).
  virtual void toWindow(std::function<void()> job) = 0;
  // Waits until every job given so far has run, at most `limit`, the windows painting meanwhile
  // (the user's input waits); false when they have not.
  [[nodiscard]] virtual bool finish(std::chrono::milliseconds limit) = 0;
};

// Runs every job at once, on the caller's thread: for the tests and for tools without windows.
class InlineWorker : public Worker {
 public:
  void run(std::function<void()> job) override { job(); }
  void toWindow(std::function<void()> job) override { job(); }
  bool finish(std::chrono::milliseconds) override { return true; }
};

}  // namespace promptella
