// The single-instance lock: an exclusive flock on a lock file.
//
// The kernel drops a flock when its holder exits, crashed or not, so a lock
// file left behind by a dead process never blocks a new start. The file
// itself is left in place.
#pragma once

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
  bool held() const { return fd_ >= 0; }
  // Empty when the last tryAcquire succeeded or found another holder.
  const std::string& failure() const { return failure_; }

 private:
  int fd_ = -1;
  std::string failure_;
};

// One lock per user session, whatever TMPDIR a launcher passes on:
// $XDG_RUNTIME_DIR/<NAME>.lock when that is a private directory of this
// user, else /run/user/<uid>/<NAME>.lock (where a login session keeps it),
// else /tmp/<NAME>-<uid>.lock. NAME is the program file's name in upper
// case ("TESSIVO").
std::string instanceLockPath();

}  // namespace fw::internal
