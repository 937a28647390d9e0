// The single-instance lock on Windows: LockFileEx on a file of the user's
// own local profile folder, which no other user can write to.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <QDir>
#include <QString>

#include "framework/form/internal/dialog_instance_lock.h"

namespace fw::internal {

namespace {

std::string reason(const std::string& path, const char* what, DWORD error) {
  return "the single-instance lock " + path + " " + what + ": Windows error " +
         std::to_string(error);
}

}  // namespace

InstanceLock::~InstanceLock() {
  // Closing the handle drops its lock.
  if (handle_ != kNone) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool InstanceLock::tryAcquire(const std::string& path) {
  if (handle_ != kNone) return true;
  failure_.clear();
  const std::wstring name = QDir::toNativeSeparators(QString::fromStdString(path)).toStdWString();
  // A reparse point is opened as itself, not followed: a link planted in the
  // folder must not make this program lock a file of someone else's choice.
  HANDLE file = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    failure_ = reason(path, "cannot be opened", GetLastError());
    return false;
  }
  OVERLAPPED whole{};
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole)) {
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING)
      failure_ = reason(path, "cannot be locked", error);
    return false;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  return true;
}

std::string instanceLockPath() {
  const std::string name = programLockName();
  // The local (not roaming) profile: the lock belongs to this computer.
  const QString base = qEnvironmentVariable("LOCALAPPDATA", QDir::tempPath());
  return QDir::fromNativeSeparators(base).toStdString() + "/" + name + ".lock";
}

}  // namespace fw::internal
