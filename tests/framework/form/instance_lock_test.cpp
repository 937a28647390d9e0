// The single-instance lock: where it lives, who may hold it, and what a lock
// that cannot be taken means.
// POSIX only: the lock's places there and fork(); the Windows lock is LockFileEx.
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "framework/form/dialogs.h"
#include "framework/form/internal/dialog_instance_lock.h"
#include "tests/support/temp_dir.h"

namespace fw {
namespace {

// Sets (or with nullopt unsets) an environment variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) saved_ = old;
    if (value) setenv(name, value->c_str(), 1);
    else unsetenv(name);
  }
  ~ScopedEnv() {
    if (saved_) setenv(name_, saved_->c_str(), 1);
    else unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

bool startsWith(const std::string& s, const std::string& prefix) {
  return s.rfind(prefix, 0) == 0;
}

// Runs fn in a child process; its return value is the child's exit code.
template <class F>
int inChild(F fn) {
  pid_t child = fork();
  if (child == 0) _exit(fn());
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A launcher that sets its own TMPDIR must not give a second copy a lock of
// its own: both copies would then run on the same EKG_SYS and EKG_DATA.
TEST(InstanceLock, PathDoesNotFollowTmpdir) {
  tessivo::test::TempCwd a, b;
  std::string first, second;
  {
    ScopedEnv tmp("TMPDIR", a.path());
    first = internal::instanceLockPath();
  }
  {
    ScopedEnv tmp("TMPDIR", b.path());
    second = internal::instanceLockPath();
  }
  EXPECT_EQ(first, second);
  EXPECT_FALSE(startsWith(first, a.path()));
  EXPECT_FALSE(startsWith(second, b.path()));
}

TEST(InstanceLock, PathIsInThePrivateRuntimeDirectoryElsePerUser) {
  tessivo::test::TempCwd runtime;
  const std::string uid = std::to_string(geteuid());
  {
    ASSERT_EQ(chmod(runtime.path().c_str(), 0700), 0);
    ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.path());
    EXPECT_TRUE(startsWith(internal::instanceLockPath(), runtime.path() + "/"));
  }
  {
    // A directory others may write to could hold a lock file planted by them.
    ASSERT_EQ(chmod(runtime.path().c_str(), 0777), 0);
    ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.path());
    EXPECT_FALSE(startsWith(internal::instanceLockPath(), runtime.path()));
  }
  {
    ScopedEnv xdg("XDG_RUNTIME_DIR", "relative/dir");
    const std::string path = internal::instanceLockPath();
    EXPECT_TRUE(startsWith(path, "/run/user/" + uid + "/") ||
                path.find("-" + uid + ".lock") != std::string::npos)
        << path;
  }
}

// A lock that cannot be checked must keep a second copy out, and say why.
TEST(InstanceLock, LockFileThatCannotBeOpenedIsNotAcquired) {
  tessivo::test::TempCwd dir;
  {
    internal::InstanceLock lock;
    EXPECT_FALSE(lock.tryAcquire(dir.path() + "/missing/TESSIVO.lock"));
    EXPECT_FALSE(lock.held());
    EXPECT_NE(lock.failure().find(dir.path() + "/missing/TESSIVO.lock"), std::string::npos)
        << lock.failure();
  }
  {
    // A link planted in a shared directory is not followed.
    std::filesystem::create_symlink(dir.path() + "/elsewhere", dir.path() + "/LINKED.lock");
    internal::InstanceLock lock;
    EXPECT_FALSE(lock.tryAcquire(dir.path() + "/LINKED.lock"));
    EXPECT_FALSE(lock.failure().empty());
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "/elsewhere"));
  }
  {
    // Held by another process: not acquired, and nothing is wrong.
    const std::string path = dir.path() + "/TESSIVO.lock";
    internal::InstanceLock first;
    ASSERT_TRUE(first.tryAcquire(path));
    EXPECT_EQ(inChild([&] {
                internal::InstanceLock second;
                return !second.tryAcquire(path) && second.failure().empty() ? 0 : 1;
              }),
              0);
  }
}

// A process that died holding the lock leaves the file behind but not the lock.
TEST(InstanceLock, LockOfAnExitedProcessDoesNotBlock) {
  tessivo::test::TempCwd dir;
  const std::string path = dir.path() + "/TESSIVO.lock";
  ASSERT_EQ(inChild([&] {
              internal::InstanceLock lock;
              return lock.tryAcquire(path) && lock.held() ? 0 : 1;  // no unlock: as a crash
            }),
            0);
  internal::InstanceLock lock;
  EXPECT_TRUE(lock.tryAcquire(path));
}

TEST(PreviousInstance, AnotherProcessSeesTheProgramsLock) {
  const QString savedName = QCoreApplication::applicationName();
  QCoreApplication::setApplicationName(QStringLiteral("tessivo_lock_%1").arg(getpid()));
  const std::string path = internal::instanceLockPath();
  EXPECT_NE(path.find("TESSIVO_LOCK_"), std::string::npos);
  EXPECT_FALSE(previousInstance());
  EXPECT_FALSE(previousInstance());  // the lock is kept, not taken again
  const int code = inChild([&] {
    internal::InstanceLock other;
    return other.tryAcquire(path) ? 1 : 0;
  });
  QCoreApplication::setApplicationName(savedName);
  EXPECT_EQ(code, 0) << "a second process could take the lock";
}

}  // namespace
}  // namespace fw
#endif  // _WIN32
