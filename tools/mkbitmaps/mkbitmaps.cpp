// mkbitmaps: draws the pictures the program carries in its resources.
//
//   mkbitmaps OUTDIR
//
// writes OUTDIR/CHECK_1 and OUTDIR/CHECK_2, the check marks printed beside the
// exercise-test choices of the chart (24-bit BMP files, 202 x 134 pixels, a
// tick on white: black for CHECK_1, light blue RGB(0, 162, 232) for CHECK_2),
// and OUTDIR/ekg.png, the program icon (64 x 64, a heart-beat trace).
// Exits with status 1 when a file cannot be written.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

constexpr int kCheckWidth = 202;
constexpr int kCheckHeight = 134;

struct Rgb {
  uint8_t r, g, b;
};

struct Point {
  double x, y;
};

double distanceToSegment(Point p, Point a, Point b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  double t = ((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy);
  t = t < 0 ? 0 : (t > 1 ? 1 : t);
  const double ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
  return std::sqrt(ex * ex + ey * ey);
}

void putLe(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A tick like the katakana "レ": a short stroke down to the bottom point and
// a long one up to the top right. Pixels are either white or the stroke
// colour, without blending, so the printed mark has one colour.
bool writeCheck(const std::string& path, Rgb stroke) {
  const Point shortTop{42, 64}, bottom{84, 112}, longTop{168, 20};
  const double halfWidth = 8.0;

  const uint32_t rowBytes = (kCheckWidth * 3 + 3) & ~3u;  // rows padded to 4 bytes
  const uint32_t imageBytes = rowBytes * kCheckHeight;
  const uint32_t headerBytes = 14 + 40;
  std::string out;
  // BITMAPFILEHEADER
  out += "BM";
  putLe(out, headerBytes + imageBytes, 4);
  putLe(out, 0, 4);  // reserved
  putLe(out, headerBytes, 4);
  // BITMAPINFOHEADER; a positive height means rows are stored bottom-up.
  putLe(out, 40, 4);
  putLe(out, kCheckWidth, 4);
  putLe(out, kCheckHeight, 4);
  putLe(out, 1, 2);   // planes
  putLe(out, 24, 2);  // bits per pixel
  putLe(out, 0, 4);   // no compression
  putLe(out, imageBytes, 4);
  putLe(out, 3780, 4);  // 96 dots per inch, in pixels per metre
  putLe(out, 3780, 4);
  putLe(out, 0, 4);
  putLe(out, 0, 4);

  for (int row = kCheckHeight - 1; row >= 0; --row) {
    std::string line;
    for (int col = 0; col < kCheckWidth; ++col) {
      const Point p{col + 0.5, row + 0.5};
      const bool ink = distanceToSegment(p, shortTop, bottom) <= halfWidth ||
                       distanceToSegment(p, bottom, longTop) <= halfWidth;
      const Rgb c = ink ? stroke : Rgb{255, 255, 255};
      line.push_back(static_cast<char>(c.b));
      line.push_back(static_cast<char>(c.g));
      line.push_back(static_cast<char>(c.r));
    }
    line.resize(rowBytes, '\0');
    out += line;
  }

  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(out.data(), static_cast<std::streamsize>(out.size()));
  return static_cast<bool>(file.flush());
}

// A green trace with one beat on a dark monitor screen.
bool writeIcon(const std::string& path) {
  constexpr int kSize = 64;
  QImage image(kSize, kSize, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(40, 60, 70), 2));
  painter.setBrush(QColor(16, 32, 40));
  painter.drawRoundedRect(QRectF(2, 6, 60, 52), 8, 8);

  QPainterPath trace;
  trace.moveTo(6, 34);
  trace.lineTo(20, 34);
  trace.lineTo(24, 30);
  trace.lineTo(27, 34);
  trace.lineTo(30, 34);
  trace.lineTo(33, 14);
  trace.lineTo(37, 48);
  trace.lineTo(40, 34);
  trace.lineTo(46, 34);
  trace.lineTo(50, 28);
  trace.lineTo(54, 34);
  trace.lineTo(58, 34);
  painter.setPen(QPen(QColor(60, 230, 90), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(trace);
  painter.end();
  return image.save(QString::fromStdString(path), "PNG");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  const struct {
    std::string path;
    bool ok;
  } results[] = {
      {dir + "/CHECK_1", writeCheck(dir + "/CHECK_1", {0, 0, 0})},
      {dir + "/CHECK_2", writeCheck(dir + "/CHECK_2", {0, 162, 232})},
      {dir + "/ekg.png", writeIcon(dir + "/ekg.png")},
  };
  int status = 0;
  for (const auto& r : results) {
    if (!r.ok) {
      std::fprintf(stderr, "%s: cannot write\n", r.path.c_str());
      status = 1;
    }
  }
  return status;
}
