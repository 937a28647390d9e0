// The window picture: what the operator sees of marks drawn and erased.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>

#include "framework/core/error.h"
#include "framework/core/str.h"
#include "framework/form/internal/fonts.h"
#include "framework/form/internal/image_surface.h"

namespace fw {
namespace {

constexpr uint32_t kWindowBackground = rgb(241, 245, 250);

QRect inkBox(const QImage& image, QRgb background) {
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != background) box |= QRect(x, y, 1, 1);
  return box;
}

int countPixels(const QImage& image, QRgb colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == colour;
  return n;
}

TEST(WindowPicture, MarkRedrawnInTheBackgroundColourLeavesNoTrace) {
  auto surface = internal::makeImageSurface(600, 300, kWindowBackground);
  const QRgb background = qRgb(241, 245, 250);
  surface->setLineWidth(2);
  // The A.M. ring of the main window, a circle, and one drawn at a
  // fractional centre (half pixels are where smoothing would leave fringes).
  struct Mark { double x, y, r; float aspect; };
  const Mark marks[] = {{463, 143, 27, 0.4f}, {103, 233 - 100, 15, 1.0f}, {200.5, 60.5, 40, 0.7f}};
  for (const Mark& m : marks) surface->circle(m.x, m.y, m.r, 5, m.aspect);
  const QImage& picture = internal::surfaceImage(*surface);
  ASSERT_GT(countPixels(picture, qRgb(255, 0, 0)), 100);

  surface->setForeColor(kWindowBackground);
  surface->setFillColor(kWindowBackground);
  for (const Mark& m : marks) surface->circle(m.x, m.y, m.r, -1, m.aspect);
  EXPECT_EQ(countPixels(internal::surfaceImage(*surface), background), 600 * 300);
}

TEST(WindowPicture, TextCellTopLeftIsAtThePosition) {
  auto surface = internal::makeImageSurface(400, 200, rgb(255, 255, 255));
  surface->setFontName("ＭＳ ゴシック"_sj);
  surface->setFontSize(20);
  surface->setPosition(50, 40);
  surface->print("■"_sj);  // fills its cell nearly to the edges
  const QFontMetricsF metrics(internal::screenFont("ＭＳ ゴシック"_sj, 20, false));
  const QRect ink = inkBox(internal::surfaceImage(*surface), qRgb(255, 255, 255));
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_GE(ink.left(), 50);
  EXPECT_LE(ink.left(), 50 + 3);
  EXPECT_GE(ink.top(), 40);
  EXPECT_LE(ink.bottom(), 40 + metrics.height());
  // And the next line starts one line height lower at the left edge.
  EXPECT_EQ(surface->currentX(), 0);
  EXPECT_FLOAT_EQ(surface->currentY(), float(40 + metrics.height()));
}

// The chart's columns assume the MS Gothic cell: a full-width character
// exactly as wide as two half-width ones, on the screen and on paper.
TEST(Fonts, GothicFullWidthIsTwoHalfWidthsAtEverySize) {
  for (double dpi : {96.0, 300.0, 600.0, 1200.0}) {
    for (double points : {9.0, 10.5, 11.0, 12.0, 16.0, 20.0, 21.0}) {
      SCOPED_TRACE(testing::Message() << dpi << " dpi " << points << " pt");
      const QFontMetricsF m(internal::deviceFont("ＭＳ ゴシック"_sj, points, dpi, false));
      EXPECT_EQ(m.horizontalAdvance(QString::fromUtf8("電")), 2 * m.horizontalAdvance("A"));
      EXPECT_EQ(m.horizontalAdvance(QString::fromUtf8("心電図")), m.horizontalAdvance("ABCDEF"));
    }
  }
}

TEST(Fonts, WindowsFacesMapToInstalledFaces) {
  EXPECT_EQ(internal::mapFace("ＭＳ ゴシック"_sj), "IPAGothic");
  EXPECT_EQ(internal::mapFace("ＭＳ Ｐゴシック"_sj), "IPAPGothic");
  EXPECT_EQ(internal::mapFace("ＭＳ 明朝"_sj), "IPAMincho");
  const QFont fixed = internal::screenFont("FixedSys", 18, false);
  EXPECT_TRUE(QFontInfo(fixed).fixedPitch()) << QFontInfo(fixed).family().toStdString();
  // One pixel per point: the drawn "外来" (20 pt, two full-width characters
  // from x = 547) is centred on its ring's centre, x = 567.
  EXPECT_EQ(internal::screenFont("ＭＳ ゴシック"_sj, 16, false).pixelSize(), 16);
  EXPECT_EQ(internal::screenFont("ＭＳ ゴシック"_sj, 20, true).pixelSize(), 20);
  EXPECT_DOUBLE_EQ(547 + 2 * 20 * internal::kScreenFontDotsPerInch / 72 / 2, 567);
}

}  // namespace
}  // namespace fw
