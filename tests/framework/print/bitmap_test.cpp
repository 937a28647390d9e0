// Check-mark pictures from the program's resources, stretched as the chart
// draws them.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>

#include "framework/core/error.h"
#include "framework/form/internal/image_surface.h"
#include "framework/form/surface.h"

namespace fw {
namespace {

TEST(Bitmaps, MissingResourceIsError1010) {
  for (const char* name : {"NO_SUCH_PICTURE", "", "check_9"}) {
    try {
      Bitmap::load(name);
      ADD_FAILURE() << name << " loaded";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.number(), err::BitmapLoad) << name;
    }
  }
}

TEST(Bitmaps, SourceRectangleIsStretchedOntoTheDestination) {
  if (!QFile::exists(":/bitmaps/CHECK_1")) GTEST_SKIP() << "CHECK_1 is not among the resources";
  const Bitmap check = Bitmap::load("CHECK_1");
  EXPECT_EQ(check.name(), "CHECK_1");
  EXPECT_EQ(check.width(), 202);
  EXPECT_EQ(check.height(), 134);

  const QRgb grey = qRgb(100, 100, 100);
  auto surface = internal::makeImageSurface(300, 200, rgb(100, 100, 100));
  // Half size, from pixel (1, 1): the white of the picture fills exactly
  // the destination rectangle and nothing outside it.
  surface->drawBitmap(20, 30, 99, 65.5, check, 1, 1, 198, 131);
  const QImage& picture = internal::surfaceImage(*surface);
  QRect changed;
  int dark = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) {
      if (picture.pixel(x, y) != grey) changed |= QRect(x, y, 1, 1);
      dark += qGray(picture.pixel(x, y)) < 60;
    }
  EXPECT_EQ(changed, QRect(20, 30, 99, 66));
  EXPECT_GT(dark, 50) << "the strokes of the check mark";
}

}  // namespace
}  // namespace fw
