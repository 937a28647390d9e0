#include "framework/form/recording_surface.h"

#include <algorithm>

#include "framework/form/internal/surface_rules.h"

namespace fw {

RecordingSurface::RecordingSurface(double lineHeight) : lineHeight_(lineHeight) {}

std::vector<DrawCall> RecordingSurface::texts() const {
  std::vector<DrawCall> out;
  std::copy_if(calls.begin(), calls.end(), std::back_inserter(out),
               [](const DrawCall& c) { return c.type == DrawCall::Text; });
  return out;
}

void RecordingSurface::clear() {
  DrawCall c;
  c.type = DrawCall::Clear;
  c.colour = back_;
  c.scaleMode = scaleMode_;
  calls.push_back(c);
  x_ = y_ = 0;
}

void RecordingSurface::print(const Str& text) {
  DrawCall c;
  c.type = DrawCall::Text;
  c.x = x_;
  c.y = y_;
  c.text = text;
  c.face = face_;
  c.size = size_;
  c.bold = bold_;
  c.colour = fore_;
  c.background = back_;
  c.inverted = inverted_;
  c.scaleMode = scaleMode_;
  calls.push_back(c);
  const auto lineFeeds = std::count(text.begin(), text.end(), '\n');
  x_ = 0;
  y_ = float(y_ + lineHeight_ * double(lineFeeds + 1));
}

// A line, box or ellipse as the real surfaces draw it: the outline in the
// explicit shape colour or the foreground; a filled inside in the explicit
// colour, else the fill colour once set, else the foreground.
DrawCall RecordingSurface::shapeCall(DrawCall::Type type, double x, double y, int colour,
                                     bool filled) const {
  DrawCall c;
  c.type = type;
  c.x = x;
  c.y = y;
  c.colour = colour >= 0 ? shapePaletteColour(colour) : fore_;
  if (filled) c.fill = colour >= 0 ? c.colour : (fillSet_ ? fill_ : fore_);
  c.lineWidth = lineWidth_;
  c.scaleMode = scaleMode_;
  return c;
}

void RecordingSurface::line(double x1, double y1, double x2, double y2, int colour, int kind) {
  internal::checkedLineKind(kind);
  DrawCall c = shapeCall(DrawCall::Line, x1, y1, colour, kind == 2);
  c.x2 = x2;
  c.y2 = y2;
  c.kind = kind;
  calls.push_back(c);
}

void RecordingSurface::circle(double x, double y, double r, int colour, float aspect,
                              double /*startAngle*/, double /*endAngle*/, bool filled) {
  DrawCall c = shapeCall(DrawCall::Circle, x, y, colour, filled);
  c.radius = r;
  c.aspect = aspect;
  c.kind = filled ? 1 : 0;
  calls.push_back(c);
}

void RecordingSurface::drawBitmap(double x, double y, double width, double height,
                                  const fw::Bitmap& bitmap, int srcX, int srcY, int srcWidth,
                                  int srcHeight) {
  internal::checkBitmapSource(bitmap, srcWidth, srcHeight);
  DrawCall c;
  c.type = DrawCall::Bitmap;
  c.x = x;
  c.y = y;
  c.x2 = width;
  c.y2 = height;
  c.text = bitmap.name();
  c.scaleMode = scaleMode_;
  c.srcX = srcX;
  c.srcY = srcY;
  c.srcW = srcWidth;
  c.srcH = srcHeight;
  calls.push_back(c);
}

}  // namespace fw
