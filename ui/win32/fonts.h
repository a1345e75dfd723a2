// Fonts of the program's windows: a plain sans-serif face at the layout tables' point sizes.
#pragma once

#include <array>

#include "mainwindow/layout.h"
#include "platform/win32/handles.h"

namespace promptella {

// `hundredthsOfPoint`: 825 for 8.25 pt. Scaled to `dpi`.
UniqueFont makeFont(int hundredthsOfPoint, bool bold, bool underline, int dpi);

// One font of each kind of the layout tables, at one DPI.
class FontSet {
 public:
  void make(int dpi);
  HFONT operator[](layout::Font font) const { return fonts_[static_cast<std::size_t>(font)].get(); }

 private:
  std::array<UniqueFont, layout::kFontCount> fonts_;
};

}  // namespace promptella
