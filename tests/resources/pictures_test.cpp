// The check-mark bitmaps and the icon in the program's resources. The BMP
// headers are read byte by byte here, not through an image library, because
// the chart printing stretches exactly these pixels.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>

#include <cstdint>
#include <map>
#include <tuple>
#include <utility>

#include "resources/resources.h"

namespace {

QByteArray resource(const QString& path) {
  resources::ensureLinked();
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

uint32_t le(const QByteArray& b, int at, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(b[at + i])) << (8 * i);
  return v;
}

struct Rgb {
  int r, g, b;
  bool operator<(const Rgb& o) const { return std::tie(r, g, b) < std::tie(o.r, o.g, o.b); }
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

// Colour of the pixel at (x, y), y counted from the top of the picture.
Rgb pixel(const QByteArray& bmp, int x, int y) {
  const int width = static_cast<int>(le(bmp, 18, 4)), height = static_cast<int>(le(bmp, 22, 4));
  const int rowBytes = (width * 3 + 3) & ~3;
  const int at = static_cast<int>(le(bmp, 10, 4)) + (height - 1 - y) * rowBytes + x * 3;
  return {static_cast<uint8_t>(bmp[at + 2]), static_cast<uint8_t>(bmp[at + 1]),
          static_cast<uint8_t>(bmp[at])};
}

void expectCheckMark(const char* path, Rgb stroke) {
  SCOPED_TRACE(path);
  const QByteArray bmp = resource(path);
  ASSERT_GE(bmp.size(), 54);
  EXPECT_EQ(bmp.left(2), "BM");
  EXPECT_EQ(le(bmp, 2, 4), static_cast<uint32_t>(bmp.size()));
  EXPECT_EQ(le(bmp, 14, 4), 40u);    // BITMAPINFOHEADER
  EXPECT_EQ(le(bmp, 18, 4), 202u);   // width
  EXPECT_EQ(le(bmp, 22, 4), 134u);   // height, positive: bottom-up rows
  EXPECT_EQ(le(bmp, 26, 2), 1u);     // planes
  EXPECT_EQ(le(bmp, 28, 2), 24u);    // bits per pixel
  EXPECT_EQ(le(bmp, 30, 4), 0u);     // uncompressed
  const uint32_t rowBytes = (202 * 3 + 3) & ~3u;
  ASSERT_EQ(static_cast<uint32_t>(bmp.size()), le(bmp, 10, 4) + rowBytes * 134);

  // Only white and the stroke colour; corners white; a fair share of ink.
  std::map<Rgb, int> colours;
  for (int y = 0; y < 134; ++y)
    for (int x = 0; x < 202; ++x) ++colours[pixel(bmp, x, y)];
  EXPECT_EQ(colours.size(), 2u);
  EXPECT_GT(colours[stroke], 202 * 134 / 20);
  const Rgb white{255, 255, 255};
  EXPECT_GT(colours[white], 202 * 134 / 2);
  for (auto [x, y] : {std::pair{0, 0}, {201, 0}, {0, 133}, {201, 133}})
    EXPECT_EQ(pixel(bmp, x, y), (Rgb{255, 255, 255})) << x << "," << y;

  // A tick: ink in the lower middle, none in the lower right corner or the
  // upper left, which tells a bottom-up file from a top-down one.
  bool lowerMiddle = false, upperLeft = false, lowerRight = false;
  for (int y = 0; y < 134; ++y)
    for (int x = 0; x < 202; ++x) {
      if (!(pixel(bmp, x, y) == stroke)) continue;
      lowerMiddle |= y > 90 && x > 60 && x < 110;
      upperLeft |= y < 40 && x < 60;
      lowerRight |= y > 90 && x > 150;
    }
  EXPECT_TRUE(lowerMiddle);
  EXPECT_FALSE(upperLeft);
  EXPECT_FALSE(lowerRight);
}

TEST(Pictures, CheckMarksAre24BitTicksOnWhite) {
  expectCheckMark(":/bitmaps/CHECK_1", {0, 0, 0});
  expectCheckMark(":/bitmaps/CHECK_2", {0, 162, 232});
}

uint32_t be32(const QByteArray& b, int at) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v = (v << 8) | static_cast<uint8_t>(b[at + i]);
  return v;
}

TEST(Pictures, IconIsASquarePng) {
  const QByteArray png = resource(":/icons/ekg.png");
  ASSERT_GE(png.size(), 24);
  EXPECT_EQ(png.left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
  EXPECT_EQ(png.mid(12, 4), "IHDR");
  EXPECT_EQ(be32(png, 16), be32(png, 20));  // width, height
  EXPECT_GE(be32(png, 16), 32u);
}

}  // namespace
