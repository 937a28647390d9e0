#include "framework/form/internal/dialog_owner.h"

#include <QApplication>
#include <QWidget>
#include <utility>

#include "framework/form/window.h"

namespace fw::internal {
namespace {

DialogOwnerResolver& installedResolver() {
  static DialogOwnerResolver resolver;
  return resolver;
}

}  // namespace

void setDialogOwnerResolver(DialogOwnerResolver resolver) {
  installedResolver() = std::move(resolver);
}

DialogOwner resolveDialogOwner(Window* owner) {
  if (const auto& resolver = installedResolver()) return resolver(owner);
  DialogOwner result;
  result.widget = qobject_cast<QApplication*>(QCoreApplication::instance())
                      ? QApplication::activeWindow()
                      : nullptr;
  result.name = owner ? owner->name() : Str("MAINFORM");
  return result;
}

}  // namespace fw::internal
