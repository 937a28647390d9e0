// What the drawing statements put on a window picture: colours of text and
// shapes, the fill colour rule, arcs and line widths in scale units.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <numbers>

#include "framework/core/str.h"
#include "framework/form/internal/fonts.h"
#include "framework/form/internal/image_surface.h"

namespace fw {
namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;

int countPixels(const QImage& image, QRgb colour, QRect area = {}) {
  if (area.isNull()) area = image.rect();
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += image.pixel(x, y) == colour;
  return n;
}

QRect inkBox(const QImage& image, QRgb background) {
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != background) box |= QRect(x, y, 1, 1);
  return box;
}

std::unique_ptr<Surface> whitePicture() {
  return internal::makeImageSurface(200, 120, rgb(255, 255, 255));
}

TEST(TextColours, TextIsTransparentBetweenItsLetters) {
  auto s = whitePicture();
  s->line(10, 10, 150, 60, 5, 2);  // red block
  s->setFontSize(20);
  s->setPosition(20, 20);
  s->print("I I");
  const QImage& image = internal::surfaceImage(*s);
  EXPECT_GT(countPixels(image, qRgb(0, 0, 0), QRect(20, 20, 40, 20)), 0);
  // The cell behind the letters keeps the block's red.
  EXPECT_GT(countPixels(image, qRgb(255, 0, 0), QRect(20, 20, 40, 20)), 400);
}

TEST(TextColours, ModesOneAndFiveDrawOpaqueWithTheColoursExchanged) {
  for (int mode : {1, 5}) {
    SCOPED_TRACE(mode);
    auto s = whitePicture();
    s->setBackColor(rgb(0, 255, 0));
    s->color(2, 0, 0, mode, 9);  // mode 1: dark red, mode 5: red
    const QRgb fore = mode == 5 ? qRgb(255, 0, 0) : qRgb(128, 0, 0);
    s->setFontSize(20);
    s->setPosition(30, 30);
    s->print("HI");
    const QImage& image = internal::surfaceImage(*s);
    const QFontMetricsF m(internal::screenFont(s->fontName(), 20, false));
    const QRect cell(30, 30, int(m.horizontalAdvance("HI")), int(m.height()));
    // The cell is filled with the foreground colour, the letters are in the
    // background colour; nothing outside the cell changes.
    EXPECT_GT(countPixels(image, fore, cell), cell.width() * cell.height() / 2);
    EXPECT_GT(countPixels(image, qRgb(0, 255, 0), cell), 0);
    const QRect ink = inkBox(image, kWhite);
    EXPECT_EQ(ink.topLeft(), cell.topLeft());
    EXPECT_NEAR(ink.width(), cell.width(), 1);
    EXPECT_NEAR(ink.height(), cell.height(), 1);
  }
  // Mode 4 afterwards: transparent again.
  auto s = whitePicture();
  s->color(2, 0, 0, 5, 9);
  s->color(0, 0, 0, 4, 9);
  s->setPosition(30, 30);
  s->print("HI");
  // Letters only (smoothed edges are shades of grey), no filled cell.
  const QImage& image = internal::surfaceImage(*s);
  int coloured = 0, dark = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      coloured += qRed(p) != qGreen(p) || qGreen(p) != qBlue(p);
      dark += qGray(p) < 128;
    }
  EXPECT_EQ(coloured, 0);
  EXPECT_GT(dark, 5);
  EXPECT_LT(dark, 200);
}

TEST(FilledBoxes, FillColourOnlyOnceSetAndNeverForAnExplicitColour) {
  const uint32_t fore = rgb(0, 0, 255), fill = rgb(0, 200, 0);
  {
    auto s = whitePicture();
    s->setForeColor(fore);
    s->line(20, 20, 80, 80, -1, 2);
    EXPECT_EQ(internal::surfaceImage(*s).pixel(50, 50), qRgb(0, 0, 255)) << "no fill colour yet";
    s->setFillColor(fill);
    s->line(100, 20, 160, 80, -1, 2);
    const QImage& image = internal::surfaceImage(*s);
    EXPECT_EQ(image.pixel(130, 50), qRgb(0, 200, 0));
    EXPECT_EQ(image.pixel(100, 50), qRgb(0, 0, 255)) << "outlined in the foreground colour";
  }
  {
    auto s = whitePicture();
    s->setFillColor(fill);
    s->line(20, 20, 80, 80, 13, 2);  // shape palette 13: yellow, outline and inside
    EXPECT_EQ(internal::surfaceImage(*s).pixel(50, 50), qRgb(255, 255, 0));
    EXPECT_EQ(internal::surfaceImage(*s).pixel(20, 50), qRgb(255, 255, 0));
    s->line(100, 20, 160, 80, -1, 1);  // an outline leaves the inside alone
    EXPECT_EQ(internal::surfaceImage(*s).pixel(130, 50), kWhite);
    EXPECT_EQ(internal::surfaceImage(*s).pixel(100, 50), qRgb(0, 0, 0));
  }
  {
    // Filled circles follow the same rule.
    auto s = whitePicture();
    s->setForeColor(fore);
    s->circle(50, 50, 30, -1, 1.0f, 0, 0, true);
    EXPECT_EQ(internal::surfaceImage(*s).pixel(50, 50), qRgb(0, 0, 255));
    s->setFillColor(fill);
    s->circle(140, 50, 30, -1, 1.0f, 0, 0, true);
    EXPECT_EQ(internal::surfaceImage(*s).pixel(140, 50), qRgb(0, 200, 0));
    s->circle(140, 50, 10, -1, 1.0f, 0, 0, false);
    EXPECT_EQ(internal::surfaceImage(*s).pixel(140, 50), qRgb(0, 200, 0)) << "outline only";
  }
}

TEST(Circles, StartAndEndAngleDrawOnlyThatArc) {
  auto s = whitePicture();
  // A quarter from three o'clock counter-clockwise to twelve o'clock.
  s->circle(100, 60, 40, 0, 1.0f, 0.0001, std::numbers::pi / 2);
  const QRect ink = inkBox(internal::surfaceImage(*s), kWhite);
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_GE(ink.left(), 99);
  EXPECT_LE(ink.right(), 141);
  EXPECT_GE(ink.top(), 19);
  EXPECT_LE(ink.bottom(), 61);
}

TEST(Circles, AspectScalesOnlyTheVerticalRadius) {
  for (float aspect : {0.4f, 1.0f, 2.0f}) {
    SCOPED_TRACE(aspect);
    auto s = internal::makeImageSurface(300, 300, rgb(255, 255, 255));
    s->circle(150, 150, 50, 0, aspect);
    const QRect ink = inkBox(internal::surfaceImage(*s), kWhite);
    EXPECT_NEAR(ink.width(), 101, 1);
    EXPECT_NEAR(ink.height(), 2 * 50 * aspect + 1, 1);
  }
}

TEST(LineWidths, WidthIsInScaleUnitsAndZeroIsOnePixel) {
  struct Row { int mode; double width; int pixels; };
  // Windows measure 96 dots per inch: 150 twips and 0.0625 inch are 10 and 6 pixels.
  const Row rows[] = {{1, 0, 1}, {1, 4, 4}, {6, 150, 10}, {4, 6.25, 6}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "mode " << r.mode << " width " << r.width);
    auto s = whitePicture();
    const double toUnits = r.mode == 6 ? 15.0 : r.mode == 4 ? 100.0 / 96.0 : 1.0;
    s->setScaleMode(r.mode);
    s->setLineWidth(r.width);
    s->line(20 * toUnits, 60 * toUnits, 180 * toUnits, 60 * toUnits, 0, 0);
    const QImage& image = internal::surfaceImage(*s);
    int thick = 0;
    for (int y = 0; y < image.height(); ++y) thick += image.pixel(100, y) == qRgb(0, 0, 0);
    EXPECT_EQ(thick, r.pixels);
  }
}

TEST(Clearing, FillsWithTheBackgroundAndGoesBackToTheCorner) {
  auto s = whitePicture();
  s->line(0, 0, 199, 119, 5, 2);
  s->setPosition(77, 55);
  s->setBackColor(rgb(241, 245, 250));
  s->clear();
  EXPECT_EQ(countPixels(internal::surfaceImage(*s), qRgb(241, 245, 250)), 200 * 120);
  EXPECT_EQ(s->currentX(), 0);
  EXPECT_EQ(s->currentY(), 0);
}

}  // namespace
}  // namespace fw
