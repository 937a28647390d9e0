// Argument checks and unit tables shared by every Surface implementation, so
// that a recording in a test fails exactly where a window or a printer would.
#pragma once

#include <cstdint>

namespace fw {
class Bitmap;
}

namespace fw::internal {

inline constexpr int kMaxScaleMode = 6;

// The mode itself; error 5 outside 0..6.
int checkedScaleMode(int mode);
// The colour itself; error 6 above 0xFFFFFF.
uint32_t checkedRgb(uint32_t rgbValue);
// Line width in scale units, 0 = thinnest; error 5 when negative.
double checkedLineWidth(double width);
// Type size in points; error 5 unless above 0 and at most 2048.
float checkedFontSize(float points);
// Line kind 0 line, 1 box outline, 2 filled box; error 5 otherwise.
int checkedLineKind(int kind);
// A bitmap to draw: error 1000 when none was loaded, 5 for an empty source
// rectangle.
void checkBitmapSource(const Bitmap& bitmap, int srcWidth, int srcHeight);
// Scale units per inch of the physical modes 2..6; 0 for modes 0 and 1,
// which are measured in characters and device pixels.
double unitsPerInch(int scaleMode);

// The colour statement's effect on the attributes it may change.
struct ColourState {
  uint32_t fore = 0, back = 0xFFFFFF;
  int mode = 0;
  bool inverted = false;  // modes 1 and 5: opaque text, colours exchanged
};
// Applies colour(fore, back, border, mode, which) to `state`. Numbers above
// 15 (or negative) and modes other than 0, 1, 4, 5 are error 5; nothing
// changes when an argument is refused.
void applyColourStatement(ColourState& state, int fore, int back, int border, int mode,
                          int which);

}  // namespace fw::internal
