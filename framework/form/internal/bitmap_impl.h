// What a Bitmap holds: the resource name and the decoded picture. Only the
// painting code looks inside.
#pragma once

#include <QImage>

#include "framework/form/surface.h"

namespace fw {

struct Bitmap::Impl {
  Str name;
  QImage image;
};

}  // namespace fw
