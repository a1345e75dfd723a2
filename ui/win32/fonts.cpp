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
  struct Kind {
    layout::Font font;
    int hundredthsOfPoint;
    bool bold, underline;
  };
  using enum layout::Font;
  static constexpr Kind kKinds[] = {
      {Window, 825, false, false},      {Bold825, 825, true, false},
      {Regular975, 975, false, false},  {Bold975, 975, true, false},
      {Underline975, 975, false, true}, {BoldUnderline975, 975, true, true}};
  UniqueFont& made = fonts_[font];
  for (const Kind& kind : kKinds) {
    if (!made && kind.font == font)
      made = makeFont(kind.hundredthsOfPoint, kind.bold, kind.underline, dpi_);
  }
  return made.get();
}

}  // namespace promptella
