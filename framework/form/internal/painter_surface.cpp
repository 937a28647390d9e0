#include "framework/form/internal/painter_surface.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <cmath>
#include <numbers>

#include "framework/core/cp932.h"
#include "framework/core/error.h"
#include "framework/form/internal/bitmap_impl.h"
#include "framework/form/internal/fonts.h"
#include "framework/form/internal/surface_rules.h"
#include "framework/form/recording_surface.h"

namespace fw::internal {

QColor toQColor(uint32_t v) { return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF); }

// One drawing operation: the device's painter, released (and the change
// reported) on every way out, a raised error included.
class PainterSurface::PaintScope {
 public:
  explicit PaintScope(PainterSurface& surface) : surface_(surface), painter_(surface.beginPaint()) {
    painter_.save();
    painter_.translate(surface.deviceOrigin());
    painter_.setRenderHint(QPainter::Antialiasing, surface.smoothEdges());
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, surface.smoothEdges());
    painter_.setRenderHint(QPainter::TextAntialiasing, surface.smoothEdges());
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  }
  ~PaintScope() {
    painter_.restore();
    surface_.endPaint();
  }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  QPainter& painter() { return painter_; }

 private:
  PainterSurface& surface_;
  QPainter& painter_;
};

PainterSurface::PainterSurface(uint32_t backgroundRgb, Str defaultFace, float defaultPoints)
    : defaultFace_(std::move(defaultFace)), defaultPoints_(defaultPoints) {
  resetAttributes(backgroundRgb);
}

void PainterSurface::resetAttributes(uint32_t backgroundRgb) {
  scaleMode_ = 1;
  x_ = y_ = 0;
  fore_ = 0;
  back_ = backgroundRgb;
  fill_ = 0;
  fillSet_ = false;
  colourMode_ = 0;
  inverted_ = false;
  lineWidth_ = 0;
  face_ = defaultFace_;
  size_ = defaultPoints_;
  bold_ = italic_ = underline_ = false;
}

QFont PainterSurface::deviceFont() const {
  return internal::deviceFont(face_, size_, fontDotsPerInch(), bold_, italic_, underline_);
}

double PainterSurface::toDeviceX(double units) const {
  switch (scaleMode_) {
    case 0: return units * QFontMetricsF(deviceFont()).averageCharWidth();
    case 1: return units;
    default: return units * dotsPerInchX() / unitsPerInch(scaleMode_);
  }
}

double PainterSurface::toDeviceY(double units) const {
  switch (scaleMode_) {
    case 0: return units * QFontMetricsF(deviceFont()).height();
    case 1: return units;
    default: return units * dotsPerInchY() / unitsPerInch(scaleMode_);
  }
}

double PainterSurface::fromDeviceY(double pixels) const {
  switch (scaleMode_) {
    case 0: return pixels / QFontMetricsF(deviceFont()).height();
    case 1: return pixels;
    default: return pixels * unitsPerInch(scaleMode_) / dotsPerInchY();
  }
}

void PainterSurface::clear() {
  {
    PaintScope scope(*this);
    scope.painter().fillRect(deviceRect(), toQColor(back_));
  }
  x_ = y_ = 0;
}

void PainterSurface::drawTextRun(QPainter& painter, const QFontMetricsF& metrics,
                                 const QString& run, double& xPixels, double yPixels) const {
  if (run.isEmpty()) return;
  const double width = metrics.horizontalAdvance(run);
  if (inverted_) {
    painter.fillRect(QRectF(xPixels, yPixels, width, metrics.height()), toQColor(fore_));
    painter.setPen(toQColor(back_));
  } else {
    painter.setPen(toQColor(fore_));
  }
  // The position is the top-left of the character cell; Qt places text on
  // its baseline.
  painter.drawText(QPointF(xPixels, yPixels + metrics.ascent()), run);
  xPixels += width;
}

void PainterSurface::print(const Str& text) {
  int lineFeeds = 0;
  {
    PaintScope scope(*this);
    QPainter& painter = scope.painter();
    const QFont font = deviceFont();
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const double tabWidth = 8 * metrics.averageCharWidth();
    double x = toDeviceX(x_);
    double y = toDeviceY(y_);
    // CR, LF and TAB are single bytes that never occur inside a double-byte
    // character (trail bytes start at 0x40), so the bytes can be split as
    // they are.
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
      const char c = i < text.size() ? text[i] : '\0';
      if (i < text.size() && c != '\r' && c != '\n' && c != '\t') continue;
      drawTextRun(painter, metrics, QString::fromStdString(toUtf8(text.substr(start, i - start))),
                  x, y);
      start = i + 1;
      if (c == '\r') x = 0;
      if (c == '\n') {
        y += metrics.height();
        ++lineFeeds;
      }
      if (c == '\t') x = (std::floor(x / tabWidth) + 1) * tabWidth;
    }
  }
  // Each print ends its line.
  const double lineHeight = fromDeviceY(QFontMetricsF(deviceFont()).height());
  x_ = 0;
  y_ = float(y_ + lineHeight * (lineFeeds + 1));
}

QPen PainterSurface::shapePen(uint32_t colour) const {
  // Width 0 is the thinnest line the device draws: one device pixel, or one
  // window pixel of a picture that has several screen pixels to each.
  QPen pen(toQColor(colour));
  const bool thinnest = lineWidth_ <= 0 && pixelRatio() == 1.0;
  pen.setWidthF(lineWidth_ > 0 ? toDeviceX(lineWidth_) : thinnest ? 0.0 : 1.0);
  pen.setCosmetic(thinnest);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  return pen;
}

// Without antialiasing Qt puts a line of one pixel on the pixel right of
// and below its coordinate. With several screen pixels to a window pixel
// that rule applies to the screen's pixels, and a line would straddle two
// window pixels; moved by the difference, it covers the screen pixels of
// exactly the window pixels it covers at ratio 1.
void PainterSurface::placeShapes(QPainter& painter) const {
  const double ratio = pixelRatio();
  if (ratio == 1.0 || smoothEdges()) return;
  const double shift = 0.5 - 0.5 / ratio;
  painter.translate(shift, shift);
}

void PainterSurface::line(double x1, double y1, double x2, double y2, int colour, int kind) {
  checkedLineKind(kind);
  const uint32_t explicitColour = colour >= 0 ? shapePaletteColour(colour) : 0;
  const uint32_t penColour = colour >= 0 ? explicitColour : fore_;
  PaintScope scope(*this);
  QPainter& painter = scope.painter();
  const QPointF from(toDeviceX(x1), toDeviceY(y1));
  const QPointF to(toDeviceX(x2), toDeviceY(y2));
  placeShapes(painter);
  painter.setPen(shapePen(penColour));
  if (kind == 0) {
    painter.drawLine(from, to);
    return;
  }
  const QRectF box = QRectF(from, to).normalized();
  if (kind == 2) {
    const uint32_t fill = colour >= 0 ? explicitColour : (fillSet_ ? fill_ : fore_);
    painter.setBrush(toQColor(fill));
  } else {
    painter.setBrush(Qt::NoBrush);
  }
  painter.drawRect(box);
}

void PainterSurface::circle(double x, double y, double r, int colour, float aspect,
                            double startAngle, double endAngle, bool filled) {
  const uint32_t penColour = colour >= 0 ? shapePaletteColour(colour) : fore_;
  // The vertical radius is computed in single precision, as the program's
  // own arithmetic does: 200 * 0.4f is not 80 exactly.
  const float verticalRadius = float(r) * aspect;
  const QPointF centre(toDeviceX(x), toDeviceY(y));
  const double rx = std::abs(toDeviceX(r));
  const double ry = std::abs(toDeviceY(double(verticalRadius)));
  const QRectF box(centre.x() - rx, centre.y() - ry, 2 * rx, 2 * ry);

  PaintScope scope(*this);
  QPainter& painter = scope.painter();
  placeShapes(painter);
  painter.setPen(shapePen(penColour));
  if (filled)
    painter.setBrush(toQColor(colour >= 0 ? penColour : (fillSet_ ? fill_ : fore_)));
  else
    painter.setBrush(Qt::NoBrush);
  if (startAngle == 0 && endAngle == 0) {
    painter.drawEllipse(box);
    return;
  }
  // Angles in radians, counter-clockwise from three o'clock; a negative
  // angle also draws the radius to that end of the arc.
  constexpr double kDegrees = 180.0 / std::numbers::pi;
  const double from = std::abs(startAngle) * kDegrees;
  double span = std::abs(endAngle) * kDegrees - from;
  if (span <= 0) span += 360.0;
  QPainterPath path;
  if (startAngle < 0) {
    path.moveTo(centre);
    path.arcTo(box, from, span);
  } else {
    path.arcMoveTo(box, from);
    path.arcTo(box, from, span);
  }
  if (endAngle < 0) path.lineTo(centre);
  if (startAngle < 0 && endAngle < 0) path.closeSubpath();
  painter.drawPath(path);
}

void PainterSurface::drawBitmap(double x, double y, double width, double height,
                                const Bitmap& bitmap, int srcX, int srcY, int srcWidth,
                                int srcHeight) {
  checkBitmapSource(bitmap, srcWidth, srcHeight);
  const QRectF target(toDeviceX(x), toDeviceY(y), toDeviceX(width), toDeviceY(height));
  PaintScope scope(*this);
  // A PDF would otherwise carry the picture as JPEG: off-white specks around
  // the strokes, which some printers put on the chart.
  scope.painter().setRenderHint(QPainter::LosslessImageRendering);
  const QImage& image = bitmap.impl()->image;
  const QRect source(srcX, srcY, srcWidth, srcHeight);
  if (image.rect().contains(source)) {
    scope.painter().drawImage(target, bitmap.impl()->part(source));
  } else {
    scope.painter().drawImage(target, image, QRectF(source));
  }
}

}  // namespace fw::internal
