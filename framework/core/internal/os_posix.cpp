#include <dirent.h>
#include <fcntl.h>
#include <iconv.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "framework/core/error.h"
#include "framework/core/internal/os.h"
#include "framework/core/internal/share_reservation.h"

namespace fw::os {
namespace {

int errorOf(int e) {
  switch (e) {
    case 0: return 0;
    case ENOENT: return err::FileNotFound;
    case ENOTDIR: return err::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return err::FileAccess;
    case ETXTBSY:
    case EBUSY: return err::SharingViolation;
    case ELOOP:
    case EILSEQ: return err::BadFileName;
    case EEXIST: return err::AlreadyExists;
    case ENAMETOOLONG: return err::BadFileName;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return err::DiskFull;
    case EAGAIN: return err::LockViolation;
    case ENOMEM: return err::OutOfMemory;
    case EMFILE:
    case ENFILE: return err::FileAccess;
    default: return err::IoError;
  }
}

int lastError() { return errorOf(errno); }

int fd(FileHandle file) { return static_cast<int>(file); }

// A lock request that never waits. A conflict is err::LockViolation (POSIX
// lets F_SETLK report it as EAGAIN or EACCES).
int setLock(FileHandle file, std::int64_t start, std::int64_t length, short type) {
  struct flock l {};
  l.l_type = type;
  l.l_whence = SEEK_SET;
  l.l_start = start;
  l.l_len = length;
  int rc;
  do {
    rc = fcntl(fd(file), F_OFD_SETLK, &l);
  } while (rc != 0 && errno == EINTR);
  if (rc == 0) return 0;
  return errno == EAGAIN || errno == EACCES ? err::LockViolation : lastError();
}

// 1 when another open holds a lock that `type` would meet, 0 when none, or
// minus the error of a failed test.
int heldByOthers(FileHandle file, std::int64_t start, std::int64_t length, short type) {
  struct flock l {};
  l.l_type = type;
  l.l_whence = SEEK_SET;
  l.l_start = start;
  l.l_len = length;
  if (fcntl(fd(file), F_OFD_GETLK, &l) != 0) return -lastError();
  return l.l_type != F_UNLCK ? 1 : 0;
}

// ---- sharing reservations (share_reservation.h) ----
//
// Reservations are shared OFD locks, tested with F_OFD_GETLK. An exclusive
// lock on a reservation byte is a Windows copy's moment of testing it.

void pauseForATest() { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }

// 1 when another open reserves `byte`, 0 when none, or minus the error of a
// failed test.
int reservedByOthers(FileHandle file, ReservedByte byte) {
  for (int look = 1;; ++look) {
    struct flock l {};
    l.l_type = F_WRLCK;
    l.l_whence = SEEK_SET;
    l.l_start = kDataLimit + byte;
    l.l_len = 1;
    if (fcntl(fd(file), F_OFD_GETLK, &l) != 0) return -lastError();
    if (l.l_type == F_UNLCK) return 0;
    if (l.l_type == F_RDLCK || look == kLooksAtATest) return 1;
    pauseForATest();
  }
}

int reserve(FileHandle file, ReservedByte byte) {
  for (int attempt = 1;; ++attempt) {
    const int e = setLock(file, kDataLimit + byte, 1, F_RDLCK);
    if (e != err::LockViolation) return e;
    if (attempt == kTriesToTake) return err::SharingViolation;
    pauseForATest();
  }
}

int takeShareReservation(FileHandle file, const OpenRequest& r) {
  return takeReservations(
      r, [file](ReservedByte b) { return reservedByOthers(file, b); },
      [file](ReservedByte b) { return reserve(file, b); });
}

// One conversion descriptor per direction, opened on first use and kept: the
// history search converts thousands of short strings.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  std::size_t convert(std::string_view in, std::string& out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    std::size_t left = in.size();
    char chunk[256];
    while (left > 0) {
      char* dst = chunk;
      std::size_t room = sizeof chunk;
      std::size_t r = iconv(cd_, &src, &left, &dst, &room);
      out.append(chunk, static_cast<std::size_t>(dst - chunk));
      if (r == static_cast<std::size_t>(-1) && errno != E2BIG) break;
    }
    return in.size() - left;
  }

 private:
  iconv_t cd_;
};

}  // namespace

int openFile(const std::string& path, const OpenRequest& request, FileHandle* out) {
  int flags = request.writes ? O_RDWR : O_RDONLY;
  if (request.creation == Creation::CreateNew) flags |= O_CREAT | O_EXCL;
  if (request.creation == Creation::OpenOrCreate) flags |= O_CREAT;
  int file;
  do {
    file = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
  } while (file < 0 && errno == EINTR);
  if (file < 0) return lastError();
  struct stat st {};
  int e = fstat(file, &st) != 0 ? lastError() : S_ISDIR(st.st_mode) ? err::FileAccess : 0;
  if (e == 0) e = takeShareReservation(file, request);
  if (e != 0) {
    ::close(file);
    return e;
  }
  *out = file;
  return 0;
}

int closeFile(FileHandle file) {
  // Linux releases the descriptor even when close reports an error; retrying
  // after EINTR could close a descriptor another open has been given since.
  return ::close(fd(file)) != 0 ? lastError() : 0;
}

int readAt(FileHandle file, std::int64_t offset, char* dst, std::size_t n, std::size_t* done) {
  *done = 0;
  while (*done < n) {
    ssize_t r = pread(fd(file), dst + *done, n - *done, static_cast<off_t>(offset + *done));
    if (r == 0) break;
    if (r < 0) {
      if (errno == EINTR) continue;
      return lastError();
    }
    *done += static_cast<std::size_t>(r);
  }
  return 0;
}

int writeSomeAt(FileHandle file, std::int64_t offset, const char* src, std::size_t n,
                std::size_t* done) {
  *done = 0;
  if (n == 0) return 0;
  ssize_t w;
  do {
    w = pwrite(fd(file), src, n, static_cast<off_t>(offset));
  } while (w < 0 && errno == EINTR);
  if (w < 0) return lastError();
  if (w == 0) return err::DiskFull;
  *done = static_cast<std::size_t>(w);
  return 0;
}

int fileSize(FileHandle file, std::int64_t* bytes) {
  struct stat st {};
  if (fstat(fd(file), &st) != 0) return lastError();
  *bytes = st.st_size;
  return 0;
}

int fileModified(FileHandle file, std::int64_t* time) {
  struct stat st {};
  if (fstat(fd(file), &st) != 0) return lastError();
  *time = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 10000000 + st.st_mtim.tv_nsec / 100;
  return 0;
}

int truncateFile(FileHandle file, std::int64_t bytes) {
  int rc;
  do {
    rc = ftruncate(fd(file), static_cast<off_t>(bytes));
  } while (rc != 0 && errno == EINTR);
  return rc != 0 ? lastError() : 0;
}

int flushToDisk(FileHandle file) {
  int rc;
  do {
    rc = fsync(fd(file));
  } while (rc != 0 && errno == EINTR);
  return rc != 0 ? lastError() : 0;
}

int lockRange(FileHandle file, std::int64_t start, std::int64_t length, Lock kind) {
  return setLock(file, start, length, kind == Lock::Exclusive ? F_WRLCK : F_RDLCK);
}

int unlockRange(FileHandle file, std::int64_t start, std::int64_t length) {
  return setLock(file, start, length, F_UNLCK);
}

bool rangeLockedByOthers(FileHandle file, std::int64_t start, std::int64_t length, Lock kind) {
  return heldByOthers(file, start, length, kind == Lock::Exclusive ? F_WRLCK : F_RDLCK) > 0;
}

int lockWholeFile(FileHandle file, Lock kind) {
  return setLock(file, kDataLimit + WholeFile, 1, kind == Lock::Exclusive ? F_WRLCK : F_RDLCK);
}

int unlockWholeFile(FileHandle file) { return setLock(file, kDataLimit + WholeFile, 1, F_UNLCK); }

int createTempBeside(const std::string& target, FileHandle like, std::string* tempPath,
                     FileHandle* out) {
  struct stat st {};
  if (fstat(fd(like), &st) != 0) return lastError();
  std::string path = target + ".~XXXXXX";
  int file = mkostemp(path.data(), O_CLOEXEC);
  if (file < 0) return lastError();
  if (fchmod(file, st.st_mode & 07777) != 0) {
    int e = lastError();
    ::close(file);
    unlink(path.c_str());
    return e;
  }
  *tempPath = std::move(path);
  *out = file;
  return 0;
}

int replaceFile(const std::string& from, const std::string& to) {
  return rename(from.c_str(), to.c_str()) != 0 ? lastError() : 0;
}

int removeFile(const std::string& path) { return unlink(path.c_str()) != 0 ? lastError() : 0; }

std::string resolveLinks(const std::string& path) {
  std::unique_ptr<char, void (*)(void*)> resolved(realpath(path.c_str(), nullptr), std::free);
  return resolved ? std::string(resolved.get()) : path;
}

bool pathExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

bool listDirectory(const std::string& path, const std::function<bool(const std::string&)>& visit) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(path.c_str()), closedir);
  if (!dir) return false;
  while (dirent* entry = readdir(dir.get())) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (!visit(name)) break;
  }
  return true;
}

int makeDirectory(const std::string& path) {
  return mkdir(path.c_str(), 0777) != 0 ? lastError() : 0;
}

int removeDirectory(const std::string& path) {
  return rmdir(path.c_str()) != 0 ? lastError() : 0;
}

bool isDirectory(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isDirectoryFollowingLinks(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int absolutePath(const std::string& path, std::string* out) {
  if (!path.empty() && path[0] == '/') {
    *out = path;
    return 0;
  }
  std::vector<char> buf(4096);
  while (!getcwd(buf.data(), buf.size())) {
    if (errno != ERANGE) return lastError();
    buf.resize(buf.size() * 2);
  }
  std::string cwd = buf.data();
  if (cwd.back() != '/') cwd += '/';
  *out = cwd + path;
  return 0;
}

int changeDirectory(const std::string& path) {
  return chdir(path.c_str()) != 0 ? lastError() : 0;
}

std::string homeDirectory() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  const passwd* account = getpwuid(getuid());
  return account && account->pw_dir ? account->pw_dir : "";
}

std::string systemSettingsDirectory() { return "/etc"; }

LocalTime localNow() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string computerName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

std::string userName() {
  // The account the program runs as, not what the environment claims.
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
    return found->pw_name;
  }
  const char* fromEnvironment = std::getenv("USER");
  return fromEnvironment ? fromEnvironment : "";
}

std::size_t decodeCp932(std::string_view in, std::string& out) {
  thread_local Converter decoder("UTF-8", "CP932");
  return decoder.convert(in, out);
}

std::size_t encodeCp932(std::string_view utf8, std::string& out) {
  thread_local Converter encoder("CP932", "UTF-8");
  return encoder.convert(utf8, out);
}

}  // namespace fw::os
