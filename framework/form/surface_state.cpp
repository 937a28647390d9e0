#include "framework/form/surface_state.h"

#include "framework/form/internal/surface_rules.h"

namespace fw {

void SurfaceState::setScaleMode(int mode) { scaleMode_ = internal::checkedScaleMode(mode); }

void SurfaceState::setPosition(double x, double y) {
  x_ = float(x);
  y_ = float(y);
}

void SurfaceState::color(int fore, int back, int border, int mode, int which) {
  // The mode stays for later statements that do not set it, as on a real surface.
  internal::ColourState state{fore_, back_, colourMode_, inverted_};
  internal::applyColourStatement(state, fore, back, border, mode, which);
  fore_ = state.fore;
  back_ = state.back;
  colourMode_ = state.mode;
  inverted_ = state.inverted;
}

void SurfaceState::setForeColor(uint32_t rgb) { fore_ = internal::checkedRgb(rgb); }
void SurfaceState::setBackColor(uint32_t rgb) { back_ = internal::checkedRgb(rgb); }
void SurfaceState::setFillColor(uint32_t rgb) {
  fill_ = internal::checkedRgb(rgb);
  fillSet_ = true;
}

void SurfaceState::setLineWidth(double width) { lineWidth_ = internal::checkedLineWidth(width); }
void SurfaceState::setFontSize(float points) { size_ = internal::checkedFontSize(points); }

}  // namespace fw
