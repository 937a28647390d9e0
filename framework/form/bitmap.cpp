#include <QFile>
#include <QImage>
#include <QString>

#include "framework/core/cp932.h"
#include "framework/core/error.h"
#include "framework/form/internal/bitmap_impl.h"

namespace fw {

Bitmap Bitmap::load(const Str& resourceName) {
  // The pictures are compiled into the program under :/bitmaps/<name>.
  const QString path = QStringLiteral(":/bitmaps/") + QString::fromStdString(toUtf8(resourceName));
  QImage image;
  if (resourceName.empty() || !QFile::exists(path) || !image.load(path))
    raise(err::BitmapLoad);
  Bitmap bitmap;
  auto impl = std::make_shared<Impl>();
  impl->name = resourceName;
  impl->image = std::move(image);
  bitmap.impl_ = std::move(impl);
  return bitmap;
}

Bitmap::Bitmap() = default;
Bitmap::~Bitmap() = default;
Bitmap::Bitmap(const Bitmap&) = default;
Bitmap& Bitmap::operator=(const Bitmap&) = default;

const Str& Bitmap::name() const {
  static const Str none;
  return impl_ ? impl_->name : none;
}

int Bitmap::width() const { return impl_ ? impl_->image.width() : 0; }
int Bitmap::height() const { return impl_ ? impl_->image.height() : 0; }

}  // namespace fw
