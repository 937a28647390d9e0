// The single-instance lock on POSIX: flock on a file of this user's runtime
// directory.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "framework/form/internal/dialog_instance_lock.h"

namespace fw::internal {

namespace {

// A runtime directory is trusted only when no other user can place files
// in it: otherwise another user could hold the lock file.
bool privateDirectoryOfThisUser(const std::string& dir) {
  if (dir.empty() || dir.front() != '/') return false;
  struct stat st {};
  if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  return st.st_uid == ::geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

std::string reason(const std::string& path, const char* what, int error) {
  return "the single-instance lock " + path + " " + what + ": " + std::strerror(error);
}

}  // namespace

InstanceLock::~InstanceLock() {
  // Closing the last descriptor drops the flock.
  if (handle_ != kNone) ::close(static_cast<int>(handle_));
}

bool InstanceLock::tryAcquire(const std::string& path) {
  if (handle_ != kNone) return true;
  failure_.clear();
  // No link is followed: in a shared directory a link planted by another
  // user would make this program lock (or create) a file of their choice.
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) {
    failure_ = reason(path, "cannot be opened", errno);
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || st.st_uid != ::geteuid()) {
    failure_ = reason(path, "belongs to another user", EPERM);
    ::close(fd);
    return false;
  }
  int rc;
  do {
    rc = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    const int error = errno;
    ::close(fd);
    if (error != EWOULDBLOCK) failure_ = reason(path, "cannot be locked", error);
    return false;
  }
  handle_ = fd;
  return true;
}

std::string instanceLockPath() {
  const std::string name = programLockName();
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
      runtime && privateDirectoryOfThisUser(runtime))
    return std::string(runtime) + "/" + name + ".lock";
  const std::string uid = std::to_string(::geteuid());
  if (const std::string session = "/run/user/" + uid; privateDirectoryOfThisUser(session))
    return session + "/" + name + ".lock";
  return "/tmp/" + name + "-" + uid + ".lock";
}

}  // namespace fw::internal
