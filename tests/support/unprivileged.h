// Permissions as an operator's account meets them. Root reads a file
// without read permission and writes into a read-only folder, so a test run
// by root (as CI is) would never see those refusals. For the scope of this
// object the test runs with the effective user id of "nobody" (root keeps
// its real and saved ids and takes the effective one back at the end),
// after opening `folder` and everything in it to every user, except the
// entries already without any permission. Not root: nothing changes. On
// Windows an administrator meets read-only files as anyone does: nothing
// changes there either.
#pragma once

#ifndef _WIN32
#include <sys/types.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <string>

namespace tessivo::test {

#ifdef _WIN32
class UnprivilegedWhileInScope {
 public:
  explicit UnprivilegedWhileInScope(const std::string&) {}
  bool unprivileged() const { return true; }
};
#else
class UnprivilegedWhileInScope {
 public:
  explicit UnprivilegedWhileInScope(const std::string& folder) {
    namespace fs = std::filesystem;
    if (geteuid() != 0) return;
    const fs::perms readWriteForAll = fs::perms::owner_read | fs::perms::owner_write |
                                      fs::perms::group_read | fs::perms::group_write |
                                      fs::perms::others_read | fs::perms::others_write;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
      if (e.is_symlink()) continue;
      const fs::perms now = fs::status(e.path()).permissions();
      if (now == fs::perms::none) continue;
      if (e.is_directory()) {
        // A folder made read-only on purpose stays read-only, for everyone.
        const bool writable = (now & fs::perms::owner_write) != fs::perms::none;
        fs::permissions(e.path(), writable ? fs::perms::all
                                           : fs::perms::all & ~(fs::perms::owner_write |
                                                               fs::perms::group_write |
                                                               fs::perms::others_write));
      } else {
        fs::permissions(e.path(), readWriteForAll);
      }
    }
    fs::permissions(folder, fs::perms::all);
    dropped_ = seteuid(kNobody) == 0;
  }
  ~UnprivilegedWhileInScope() {
    if (dropped_ && seteuid(0) != 0) std::abort();  // the rest of the run would lie
  }
  UnprivilegedWhileInScope(const UnprivilegedWhileInScope&) = delete;
  UnprivilegedWhileInScope& operator=(const UnprivilegedWhileInScope&) = delete;

  // Whether the test now runs without privileges.
  bool unprivileged() const { return geteuid() != 0; }

 private:
  static constexpr uid_t kNobody = 65534;
  bool dropped_ = false;
};
#endif

}  // namespace tessivo::test
