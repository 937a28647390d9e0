// Every window on a high-resolution screen: drawn by tessivo_window_pictures
// at device pixel ratio 1 and at 2 (and 1.5), each in a process of its own
// (Qt fixes the ratio when it starts), and compared.
//
// A sound comparison has to tell three faults from a good picture:
//  - drawn unscaled or misplaced: scaled down to ratio 1, the picture must
//    match the ratio-1 one, cell by cell (cells of 4 x 4 pixels, so that the
//    half pixels by which smoothed letters differ do not count);
//  - enlarged smoothly from a ratio-1 bitmap (blurry): a good picture has
//    about twice as many hard edges (neighbours differing by 160 grey
//    levels or more) as the ratio-1 one; a smoothed enlargement has none;
//  - enlarged by repeating pixels (blocky): that passes both tests above,
//    but each 2 x 2 block of it is one colour; a good picture has detail
//    inside its blocks at every edge that is not on the pixel grid (letters,
//    rings, ticks).
// The windows' drawn pictures (text, marks, bitmaps) are also compared on
// their own, so that a picture enlarged inside an otherwise sharp window
// cannot hide among the controls.
#include <gtest/gtest.h>

#include <QFont>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace {

const char* const kWindows[] = {"MAINFORM", "FORM2", "FORM3", "FORM4", "FORM6",
                                "FORM7",    "FORM8", "FORM9", "PREVIEW"};
// The windows whose drawn pictures are saved on their own.
const char* const kPictures[] = {"MAINFORM", "FORM2", "FORM3", "FORM4",
                                 "FORM6",    "FORM7", "FORM8", "FORM9"};

// Draws every window at `ratio` into `dir`; false (and the program's output
// as a failure) when it did not finish.
bool drawAt(const std::string& dir, const char* ratio) {
  const std::string command = std::string("QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=") + ratio +
                              " '" + TESSIVO_WINDOW_PICTURES + "' '" + dir + "' > '" + dir +
                              ".log' 2>&1";
  if (std::system(command.c_str()) == 0) return true;
  std::ifstream log(dir + ".log");
  ADD_FAILURE() << "at ratio " << ratio << ":\n"
                << std::string(std::istreambuf_iterator<char>(log), {});
  return false;
}

QImage grey(const std::string& png) {
  QImage image(QString::fromStdString(png));
  EXPECT_FALSE(image.isNull()) << png;
  return image.convertToFormat(QImage::Format_Grayscale8);
}

int at(const QImage& g, int x, int y) { return g.constScanLine(y)[x]; }

long hardEdges(const QImage& g, int threshold) {
  long n = 0;
  for (int y = 0; y < g.height(); ++y)
    for (int x = 0; x < g.width(); ++x) {
      if (x + 1 < g.width() && std::abs(at(g, x, y) - at(g, x + 1, y)) >= threshold) ++n;
      if (y + 1 < g.height() && std::abs(at(g, x, y) - at(g, x, y + 1)) >= threshold) ++n;
    }
  return n;
}

// Grey difference of the two pictures' cells of 4 x 4 pixels of ratio 1:
// the mean, and the level that all but 0.5 % of the cells stay below.
struct CellDifference {
  double mean = 0, nearlyAll = 0;
};
CellDifference cellDifference(const QImage& ratio1, const QImage& scaled) {
  const QImage down = scaled.scaled(ratio1.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                          .convertToFormat(QImage::Format_Grayscale8);
  constexpr int kCell = 4;
  std::vector<double> differences;
  for (int cy = 0; cy + kCell <= ratio1.height(); cy += kCell)
    for (int cx = 0; cx + kCell <= ratio1.width(); cx += kCell) {
      double a = 0, b = 0;
      for (int y = cy; y < cy + kCell; ++y)
        for (int x = cx; x < cx + kCell; ++x) {
          a += at(ratio1, x, y);
          b += at(down, x, y);
        }
      differences.push_back(std::abs(a - b) / (kCell * kCell));
    }
  CellDifference d;
  if (differences.empty()) return d;
  for (double v : differences) d.mean += v;
  d.mean /= double(differences.size());
  const auto rank = differences.begin() + std::ptrdiff_t(differences.size() * 995 / 1000);
  std::nth_element(differences.begin(), rank, differences.end());
  d.nearlyAll = *rank;
  return d;
}

// How far each pixel of a ratio-2 picture is from the mean of its 2 x 2
// block, summed: zero for a picture of repeated pixels.
double detailInsideBlocks(const QImage& g) {
  double sum = 0;
  for (int y = 0; y + 1 < g.height(); y += 2)
    for (int x = 0; x + 1 < g.width(); x += 2) {
      const int p[] = {at(g, x, y), at(g, x + 1, y), at(g, x, y + 1), at(g, x + 1, y + 1)};
      const double mean = (p[0] + p[1] + p[2] + p[3]) / 4.0;
      for (int v : p) sum += std::abs(v - mean);
    }
  return sum;
}

// What is wrong with `scaled` as the ratio-1 picture `one` drawn at `ratio`;
// empty when nothing is.
std::string fault(const QImage& one, const QImage& scaled, double ratio) {
  std::ostringstream why;
  // Window pixels that are not a whole number of screen pixels round up.
  if (std::abs(scaled.width() - one.width() * ratio) > 1.0 ||
      std::abs(scaled.height() - one.height() * ratio) > 1.0) {
    why << "not drawn at the screen's ratio: " << scaled.width() << " x " << scaled.height();
    return why.str();
  }
  const CellDifference d = cellDifference(one, scaled);
  if (d.mean >= 6.0 || d.nearlyAll >= 80.0) {
    why << "scaled down, it is not the ratio-1 picture (cells differ by " << d.mean
        << " on average, by up to " << d.nearlyAll << " in 99.5 %)";
    return why.str();
  }
  if (ratio != 2.0) return {};
  if (const long edges = hardEdges(one, 160); edges >= 50) {
    const double more = double(hardEdges(scaled, 160)) / double(edges);
    if (more < 1.5) {
      why << "blurred: " << more << " times the hard edges of ratio 1";
      return why.str();
    }
  }
  if (const long edges = hardEdges(one, 96); edges >= 50) {
    const double detail = detailInsideBlocks(scaled) / double(edges);
    if (detail < 100.0) {
      why << "enlarged pixels: detail " << detail << " per edge";
      return why.str();
    }
  }
  return {};
}

void expectScaledCopy(const std::string& ratio1Png, const std::string& scaledPng, double ratio) {
  const QImage one = grey(ratio1Png), scaled = grey(scaledPng);
  if (one.isNull() || scaled.isNull()) return;
  EXPECT_EQ(fault(one, scaled, ratio), "") << scaledPng;
}

// The PDF without its creation time.
std::string drawing(const std::string& pdf) {
  std::ifstream in(pdf, std::ios::binary);
  const std::string bytes(std::istreambuf_iterator<char>(in), {});
  EXPECT_FALSE(bytes.empty()) << pdf;
  static const std::regex created(R"(/CreationDate \(D:[0-9Z+\-']*\))");
  return std::regex_replace(bytes, created, "/CreationDate ()");
}

void expectEveryWindowScaled(const char* ratioText, double ratio) {
  tessivo::test::TempDir dir;
  const std::string one = dir.file("ratio1"), scaled = dir.file("scaled");
  if (!drawAt(one, "1") || !drawAt(scaled, ratioText)) return;
  for (const char* w : kWindows)
    expectScaledCopy(one + "/" + w + ".png", scaled + "/" + w + ".png", ratio);
  for (const char* p : kPictures) {
    const std::string name = std::string("/PICTURE-") + p + ".png";
    expectScaledCopy(one + name, scaled + name, ratio);
  }
  EXPECT_TRUE(drawing(one + "/chart.pdf") == drawing(scaled + "/chart.pdf"))
      << "the chart is drawn differently at ratio " << ratioText;
}

// The comparison itself, on a drawing of letters, a ring and lines made at
// both ratios, and on the three faults made from its ratio-1 picture.
TEST(HighResolution, ComparisonTellsBlurredBlockyAndUnscaledPictures) {
  auto draw = [](double ratio) {
    QImage image(QSize(400, 120) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(QColor(241, 245, 250));
    QPainter p(&image);
    QFont font("IPAGothic");
    font.setPixelSize(20);
    p.setFont(font);
    p.drawText(QPointF(10, 40), QString::fromUtf8("心電図 山田太郎 2024年12月24日"));
    p.drawEllipse(QPointF(60, 85), 30, 20);
    p.drawLine(120, 70, 380, 110);
    p.fillRect(QRect(150, 60, 200, 2), Qt::black);
    p.end();
    return image.convertToFormat(QImage::Format_Grayscale8);
  };
  const QImage one = draw(1), two = draw(2);
  EXPECT_EQ(fault(one, two, 2.0), "");
  const QSize big = one.size() * 2;
  EXPECT_NE(fault(one, one.scaled(big, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), 2.0), "")
      << "blurred";
  EXPECT_NE(fault(one, one.scaled(big, Qt::IgnoreAspectRatio, Qt::FastTransformation), 2.0), "")
      << "blocky";
  QImage unscaled(big, QImage::Format_Grayscale8);
  unscaled.fill(qGray(qRgb(241, 245, 250)));
  {
    QPainter p(&unscaled);
    p.drawImage(0, 0, one);
  }
  EXPECT_NE(fault(one, unscaled, 2.0), "") << "unscaled";
  EXPECT_NE(fault(one, one, 2.0), "") << "the ratio-1 picture itself";
}

TEST(HighResolution, EveryWindowAtRatio2IsTheRatio1PictureDrawnSharpAndTheChartTheSame) {
  expectEveryWindowScaled("2", 2.0);
}

TEST(HighResolution, EveryWindowAtRatio1Point5IsScaledAndTheChartTheSame) {
  expectEveryWindowScaled("1.5", 1.5);
}

}  // namespace
