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
// A font for the screen at 96 dpi: the character height in pixels is
// round(points * 96 / 72), as the window definitions were designed.
QFont screenFont(const Str& cp932Face, double points, bool bold, bool italic = false,
                 bool underline = false);
// The same for any device: the character height in device pixels is
// round(points * dotsPerInch / 72), so text keeps its size in inches on a
// 300, 600 or 1200 dpi printer.
QFont deviceFont(const Str& cp932Face, double points, double dotsPerInch, bool bold,
                 bool italic = false, bool underline = false);

}  // namespace fw::internal
