// Pictures drawn with GDI at run time, so they stay crisp at every DPI.
#include "ui/win32/pictures.h"

#include <algorithm>
#include <array>
#include <vector>

#include "platform/win32/handles.h"

namespace promptella {
namespace {

// Draws with `paint` into a fresh 32-bit bitmap of width x height.
template <typename Paint>
HBITMAP drawBitmap(int width, int height, Paint paint) {
  const ScopedGetDC screen(nullptr);
  HDC dc = CreateCompatibleDC(screen.get());
  HBITMAP bitmap = CreateCompatibleBitmap(screen.get(), width, height);
  {
    const ScopedSelect select(dc, bitmap);
    paint(dc);
  }
  DeleteDC(dc);
  return bitmap;
}

void fill(HDC dc, RECT box, COLORREF colour) {
  UniqueBrush brush(CreateSolidBrush(colour));
  FillRect(dc, &box, brush.get());
}

}  // namespace

HICON createProgramIcon(int size) {
  const auto at = [size](int v32) { return v32 * size / 32; };
  UniqueBitmap colour(drawBitmap(size, size, [&](HDC dc) {
    fill(dc, {0, 0, size, size}, RGB(0, 0, 0));
    fill(dc, {at(1), at(1), size - at(1), size - at(1)}, RGB(255, 255, 0));
    // The drive slot: a dark bar with a light opening.
    fill(dc, {at(5), at(4), size - at(5), at(11)}, RGB(64, 64, 64));
    fill(dc, {at(8), at(7), size - at(8), at(8) + 1}, RGB(200, 200, 200));
    fill(dc, {size - at(9), at(5), size - at(7), at(6) + 1}, RGB(0, 200, 0));
    LOGFONTW font{};
    font.lfHeight = -at(13);
    font.lfWeight = FW_BOLD;
    lstrcpyW(font.lfFaceName, L"Courier New");
    UniqueFont prompt(CreateFontIndirectW(&font));
    const ScopedSelect select(dc, prompt.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    RECT text{0, at(13), size, size - at(2)};
    DrawTextW(dc, L"C:>", 3, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }));
  // An all-zero mask: every pixel of the colour bitmap is opaque.
  const std::vector<BYTE> opaque(static_cast<std::size_t>((size + 15) / 16 * 2 * size), 0);
  UniqueBitmap mask(CreateBitmap(size, size, 1, 1, opaque.data()));
  ICONINFO info{TRUE, 0, 0, mask.get(), colour.get()};
  return CreateIconIndirect(&info);
}

HBITMAP createStoreTriangle(int dpi) {
  // At 96 DPI: a 25 x 21 picture with a black frame, a white highlight along the top and left
  // inside it, a light grey face, and a black triangle 11 pixels high and 12 long, starting 6
  // pixels from the left edge.
  const auto at = [dpi](int pixels) { return MulDiv(pixels, dpi, 96); };
  const int width = at(25), height = at(21), edge = std::max(1, at(1));
  return drawBitmap(width, height, [&](HDC dc) {
    fill(dc, {0, 0, width, height}, RGB(0, 0, 0));
    fill(dc, {edge, edge, width - edge, height - edge}, RGB(255, 255, 255));
    fill(dc, {2 * edge, 2 * edge, width - edge, height - edge}, RGB(192, 192, 192));
    const int left = at(6), length = at(12), tall = at(11);
    const int top = (height - tall) / 2;
    // The pen draws every vertex, so the last pixel of each side is one before the full size.
    POINT points[] = {
        {left, top}, {left + length - 1, top + (tall - 1) / 2}, {left, top + tall - 1}};
    UniqueBrush black(CreateSolidBrush(RGB(0, 0, 0)));
    const ScopedSelect brush(dc, black.get());
    const ScopedSelect pen(dc, GetStockObject(BLACK_PEN));
    Polygon(dc, points, 3);
  });
}

HCURSOR createHandCursor() {
  // '#': black, '.': white, ' ': transparent, as is all below and right of the hand.
  static constexpr std::array<const char*, 22> kHand = {
      "     ##          ", "    #..#         ", "    #..#         ", "    #..#         ",
      "    #..#         ", "    #..###       ", "    #..#..###    ", "    #..#..#..##  ",
      "    #..#..#..#.# ", "### #..#..#..#..#", "#..##........#..#", "#...#...........#",
      " #..#...........#", "  #.............#", "  #.............#", "   #............#",
      "   #...........# ", "    #..........# ", "    #..........# ", "     #........#  ",
      "     #........#  ", "     ##########  "};
  std::array<BYTE, 32 * 4> andMask{}, xorMask{};
  andMask.fill(0xFF);  // the screen shows through
  for (std::size_t y = 0; y < kHand.size(); ++y) {
    for (std::size_t x = 0; kHand[y][x] != '\0'; ++x) {
      const std::size_t byte = y * 4 + x / 8;
      const BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
      if (kHand[y][x] != ' ') andMask[byte] &= static_cast<BYTE>(~bit);
      if (kHand[y][x] == '.') xorMask[byte] |= bit;  // white
    }
  }
  return CreateCursor(GetModuleHandleW(nullptr), 5, 0, 32, 32, andMask.data(), xorMask.data());
}

}  // namespace promptella
