#pragma once

namespace zorvik::ui {

// The window's layout is kept in twips (1440 to the inch) so it stays the same shape on every
// screen; one twip table, converted with the screen's logical DPI (15 twips = 1 pixel at 96 DPI).
struct TwipsRect {
  int left, top, width, height;
};

inline int TwipsToPixels(int twips, double logicalDpi) {
  const double pixels = twips * logicalDpi / 1440.0;
  return static_cast<int>(pixels + (pixels >= 0 ? 0.5 : -0.5));
}

inline constexpr int kClientWidthTwips = 4485;
inline constexpr int kClientHeightTwips = 3525;

}  // namespace zorvik::ui
