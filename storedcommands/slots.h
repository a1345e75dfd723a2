// How many stored-command slots there are: numbered 0 to 9 inside the program and in the
// settings keys, shown to the user as 1 to 10.
#pragma once

#include <array>

namespace promptella {

inline constexpr int kSlotCount = 10;

// One control of each slot, by slot number.
template <typename Control>
using SlotControls = std::array<Control*, kSlotCount>;

}  // namespace promptella
