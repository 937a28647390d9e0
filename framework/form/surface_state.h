// The drawing attributes every Surface holds the same way: scale mode,
// current position, colours with the colour statement, line width and font.
// The window, printer and PNG surfaces (which draw) and the recording
// surface of the tests (which lists) derive from it, so that both keep and
// check their attributes alike and a recording fails where a window or a
// printer would (the checks: internal/surface_rules.h).
#pragma once

#include <cstdint>

#include "framework/form/surface.h"

namespace fw {

class SurfaceState : public Surface {
 public:
  void setScaleMode(int mode) override;
  int scaleMode() const override { return scaleMode_; }
  // The current position is held in single precision, as the program's
  // position variables are.
  void setPosition(double x, double y) override;
  double currentX() const override { return x_; }
  double currentY() const override { return y_; }
  void color(int fore, int back, int border, int mode, int which) override;
  void setForeColor(uint32_t rgb) override;
  void setBackColor(uint32_t rgb) override;
  void setFillColor(uint32_t rgb) override;
  uint32_t foreColor() const override { return fore_; }
  uint32_t backColor() const override { return back_; }
  void setLineWidth(double width) override;
  void setFontName(const Str& face) override { face_ = face; }
  void setFontSize(float points) override;
  void setFontBold(bool on) override { bold_ = on; }
  void setFontItalic(bool on) override { italic_ = on; }
  void setFontUnderline(bool on) override { underline_ = on; }
  Str fontName() const override { return face_; }
  float fontSize() const override { return size_; }
  bool fontBold() const override { return bold_; }

 protected:
  int scaleMode_ = 1;
  float x_ = 0, y_ = 0;
  uint32_t fore_ = 0, back_ = 0xFFFFFF, fill_ = 0;
  bool fillSet_ = false;  // a fill colour was set: filled shapes use it
  int colourMode_ = 0;
  bool inverted_ = false;  // colour modes 1 and 5: opaque text, colours exchanged
  double lineWidth_ = 0;
  Str face_;
  float size_ = 9;
  bool bold_ = false, italic_ = false, underline_ = false;
};

}  // namespace fw
