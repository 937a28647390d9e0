#include "framework/form/internal/fonts.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "framework/core/cp932.h"

namespace fw::internal {

namespace {

struct FaceSubstitute {
  const char* windowsFace;            // as the window definitions name it (UTF-8)
  const char* windowsEnglishFace;     // the same face under its English name
  QStringList substitutes;            // installed faces with the same metrics, best first
};

// The IPA fonts have the cell layout of the MS fonts: half-width characters
// exactly half as wide as full-width ones in the fixed-pitch faces, so the
// chart's columns line up as they were designed.
const std::vector<FaceSubstitute>& substitutes() {
  static const std::vector<FaceSubstitute> table = {
      {"ＭＳ ゴシック", "MS Gothic", {"IPAGothic", "IPAゴシック", "Noto Sans Mono CJK JP"}},
      {"ＭＳ Ｐゴシック", "MS PGothic", {"IPAPGothic", "IPA Pゴシック", "Noto Sans CJK JP"}},
      {"ＭＳ 明朝", "MS Mincho", {"IPAMincho", "IPA明朝", "Noto Serif CJK JP"}},
      {"ＭＳ Ｐ明朝", "MS PMincho", {"IPAPMincho", "IPA P明朝", "Noto Serif CJK JP"}},
      {"FixedSys", "Fixedsys", {"DejaVu Sans Mono", "Liberation Mono", "Monospace"}},
  };
  return table;
}

QString findFace(const Str& cp932Face) {
  const QString face = QString::fromStdString(toUtf8(cp932Face)).trimmed();
  for (const FaceSubstitute& entry : substitutes()) {
    const QString windowsFace = QString::fromUtf8(entry.windowsFace);
    const QString englishFace = QString::fromUtf8(entry.windowsEnglishFace);
    if (face.compare(windowsFace, Qt::CaseInsensitive) != 0 &&
        face.compare(englishFace, Qt::CaseInsensitive) != 0)
      continue;
    if (QFontDatabase::hasFamily(windowsFace)) return windowsFace;
    if (QFontDatabase::hasFamily(englishFace)) return englishFace;
    for (const QString& candidate : entry.substitutes)
      if (QFontDatabase::hasFamily(candidate)) return candidate;
    // Nothing suitable installed: the generic family at least keeps the pitch.
    return entry.substitutes.back();
  }
  if (QFontDatabase::hasFamily(face)) return face;
  // A face that is not installed is drawn in the default family either way,
  // but Qt keeps what it looked up for every family name it is asked for:
  // damaged definitions naming a new face in every window would make that
  // grow without end.
  return QGuiApplication::font().family();
}

}  // namespace

QString mapFace(const Str& cp932Face) {
  // Asking the font database costs a fontconfig search each time, and every
  // printed text names its face: a chart sheet of 34 items would spend most
  // of its time there. The installed faces do not change while the program
  // runs, and the program names only a handful of faces.
  static std::map<Str, QString> found;
  auto it = found.find(cp932Face);
  if (it == found.end()) it = found.emplace(cp932Face, findFace(cp932Face)).first;
  return it->second;
}

QFont deviceFont(const Str& cp932Face, double points, double dotsPerInch, bool bold,
                 bool italic, bool underline) {
  QFont font(mapFace(cp932Face));
  font.setPixelSize(std::max(1, int(std::lround(points * dotsPerInch / 72.0))));
  font.setBold(bold);
  font.setItalic(italic);
  font.setUnderline(underline);
  // Design advances, not hinted ones: a full-width character stays exactly
  // two half-width characters wide at every size, and a page measures the
  // same on every printer resolution.
  font.setHintingPreference(QFont::PreferNoHinting);
  font.setStyleStrategy(QFont::PreferMatch);
  return font;
}

QFont screenFont(const Str& cp932Face, double points, bool bold, bool italic, bool underline) {
  return deviceFont(cp932Face, points, kScreenFontDotsPerInch, bold, italic, underline);
}

}  // namespace fw::internal
