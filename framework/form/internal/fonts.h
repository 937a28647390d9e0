// Font faces of the window definitions and the chart mapped to installed
// faces: "ＭＳ ゴシック" -> IPAGothic, "ＭＳ Ｐゴシック" -> IPAPGothic,
// "ＭＳ 明朝" -> IPAMincho, "FixedSys" -> a monospaced face; where the
// Windows faces are installed they are used as they are. Any other face is
// used when it is installed, else the default family takes its place.
#pragma once

#include <QFont>
#include <QString>

#include "framework/core/str.h"

namespace fw::internal {

QString mapFace(const Str& cp932Face);

// Screen fonts turn points into pixels with the display's physical
// resolution, not the logical 96 dpi of the window geometry; the windows were
// laid out where that came to one pixel per point. The drawn words of the main
// window then sit centred in their rings (外来 at x 547, 20 pt, two characters:
// centre 567, the ring's centre) and FORM4's explanation lines of 23 characters
// at 14 pt fill its 331-pixel frame; at 96 dpi both overflow.
inline constexpr double kScreenFontDotsPerInch = 72.0;
// A font for the screen: the character height in pixels is
// round(points * kScreenFontDotsPerInch / 72).
QFont screenFont(const Str& cp932Face, double points, bool bold, bool italic = false,
                 bool underline = false);
// The same for any device: the character height in device pixels is
// round(points * dotsPerInch / 72), so text keeps its size in inches on a
// 300, 600 or 1200 dpi printer.
QFont deviceFont(const Str& cp932Face, double points, double dotsPerInch, bool bold,
                 bool italic = false, bool underline = false);

}  // namespace fw::internal
