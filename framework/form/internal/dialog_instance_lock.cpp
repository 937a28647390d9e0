#include "framework/form/internal/dialog_instance_lock.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace fw::internal {

std::string programLockName() {
  QString name = QCoreApplication::applicationName();
  if (name.isEmpty() && QCoreApplication::instance())
    name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
  if (name.isEmpty()) name = QStringLiteral("tessivo");
  return name.toUpper().toStdString();
}

}  // namespace fw::internal
