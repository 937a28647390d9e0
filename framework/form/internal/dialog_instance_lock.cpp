#include "framework/form/internal/dialog_instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cerrno>

namespace fw::internal {

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) ::close(fd_);  // closing the last descriptor drops the flock
}

bool InstanceLock::tryAcquire(const std::string& path) {
  if (fd_ >= 0) return true;
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return true;
  int rc;
  do {
    rc = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    bool busy = errno == EWOULDBLOCK;
    ::close(fd);
    return !busy;
  }
  fd_ = fd;
  return true;
}

std::string instanceLockPath() {
  QString name = QCoreApplication::applicationName();
  if (name.isEmpty() && QCoreApplication::instance())
    name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
  if (name.isEmpty()) name = QStringLiteral("tessivo");
  return QDir(QDir::tempPath()).filePath(name.toUpper() + QStringLiteral(".lock")).toStdString();
}

}  // namespace fw::internal
