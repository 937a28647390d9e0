// The single-instance lock: an exclusive lock on a lock file (flock on
// POSIX, LockFileEx on Windows; platform/instance_lock_*.cpp).
//
// The system drops the lock when its holder exits, crashed or not, so a lock
// file left behind by a dead process never blocks a new start. The file
// itself is left in place.
#pragma once

#include <cstdint>
#include <string>

namespace fw::internal {

class InstanceLock {
 public:
  InstanceLock() = default;
  ~InstanceLock();  // releases the lock
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Tries to take the lock on path (created when missing, mode 0600).
  // Returns true only when this object holds it. False when another holder
  // has it, and also when the file cannot be opened or locked or belongs to
  // another user: a guard that cannot be checked must not let a second copy
  // run on the same data. failure() then says why.
  bool tryAcquire(const std::string& path);
  bool held() const { return handle_ != kNone; }
  // Empty when the last tryAcquire succeeded or found another holder.
  const std::string& failure() const { return failure_; }

 private:
  // A descriptor on POSIX, a HANDLE on Windows.
  static constexpr std::intptr_t kNone = -1;
  std::intptr_t handle_ = kNone;
  std::string failure_;
};

// One lock per user session, whatever TMPDIR a launcher passes on. On POSIX
// $XDG_RUNTIME_DIR/<NAME>.lock when that is a private directory of this
// user, else /run/user/<uid>/<NAME>.lock (where a login session keeps it),
// else /tmp/<NAME>-<uid>.lock; on Windows %LOCALAPPDATA%\<NAME>.lock (the
// user's own profile). NAME is the program file's name in upper case
// ("TESSIVO").
std::string instanceLockPath();

// NAME above, from the application's name or its program file.
std::string programLockName();

}  // namespace fw::internal
