// How an operation that can fail says so. One convention throughout the program:
// - an operation that can fail for a reason the user should read returns an Outcome (or a type
//   that extends it with what it made);
// - a yes/no question returns bool, a value that may be missing std::optional;
// - every such result is [[nodiscard]]; a caller that ignores one says why in a comment beside a
//   static_cast<void>.
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

}  // namespace promptella
