// The drawing of every real surface, on a QPainter: the window picture
// (image_surface.h) and the printer page (printer.h) share this code, so a
// chart measures the same on a window, on a PDF file and on paper.
//
// The surface keeps the attributes (scale mode, current position, colours,
// line width, font); a device subclass supplies the painter and the device's
// resolution. Positions are converted to device pixels at drawing time: mode
// 1 is one device pixel, modes 2..6 go through the device's real dots per
// inch, mode 0 through the current font's average character width and line
// height.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRectF>

#include "framework/form/surface_state.h"

namespace fw::internal {

QColor toQColor(uint32_t rgbValue);

class PainterSurface : public SurfaceState {
 public:
  void clear() override;
  void print(const Str& text) override;
  void line(double x1, double y1, double x2, double y2, int colour = -1, int kind = 0) override;
  void circle(double x, double y, double r, int colour = -1, float aspect = 1.0f,
              double startAngle = 0, double endAngle = 0, bool filled = false) override;
  void drawBitmap(double x, double y, double width, double height, const Bitmap& bitmap,
                  int srcX, int srcY, int srcWidth, int srcHeight) override;

  // The current font as the device draws it (pixel size for its resolution).
  QFont deviceFont() const;
  // Scale units -> device pixels and back, in the current scale mode.
  double toDeviceX(double units) const;
  double toDeviceY(double units) const;
  double fromDeviceY(double pixels) const;

 protected:
  PainterSurface(uint32_t backgroundRgb, Str defaultFace, float defaultPoints);
  // Back to the attributes of a new surface (a new print run).
  void resetAttributes(uint32_t backgroundRgb);

  // The painter for one drawing operation; raises 1000 without a device.
  virtual QPainter& beginPaint() = 0;
  // After every drawing operation, also when it failed half-way.
  virtual void endPaint() {}
  virtual double dotsPerInchX() const = 0;
  // Resolution used to turn font points into pixels; the device's own
  // unless the device says otherwise (window pictures do).
  virtual double fontDotsPerInch() const { return dotsPerInchY(); }
  virtual double dotsPerInchY() const = 0;
  // The whole drawable area in device pixels, from the origin.
  virtual QRectF deviceRect() const = 0;
  // Where (0, 0) lies in the painter's coordinates (device pixels).
  virtual QPointF deviceOrigin() const { return {}; }
  // Windows draw without antialiasing, so that a shape redrawn in the
  // background colour leaves no fringe; paper may smooth its edges.
  virtual bool smoothEdges() const = 0;
  // Device pixels per unit of the painter's coordinates: above 1 for a
  // window picture on a high-resolution screen, where the painter works in
  // the window's pixels and each of them is several of the screen's.
  virtual double pixelRatio() const { return 1.0; }

 private:
  class PaintScope;
  QPen shapePen(uint32_t colour) const;
  void placeShapes(QPainter& painter) const;
  void drawTextRun(QPainter& painter, const QFontMetricsF& metrics, const QString& run,
                   double& xPixels, double yPixels) const;

  Str defaultFace_;
  float defaultPoints_;
};

}  // namespace fw::internal
