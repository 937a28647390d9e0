#include "framework/form/internal/image_surface.h"

#include <optional>

#include "framework/core/error.h"
#include "framework/core/str.h"
#include "framework/form/internal/fonts.h"
#include "framework/form/internal/painter_surface.h"

namespace fw::internal {

namespace {

// Windows lay out their pictures at 96 dots per inch, whatever the screen.
constexpr double kWindowDotsPerInch = 96.0;

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
        initialBack_(background) {}

  const QImage& image() const {
    if (image_.isNull()) {
      image_ = QImage(size_, QImage::Format_RGB32);
      image_.fill(toQColor(initialBack_));
    }
    return image_;
  }

  void resize(int width, int height) {
    const QSize newSize(std::max(width, 1), std::max(height, 1));
    // A strip added in a back colour other than the first one is part of
    // the picture, so from then on the image has to be real.
    if (!image_.isNull() || backColor() != initialBack_) {
      QImage bigger(newSize, QImage::Format_RGB32);
      bigger.fill(toQColor(backColor()));
      {
        QPainter copy(&bigger);
        copy.drawImage(0, 0, image());
      }
      image_ = std::move(bigger);
    }
    size_ = newSize;
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
  QRectF deviceRect() const override { return QRectF(QPointF(0, 0), QSizeF(size_)); }
  bool smoothEdges() const override { return false; }

 private:
  QSize size_;
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
