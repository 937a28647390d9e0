// Font faces of the window definitions and the chart mapped to installed
// faces: "ＭＳ ゴシック" -> IPAGothic, "ＭＳ Ｐゴシック" -> IPAPGothic,
// "ＭＳ 明朝" -> IPAMincho, "FixedSys" -> a monospaced face; where the
// Windows faces are installed they are used as they are.
#pragma once

#include <QFont>
#include <QString>

#include "framework/core/str.h"

namespace fw::internal {

QString mapFace(const Str& cp932Face);

// Screen fonts turn points into pixels with the display's physical
// resolution, not the logical 96 dpi of the window geometry. The windows were
// laid out on a 1024 x 768 display that reports 240 mm of height: 768 x 254 /
// (240 x 720) = 1.1289 pixels per point. The drawn words of the main window
// end exactly where their click areas end at this resolution, and the labels
// fit their boxes; at 96 dpi both overflow.
inline constexpr double kScreenFontDotsPerInch = 768.0 * 25.4 / 240.0;
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
