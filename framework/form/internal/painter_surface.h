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

#include "framework/form/surface.h"

namespace fw::internal {

QColor toQColor(uint32_t rgbValue);

class PainterSurface : public Surface {
 public:
  void setScaleMode(int mode) override;
  int scaleMode() const override { return scaleMode_; }
  void clear() override;
  void setPosition(double x, double y) override;
  double currentX() const override { return x_; }
  double currentY() const override { return y_; }
  void print(const Str& text) override;
  void color(int fore, int back, int border, int mode, int which) override;
  void setForeColor(uint32_t rgb) override;
  void setBackColor(uint32_t rgb) override;
  void setFillColor(uint32_t rgb) override;
  uint32_t foreColor() const override { return fore_; }
  uint32_t backColor() const override { return back_; }
  void setLineWidth(double width) override;
  void line(double x1, double y1, double x2, double y2, int colour = -1, int kind = 0) override;
  void circle(double x, double y, double r, int colour = -1, float aspect = 1.0f,
              double startAngle = 0, double endAngle = 0, bool filled = false) override;
  void setFontName(const Str& face) override { face_ = face; }
  void setFontSize(float points) override;
  void setFontBold(bool on) override { bold_ = on; }
  void setFontItalic(bool on) override { italic_ = on; }
  void setFontUnderline(bool on) override { underline_ = on; }
  Str fontName() const override { return face_; }
  float fontSize() const override { return size_; }
  bool fontBold() const override { return bold_; }
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

 private:
  class PaintScope;
  QPen shapePen(uint32_t colour) const;
  void drawTextRun(QPainter& painter, const QFontMetricsF& metrics, const QString& run,
                   double& xPixels, double yPixels) const;

  int scaleMode_ = 1;
  float x_ = 0, y_ = 0;  // single precision, as the program's position variables
  uint32_t fore_ = 0, back_ = 0xFFFFFF, fill_ = 0;
  bool fillSet_ = false;
  int colourMode_ = 0;
  bool inverted_ = false;
  double lineWidth_ = 0;
  Str face_;
  float size_ = 9;
  bool bold_ = false, italic_ = false, underline_ = false;
  Str defaultFace_;
  float defaultPoints_;
};

}  // namespace fw::internal
