#include <QFile>
#include <QImage>
#include <QString>
#include <map>

#include "framework/core/cp932.h"
#include "framework/core/error.h"
#include "framework/form/internal/bitmap_impl.h"

namespace fw {

Bitmap Bitmap::load(const Str& resourceName) {
  // A picture is decoded once and shared: a document that draws it on many
  // pages then holds it once (the PDF and print engines recognise the same
  // image), instead of once per page. Pictures are never changed once loaded.
  static std::map<Str, std::shared_ptr<const Impl>> loaded;
  if (auto it = loaded.find(resourceName); it != loaded.end()) {
    Bitmap bitmap;
    bitmap.impl_ = std::const_pointer_cast<Impl>(it->second);
    return bitmap;
  }
  // The pictures are compiled into the program under :/bitmaps/<name>.
  const QString path = QStringLiteral(":/bitmaps/") + QString::fromStdString(toUtf8(resourceName));
  QImage image;
  if (resourceName.empty() || !QFile::exists(path) || !image.load(path))
    raise(err::BitmapLoad);
  Bitmap bitmap;
  auto impl = std::make_shared<Impl>();
  impl->name = resourceName;
  impl->image = std::move(image);
  loaded.emplace(resourceName, impl);
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
