// What a Bitmap holds: the resource name and the decoded picture. Only the
// painting code looks inside.
#pragma once

#include <QImage>
#include <QRect>
#include <map>
#include <tuple>

#include "framework/form/surface.h"

namespace fw {

struct Bitmap::Impl {
  Str name;
  QImage image;

  // The part of the picture a drawing uses, cut once and kept: every page
  // that draws it then hands the engines the same image, which a PDF or a
  // print job stores once instead of once per page.
  const QImage& part(const QRect& source) const {
    if (source == image.rect()) return image;
    const auto key = std::make_tuple(source.x(), source.y(), source.width(), source.height());
    auto it = parts.find(key);
    if (it == parts.end()) it = parts.emplace(key, image.copy(source)).first;
    return it->second;
  }

 private:
  mutable std::map<std::tuple<int, int, int, int>, QImage> parts;
};

}  // namespace fw
