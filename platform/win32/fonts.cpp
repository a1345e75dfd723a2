// Fonts: Microsoft Sans Serif, the TrueType successor of MS Sans Serif, crisp at every DPI.
#include "platform/win32/fonts.h"

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

}  // namespace promptella
