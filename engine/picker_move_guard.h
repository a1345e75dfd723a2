// Tells the drive and folder lists' change handlers that the program itself moves a list, so
// that the change runs no batch of its own: the console has already run the command that moved
// it. A one-shot guard: set for the length of a move by ProgramMove, spent by the first change
// event that sees it.
#pragma once

namespace promptella {

class PickerMoveGuard {
 public:
  // Marks the moves made while it lives as the program's own.
  class ProgramMove {
   public:
    explicit ProgramMove(PickerMoveGuard& guard) : guard_(guard) { guard_.set_ = true; }
    ~ProgramMove() { guard_.set_ = false; }
    ProgramMove(const ProgramMove&) = delete;
    ProgramMove& operator=(const ProgramMove&) = delete;

   private:
    PickerMoveGuard& guard_;
  };

  // True, once, for a change that the program made: the handler then only takes note of it.
  [[nodiscard]] bool takeProgramMove() {
    const bool set = set_;
    set_ = false;
    return set;
  }
  // From now on a change is the user's (the window has become active).
  void reset() { set_ = false; }

 private:
  bool set_ = true;  // until the window is first active, no change is the user's
};

}  // namespace promptella
