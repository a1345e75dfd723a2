// Fonts: Microsoft Sans Serif, the TrueType successor of MS Sans Serif, crisp at every DPI.
#include "ui/win32/fonts.h"

namespace promptella {

UniqueFont makeFont(int hundredthsOfPoint, bool bold, bool underline, int dpi) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(hundredthsOfPoint, dpi, 7200);
  font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  font.lfUnderline = underline;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = CLEARTYPE_QUALITY;
  lstrcpyW(font.lfFaceName, L"Microsoft Sans Serif");
  return UniqueFont(CreateFontIndirectW(&font));
}

void FontSet::make(int dpi) {
  dpi_ = dpi;
  fonts_.clear();
}

HFONT FontSet::operator[](layout::Font font) const {
  UniqueFont& made = fonts_[font];
  if (made) return made.get();
  switch (font) {
    case layout::Font::Window:
      made = makeFont(825, false, false, dpi_);
      break;
    case layout::Font::Bold825:
      made = makeFont(825, true, false, dpi_);
      break;
    case layout::Font::Regular975:
      made = makeFont(975, false, false, dpi_);
      break;
    case layout::Font::Bold975:
      made = makeFont(975, true, false, dpi_);
      break;
    case layout::Font::Underline975:
      made = makeFont(975, false, true, dpi_);
      break;
    case layout::Font::BoldUnderline975:
      made = makeFont(975, true, true, dpi_);
      break;
  }
  return made.get();
}

}  // namespace promptella
