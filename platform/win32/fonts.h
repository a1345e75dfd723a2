// Fonts of the program's windows: a plain sans-serif face at the tables' point sizes.
#pragma once

#include "platform/win32/handles.h"

namespace promptella {

// `hundredthsOfPoint`: 825 for 8.25 pt. Scaled to `dpi`.
UniqueFont makeFont(int hundredthsOfPoint, bool bold, bool underline, int dpi);

}  // namespace promptella
