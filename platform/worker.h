// Work that may wait on the outside world (a settings file another program holds, a lock another
// copy keeps), taken off the window's thread: jobs run one after another, in the order given, on
// a thread of their own, and what they have to tell comes back to the window's thread.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <thread>

#include "platform/async.h"

namespace promptella {

class Worker {
 public:
  virtual ~Worker() = default;
  // Runs `job` later, after every job given before it, off the window's thread.
  virtual void run(std::function<void()> job) = 0;
  // Runs `job` once `delay` has passed, after every job given before it (the worker's thread
  // sleeps meanwhile).
  virtual void runAfter(std::chrono::milliseconds delay, std::function<void()> job) {
    run([delay, job = std::move(job)] {
      std::this_thread::sleep_for(delay);
      job();
    });
  }
  // Runs `job` on the window's thread, from any thread: after the message being handled, and not
  // while a message box or dialog is open.
  virtual void toWindow(std::function<void()> job) = 0;
  // True once every job given so far has run; false when `limit` passed first.
  virtual Later<bool> idle(std::chrono::milliseconds limit) = 0;
  // The same, blocking the caller: only for the end of the session, when the system ends the
  // process as soon as the handler returns, so that nothing can wait for a later answer.
  [[nodiscard]] virtual bool waitIdle(std::chrono::milliseconds limit) = 0;
};

// Runs every job at once on the caller's thread, and what comes back to the window once the job
// that sent it has returned: for the tests and for tools without windows.
class InlineWorker : public Worker {
 public:
  void run(std::function<void()> job) override { job(); }
  void toWindow(std::function<void()> job) override {
    back_.push_back(std::move(job));
    if (running_) return;
    running_ = true;
    while (!back_.empty()) {
      const std::function<void()> next = std::move(back_.front());
      back_.pop_front();
      next();
    }
    running_ = false;
  }
  // Nothing waits here: what would be tried again later is tried by the next call instead.
  void runAfter(std::chrono::milliseconds, std::function<void()>) override {}
  Later<bool> idle(std::chrono::milliseconds) override { return Later<bool>(true); }
  bool waitIdle(std::chrono::milliseconds) override { return true; }

 private:
  std::deque<std::function<void()>> back_;
  bool running_ = false;
};

}  // namespace promptella
