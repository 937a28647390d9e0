// A Surface that records every drawing call instead of drawing: tests of the
// chart layout and the window marks read the list of texts, shapes and
// bitmaps with their positions, faces, sizes and colours.
#pragma once

#include <string>
#include <vector>

#include "framework/form/surface_state.h"

namespace fw {

struct DrawCall {
  enum Type { Text, Line, Circle, Bitmap, Clear } type;
  double x = 0, y = 0;        // text: current position; line: start; circle: centre; bitmap: top-left
  double x2 = 0, y2 = 0;      // line: end; bitmap: width, height
  Str text;                   // text drawn; bitmap: resource name
  Str face;                   // font face at the time of the call
  float size = 0;             // font size in points
  bool bold = false;
  uint32_t colour = 0;        // RGB of the text or outline (foreground or explicit shape colour)
  uint32_t fill = 0;          // filled box or circle: RGB of the inside; else 0
  bool inverted = false;      // text in colour mode 1 or 5: opaque cell in `colour`,
  uint32_t background = 0;    //   letters in this background colour of the time
  double radius = 0;
  float aspect = 1.0f;
  double lineWidth = 0;
  int kind = 0;               // line kind; circle: 1 when filled
  int scaleMode = 0;
  int srcX = 0, srcY = 0, srcW = 0, srcH = 0;  // bitmap source rectangle
};

class RecordingSurface : public SurfaceState {
 public:
  // lineHeight: scale units one print moves down (fixed, since nothing is measured).
  explicit RecordingSurface(double lineHeight = 100);
  std::vector<DrawCall> calls;
  // Texts only, in drawing order.
  std::vector<DrawCall> texts() const;

  void clear() override;
  void print(const Str& text) override;
  void line(double x1, double y1, double x2, double y2, int colour, int kind) override;
  void circle(double x, double y, double r, int colour, float aspect, double startAngle,
              double endAngle, bool filled) override;
  void drawBitmap(double x, double y, double width, double height, const fw::Bitmap& bitmap,
                  int srcX, int srcY, int srcWidth, int srcHeight) override;

 private:
  DrawCall shapeCall(DrawCall::Type type, double x, double y, int colour, bool filled) const;
  double lineHeight_;
};

// The two fixed palettes (RGB, red lowest).
uint32_t foregroundPaletteColour(int number, int mode);  // colour statement
uint32_t shapePaletteColour(int number);                 // explicit shape colour

}  // namespace fw
