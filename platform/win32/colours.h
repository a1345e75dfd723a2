// The colours a window or control draws in. Some are the program's own (the navy legends, the
// About box's orange); under a high-contrast theme every one gives way to a system colour, as
// Windows asks of every program. The theme is asked at each use, so that a theme switched while
// the program runs is followed at the next paint.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/win32/handles.h"

namespace promptella {

inline bool highContrastOn() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof(contrast);
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

// A system colour (its COLOR_ index), or the program's own with the system colour that stands
// for it under a high-contrast theme.
class ThemeColour {
 public:
  static ThemeColour system(int index) { return {index, std::nullopt}; }
  static ThemeColour own(COLORREF colour, int inHighContrast) { return {inHighContrast, colour}; }

  // The system colour drawn with, or none while the program's own is.
  std::optional<int> systemIndex(bool highContrast) const {
    if (own_ && !highContrast) return std::nullopt;
    return system_;
  }
  COLORREF value(bool highContrast) const {
    const auto index = systemIndex(highContrast);
    return index ? GetSysColor(*index) : *own_;
  }

 private:
  ThemeColour(int system, std::optional<COLORREF> own) : system_(system), own_(own) {}
  int system_;
  std::optional<COLORREF> own_;
};

// A text colour on a background, as a WM_CTLCOLOR* answer gives them.
class Colours {
 public:
  Colours(ThemeColour text, ThemeColour background) : text_(text), background_(background) {}

  COLORREF text(bool highContrast) const { return text_.value(highContrast); }
  // Sets the device context's colours, and gives the background's brush: the system's own for a
  // system colour, else one made for the colour and kept while it stays the same.
  HBRUSH apply(HDC dc, bool highContrast) {
    SetTextColor(dc, text(highContrast));
    const COLORREF background = background_.value(highContrast);
    SetBkColor(dc, background);
    if (const auto index = background_.systemIndex(highContrast)) return GetSysColorBrush(*index);
    if (!brush_ || brushColour_ != background) {
      brush_.reset(CreateSolidBrush(background));
      brushColour_ = background;
    }
    return brush_.get();
  }

 private:
  ThemeColour text_, background_;
  UniqueBrush brush_;
  COLORREF brushColour_ = 0;
};

}  // namespace promptella
