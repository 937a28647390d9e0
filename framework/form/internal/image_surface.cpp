#include "framework/form/internal/image_surface.h"

#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <optional>

#include "framework/core/error.h"
#include "framework/core/str.h"
#include "framework/form/internal/fonts.h"
#include "framework/form/internal/painter_surface.h"

namespace fw::internal {

namespace {

// Windows lay out their pictures at 96 dots per inch, whatever the screen.
constexpr double kWindowDotsPerInch = 96.0;

// Largest width or height of the image in screen pixels: a window of the
// largest size (8192 pixels) on a screen of ratio 2 would otherwise need
// an image of 1 GB.
constexpr double kMaxImagePx = 8192.0;

// Screen pixels per window pixel of a picture of that size: the screens'
// highest ratio, so that text, marks and pictures are drawn sharp wherever
// the window is shown; less for a window too large for that.
double pictureRatio(QSize size) {
  const double screens = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
  const double largest = std::max(size.width(), size.height());
  return std::max(1.0, std::min(screens, kMaxImagePx / largest));
}

QImage blankImage(QSize size, double ratio, const QColor& colour) {
  QImage image(QSize(int(std::ceil(size.width() * ratio)), int(std::ceil(size.height() * ratio))),
               QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  image.fill(colour);
  return image;
}

// The image can be as large as 8192 x 8192 pixels (256 MB), and a window
// may be built, used and closed without ever being drawn on or painted, so
// the image is made on first use rather than with the window. Until then
// the surface only knows its size; the image it makes is exactly the one it
// would have held from the start.
class ImageSurface final : public PainterSurface {
 public:
  ImageSurface(int width, int height, uint32_t background)
      : PainterSurface(background, sj("ＭＳ ゴシック"), 9.0f),
        size_(std::max(width, 1), std::max(height, 1)),
        ratio_(pictureRatio(size_)),
        initialBack_(background) {}

  const QImage& image() const {
    if (image_.isNull()) image_ = blankImage(size_, ratio_, toQColor(initialBack_));
    return image_;
  }

  void resize(int width, int height) {
    const QSize newSize(std::max(width, 1), std::max(height, 1));
    const double newRatio = std::min(ratio_, pictureRatio(newSize));
    // A strip added in a back colour other than the first one is part of
    // the picture, so from then on the image has to be real.
    if (!image_.isNull() || backColor() != initialBack_) {
      QImage bigger = blankImage(newSize, newRatio, toQColor(backColor()));
      {
        QPainter copy(&bigger);
        copy.drawImage(0, 0, image());
      }
      image_ = std::move(bigger);
    }
    size_ = newSize;
    ratio_ = newRatio;
    if (changed_) changed_();
  }

  void setChanged(std::function<void()> changed) { changed_ = std::move(changed); }

 protected:
  QPainter& beginPaint() override {
    image();
    painter_.emplace(&image_);
    return *painter_;
  }
  void endPaint() override {
    painter_.reset();
    if (changed_) changed_();
  }
  double dotsPerInchX() const override { return kWindowDotsPerInch; }
  double dotsPerInchY() const override { return kWindowDotsPerInch; }
  double fontDotsPerInch() const override { return kScreenFontDotsPerInch; }
  QRectF deviceRect() const override {
    // The whole image: its last screen pixels may reach past the window's
    // last pixel when the ratio is not a whole number.
    return QRectF(QPointF(0, 0), QSizeF(image().size()) / ratio_);
  }
  bool smoothEdges() const override { return false; }
  double pixelRatio() const override { return ratio_; }

 private:
  QSize size_;
  double ratio_;
  uint32_t initialBack_;
  mutable QImage image_;  // null until first used
  std::optional<QPainter> painter_;
  std::function<void()> changed_;
};

ImageSurface& asImageSurface(Surface& surface) {
  auto* image = dynamic_cast<ImageSurface*>(&surface);
  if (!image) raise(err::WrongKind);
  return *image;
}

}  // namespace

std::unique_ptr<Surface> makeImageSurface(int widthPixels, int heightPixels,
                                          uint32_t backgroundRgb) {
  return std::make_unique<ImageSurface>(widthPixels, heightPixels, backgroundRgb);
}

const QImage& surfaceImage(const Surface& imageSurface) {
  return asImageSurface(const_cast<Surface&>(imageSurface)).image();
}

void resizeImageSurface(Surface& imageSurface, int widthPixels, int heightPixels) {
  asImageSurface(imageSurface).resize(widthPixels, heightPixels);
}

void setSurfaceChangedCallback(Surface& imageSurface, std::function<void()> changed) {
  asImageSurface(imageSurface).setChanged(std::move(changed));
}

}  // namespace fw::internal
