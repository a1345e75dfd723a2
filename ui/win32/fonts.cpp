// Fonts: Microsoft Sans Serif, the TrueType successor of MS Sans Serif, crisp at every DPI.
#include "ui/win32/fonts.h"

namespace promptella {

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
    if (made || kind.font != font) continue;
    LOGFONTW face{};
    face.lfHeight = -MulDiv(kind.hundredthsOfPoint, dpi_, 7200);
    face.lfWeight = kind.bold ? FW_BOLD : FW_NORMAL;
    face.lfUnderline = kind.underline;
    face.lfCharSet = DEFAULT_CHARSET;
    face.lfQuality = CLEARTYPE_QUALITY;
    lstrcpyW(face.lfFaceName, L"Microsoft Sans Serif");
    made.reset(CreateFontIndirectW(&face));
  }
  return made.get();
}

}  // namespace promptella
