// Fonts of the program's windows: a plain sans-serif face at the layout tables' point sizes.
#pragma once

#include <map>

#include "mainwindow/layout.h"
#include "platform/win32/handles.h"

namespace promptella {

// The fonts of the layout tables, at one DPI, each made when first asked for.
class FontSet {
 public:
  // From now on the fonts are for `dpi`; those made before go.
  void make(int dpi);
  HFONT operator[](layout::Font font) const;

 private:
  int dpi_ = 96;
  mutable std::map<layout::Font, UniqueFont> fonts_;
};

}  // namespace promptella
