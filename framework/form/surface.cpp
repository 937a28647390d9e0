// Rules shared by the window picture, the printer page and the recording.
#include "framework/core/error.h"
#include "framework/form/internal/surface_rules.h"
#include "framework/form/recording_surface.h"

namespace fw::internal {

int checkedScaleMode(int mode) {
  if (mode < 0 || mode > kMaxScaleMode) raise(err::InvalidArgument);
  return mode;
}

uint32_t checkedRgb(uint32_t rgbValue) {
  if (rgbValue > 0xFFFFFFu) raise(err::Overflow);
  return rgbValue;
}

double checkedLineWidth(double width) {
  if (!(width >= 0)) raise(err::InvalidArgument);
  return width;
}

float checkedFontSize(float points) {
  if (!(points > 0) || points > 2048) raise(err::InvalidArgument);
  return points;
}

int checkedLineKind(int kind) {
  if (kind < 0 || kind > 2) raise(err::InvalidArgument);
  return kind;
}

void checkBitmapSource(const Bitmap& bitmap, int srcWidth, int srcHeight) {
  if (!bitmap.impl()) raise(err::NoObject);
  if (srcWidth <= 0 || srcHeight <= 0) raise(err::InvalidArgument);
}

double unitsPerInch(int scaleMode) {
  switch (scaleMode) {
    case 2: return 254.0;     // 0.1 mm
    case 3: return 2540.0;    // 0.01 mm
    case 4: return 100.0;     // 0.01 inch
    case 5: return 1000.0;    // 0.001 inch
    case 6: return 1440.0;    // twips
    default: return 0.0;
  }
}

void applyColourStatement(ColourState& state, int fore, int back, int border, int mode,
                          int which) {
  const bool setsMode = which & 8;
  if (setsMode && mode != 0 && mode != 1 && mode != 4 && mode != 5)
    raise(err::InvalidArgument);
  if ((which & 4) && (border < 0 || border > 15)) raise(err::InvalidArgument);
  const int effectiveMode = setsMode ? mode : state.mode;
  // Look both colours up before changing anything: a refused number leaves
  // the surface as it was.
  ColourState next = state;
  if (which & 1) next.fore = foregroundPaletteColour(fore, effectiveMode);
  if (which & 2) next.back = foregroundPaletteColour(back, effectiveMode);
  if (setsMode) {
    next.mode = mode;
    next.inverted = mode == 1 || mode == 5;
  }
  state = next;
}

}  // namespace fw::internal

namespace fw {

uint32_t textPaletteColour(int number) {
  return foregroundPaletteColour(number % 8, number >= 8 ? 4 : 0);
}

void printWithShadow(Surface& s, double x, double y, const Str& text, uint32_t shadowRgb,
                     uint32_t textRgb) {
  s.setForeColor(shadowRgb);
  s.setPosition(x + 1, y + 1);
  s.print(text);
  s.setForeColor(textRgb);
  s.setPosition(x, y);
  s.print(text);
}

}  // namespace fw
