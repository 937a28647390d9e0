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

  // Tries to take the lock on path (created when missing). Returns true when
  // taken, false when another holder has it. A file that cannot be opened
  // counts as taken: the program then runs without the guard rather than
  // refusing to start.
  bool tryAcquire(const std::string& path);
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// <temporary directory>/<NAME>.lock, NAME being the program file's name in
// upper case ("TESSIVO").
std::string instanceLockPath();

}  // namespace fw::internal
