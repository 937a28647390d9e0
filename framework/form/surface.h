// A drawing surface: a window's picture or a printer page.
//
// The surface keeps the drawing attributes (scale mode, current position,
// colours, line width, font) and converts scale units to device units. All
// coordinates are in the current scale units, origin top-left, y downward:
// 0 character cells, 1 device pixels, 2 = 0.1 mm, 3 = 0.01 mm, 4 = 0.01 inch,
// 5 = 0.001 inch, 6 = 1/1440 inch (twips). On a printer (0, 0) is the first
// printable dot. Colours are 24-bit RGB with red in the lowest byte.
// Errors: 5 bad mode / colour number / line kind, negative line width, type
// size not in (0, 2048] or an empty bitmap source; 6 RGB above 0xFFFFFF;
// 1000 no device or no bitmap loaded.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/core/str.h"

namespace fw {

// Scale modes of setScaleMode.
namespace scale {
inline constexpr int CharacterCells = 0;
inline constexpr int Pixels = 1;
inline constexpr int TenthMillimetres = 2;
inline constexpr int HundredthMillimetres = 3;
inline constexpr int HundredthInches = 4;
inline constexpr int ThousandthInches = 5;
inline constexpr int Twips = 6;
}  // namespace scale

class Bitmap;

inline constexpr uint32_t rgb(int r, int g, int b) {
  return uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16);
}

class Surface {
 public:
  virtual ~Surface() = default;

  virtual void setScaleMode(int mode) = 0;         // 0..6, else error 5
  virtual int scaleMode() const = 0;
  virtual void clear() = 0;                        // fill with background, forget drawings

  virtual void setPosition(double x, double y) = 0;
  virtual double currentX() const = 0;
  virtual double currentY() const = 0;
  // Text in the current font and foreground colour, transparent background,
  // top-left of the first character cell at the current position; afterwards
  // the position is x = 0, one line lower. CR and LF inside the text act.
  virtual void print(const Str& text) = 0;

  // Colour statement: numbers 0..15 from the foreground palette; `which` is
  // a bit set (1 fore, 2 back, 4 border, 8 mode); modes 4 and 5 use the
  // bright half of the palette.
  virtual void color(int fore, int back, int border, int mode, int which) = 0;
  virtual void setForeColor(uint32_t rgb) = 0;
  virtual void setBackColor(uint32_t rgb) = 0;
  virtual void setFillColor(uint32_t rgb) = 0;
  virtual uint32_t foreColor() const = 0;
  virtual uint32_t backColor() const = 0;
  virtual void setLineWidth(double width) = 0;     // scale units, 0 = thinnest

  // kind 0 line, 1 box outline, 2 filled box. colour -1: the foreground
  // colour (fill colour for a filled box when one is set), else a number of
  // the shape palette 0..15.
  virtual void line(double x1, double y1, double x2, double y2, int colour = -1,
                    int kind = 0) = 0;
  // Ellipse around (x, y): horizontal radius r, vertical r * aspect. Angles
  // 0, 0 draw the whole outline.
  virtual void circle(double x, double y, double r, int colour = -1, float aspect = 1.0f,
                      double startAngle = 0, double endAngle = 0, bool filled = false) = 0;

  virtual void setFontName(const Str& face) = 0;   // CP932 face, e.g. "ＭＳ ゴシック"
  virtual void setFontSize(float points) = 0;
  virtual void setFontBold(bool on) = 0;
  virtual void setFontItalic(bool on) = 0;
  virtual void setFontUnderline(bool on) = 0;
  virtual Str fontName() const = 0;
  virtual float fontSize() const = 0;
  virtual bool fontBold() const = 0;

  // Draws the source rectangle of the bitmap (pixels) stretched to the
  // destination rectangle (scale units) with its top-left at (x, y).
  virtual void drawBitmap(double x, double y, double width, double height, const Bitmap& bitmap,
                          int srcX, int srcY, int srcWidth, int srcHeight) = 0;
};

// A picture from the program's resources ("CHECK_1", "CHECK_2").
class Bitmap {
 public:
  // Loads the bitmap resource; error 1010 when there is none.
  static Bitmap load(const Str& resourceName);
  Bitmap();
  ~Bitmap();
  Bitmap(const Bitmap&);
  Bitmap& operator=(const Bitmap&);
  const Str& name() const;
  int width() const;
  int height() const;
  struct Impl;
  const Impl* impl() const { return impl_.get(); }

 private:
  std::shared_ptr<Impl> impl_;
};

// The colour of number 0..15 of the text palette (8..15 the bright half), as
// the colour statement picks it.
uint32_t textPaletteColour(int number);

// Draws `text` twice: in `shadowRgb` one pixel right of and below (x, y),
// then in `textRgb` at (x, y); the engraved look of titles, headings and
// notes. Leaves the foreground colour at `textRgb`.
void printWithShadow(Surface& s, double x, double y, const Str& text, uint32_t shadowRgb,
                     uint32_t textRgb);

}  // namespace fw
