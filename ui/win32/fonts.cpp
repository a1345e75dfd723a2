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
  struct Size {
    int hundredthsOfPoint;
    bool bold, underline;
  };
  // In the order of layout::Font.
  static constexpr Size kSizes[layout::kFontCount] = {{825, false, false}, {825, true, false},
                                                      {975, false, false}, {975, true, false},
                                                      {975, false, true},  {975, true, true}};
  for (std::size_t i = 0; i < fonts_.size(); ++i) {
    fonts_[i] = makeFont(kSizes[i].hundredthsOfPoint, kSizes[i].bold, kSizes[i].underline, dpi);
  }
}

}  // namespace promptella
