// The two fixed 16-colour palettes of the drawing services.
#include <array>

#include "framework/core/error.h"
#include "framework/form/recording_surface.h"

namespace fw {

namespace {

// Colour statement palette: the dark half first, then the bright half, so
// that the colour modes 4 and 5 can pick the bright half by adding 8.
constexpr std::array<uint32_t, 16> kForeground = {
    rgb(128, 128, 128), rgb(0, 0, 128),   rgb(128, 0, 0),   rgb(128, 0, 128),
    rgb(0, 128, 0),     rgb(0, 128, 128), rgb(128, 128, 0), rgb(192, 192, 192),
    rgb(0, 0, 0),       rgb(0, 0, 255),   rgb(255, 0, 0),   rgb(255, 0, 255),
    rgb(0, 255, 0),     rgb(0, 255, 255), rgb(255, 255, 0), rgb(255, 255, 255),
};

// Explicit colour numbers of lines, boxes and circles.
constexpr std::array<uint32_t, 16> kShape = {
    rgb(0, 0, 0),     rgb(128, 128, 128), rgb(0, 0, 128),   rgb(0, 0, 255),
    rgb(128, 0, 0),   rgb(255, 0, 0),     rgb(128, 0, 128), rgb(255, 0, 255),
    rgb(0, 128, 0),   rgb(0, 255, 0),     rgb(0, 128, 128), rgb(0, 255, 255),
    rgb(128, 128, 0), rgb(255, 255, 0),   rgb(192, 192, 192), rgb(255, 255, 255),
};

}  // namespace

uint32_t foregroundPaletteColour(int number, int mode) {
  if (number < 0 || number > 15) raise(err::InvalidArgument);
  const int entry = (mode == 4 || mode == 5) ? number % 8 + 8 : number % 8;
  return kForeground[entry];
}

uint32_t shapePaletteColour(int number) {
  if (number < 0 || number > 15) raise(err::InvalidArgument);
  return kShape[number];
}

}  // namespace fw
