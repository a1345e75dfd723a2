// How an operation that can fail says so. Three shapes throughout the program:
// - a failure the user is told: an Outcome, made with Outcome::failed (OutcomeOf<T> when the
//   operation also gives what it made), its text composed by the subsystem whose action it tells;
// - a result the caller decides on: a small enum (Reach, Replaced), or bool for a yes/no;
// - a value that may be missing: std::optional.
// Every such result is [[nodiscard]]; a caller that ignores one says why in a comment beside a
// static_cast<void>.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace promptella {

struct [[nodiscard]] Outcome {
  // Nothing on success; else the reason, in words for the user (it names the file or folder and
  // the system's reason).
  std::optional<std::string> failure;

  [[nodiscard]] bool succeeded() const { return !failure; }
  static Outcome success() { return {}; }
  static Outcome failed(std::string reason) { return {std::move(reason)}; }
};

// An Outcome with what the operation made (empty when it failed).
template <typename T>
struct [[nodiscard]] OutcomeOf : Outcome {
  T value{};
};

}  // namespace promptella
