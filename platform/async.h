// Work that waits on the outside world without holding the window. An operation is a Task, a
// coroutine that co_awaits what it needs: a Later (a value that the window's thread is given
// later, when another thread has answered) or another Task. The window's thread never waits
// inside a handler: a handler starts the work and returns, and the operation goes on where it
// stopped once the answer is given. The user's operations run one at a time, in the order asked,
// from one OperationQueue.
//
// GCC 12 destroys the captures of a lambda written inside a co_await expression too early: make
// the Later or Task into a named variable first, then co_await that.
#pragma once

#include <coroutine>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace promptella {

// A value given later, on the window's thread; an operation co_awaits it. It is given once: a
// second value (a late answer after a time limit) is ignored.
template <typename T>
class Later {
 public:
  Later() : state_(std::make_shared<State>()) {}
  // Already given.
  explicit Later(T value) : Later() { state_->value = std::move(value); }

  // The operation that waits for it goes on at once, inside this call.
  void give(T value) const {
    if (state_->value) return;
    state_->value = std::move(value);
    if (const auto waiting = std::exchange(state_->waiting, {})) waiting.resume();
  }
  [[nodiscard]] bool given() const { return state_->value.has_value(); }

  auto operator co_await() const noexcept { return Awaiter{state_}; }

 private:
  struct State {
    std::optional<T> value;
    std::coroutine_handle<> waiting;
  };
  // Lives in the waiting coroutine's frame: a frame destroyed while it waits (the program or a
  // test ends) is forgotten, so that a late value wakes nothing.
  struct Awaiter {
    std::shared_ptr<State> state;
    std::coroutine_handle<> self{};
    Awaiter(std::shared_ptr<State> s) : state(std::move(s)) {}
    Awaiter(const Awaiter&) = delete;
    Awaiter& operator=(const Awaiter&) = delete;
    ~Awaiter() {
      if (self && state->waiting == self) state->waiting = {};
    }
    bool await_ready() const noexcept { return state->value.has_value(); }
    void await_suspend(std::coroutine_handle<> waiting) noexcept {
      self = waiting;
      state->waiting = waiting;
    }
    T await_resume() const { return *state->value; }
  };
  std::shared_ptr<State> state_;
};

namespace detail {

struct TaskPromiseBase {
  std::coroutine_handle<> continuation;           // the task that awaits this one
  std::function<void(std::exception_ptr)> ended;  // for a task started on its own
  std::exception_ptr error;

  std::suspend_always initial_suspend() noexcept { return {}; }
  struct Final {
    bool await_ready() const noexcept { return false; }
    template <typename Promise>
    std::coroutine_handle<> await_suspend(std::coroutine_handle<Promise> done) noexcept {
      TaskPromiseBase& promise = done.promise();
      if (promise.continuation) return promise.continuation;
      // Taken out first: the callback may destroy this frame.
      if (auto tell = std::move(promise.ended)) tell(promise.error);
      return std::noop_coroutine();
    }
    void await_resume() const noexcept {}
  };
  Final final_suspend() noexcept { return {}; }
  void unhandled_exception() noexcept { error = std::current_exception(); }
};

template <typename T>
struct TaskPromise : TaskPromiseBase {
  std::optional<T> result;
  void return_value(T value) { result = std::move(value); }
  T take() { return std::move(*result); }
};
template <>
struct TaskPromise<void> : TaskPromiseBase {
  void return_void() noexcept {}
  void take() noexcept {}
};

}  // namespace detail

// A coroutine that starts when it is awaited or started, and may wait on the way.
template <typename T = void>
class [[nodiscard]] Task {
 public:
  struct promise_type : detail::TaskPromise<T> {
    Task get_return_object() { return Task(Handle::from_promise(*this)); }
  };
  using Handle = std::coroutine_handle<promise_type>;

  Task(Task&& other) noexcept : handle_(std::exchange(other.handle_, {})) {}
  Task& operator=(Task other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  ~Task() {
    if (handle_) handle_.destroy();
  }

  // Runs the task; the awaiting coroutine goes on with its result when it has ended.
  auto operator co_await() && noexcept {
    struct Awaiter {
      Handle task;
      bool await_ready() const noexcept { return false; }
      std::coroutine_handle<> await_suspend(std::coroutine_handle<> awaiting) noexcept {
        task.promise().continuation = awaiting;
        return task;
      }
      T await_resume() {
        if (task.promise().error) std::rethrow_exception(task.promise().error);
        return task.promise().take();
      }
    };
    return Awaiter{handle_};
  }

  // Runs the task on its own; `ended` is called once it has ended, with what it threw, if
  // anything. The Task must live until then.
  void start(std::function<void(std::exception_ptr)> ended) {
    handle_.promise().ended = std::move(ended);
    handle_.resume();
  }

 private:
  explicit Task(Handle handle) : handle_(handle) {}
  Handle handle_;
};

// The user's operations, one at a time, in the order asked; an operation is made when its turn
// comes, so that it reads the window as it is then. `later` runs a job on the window's thread
// once the handler that asked has returned, and never while a message box or dialog is open:
// no operation starts inside another's handler or inside such a box.
class OperationQueue {
 public:
  using Operation = std::function<Task<>()>;
  explicit OperationQueue(std::function<void(std::function<void()>)> later)
      : later_(std::move(later)) {}

  // Runs `operation` after every operation asked for before it.
  void add(Operation operation) {
    waiting_.push_back(std::move(operation));
    schedule();
  }

 private:
  void schedule() {
    if (scheduled_) return;
    scheduled_ = true;
    later_([this] {
      scheduled_ = false;
      next();
    });
  }
  void next() {
    if (current_ && !ended_) return;
    current_.reset();
    if (const std::exception_ptr error = std::exchange(error_, nullptr)) {
      if (!waiting_.empty()) schedule();
      std::rethrow_exception(error);  // told by the boundary around the window's jobs
    }
    if (waiting_.empty()) return;
    const Operation make = std::move(waiting_.front());
    waiting_.pop_front();
    ended_ = false;
    current_.emplace(make());
    current_->start([this](std::exception_ptr error) {
      ended_ = true;
      error_ = error;
      schedule();
    });
  }

  std::function<void(std::function<void()>)> later_;
  std::deque<Operation> waiting_;
  std::optional<Task<>> current_;
  bool ended_ = false, scheduled_ = false;
  std::exception_ptr error_;
};

}  // namespace promptella
