#include "framework/core/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <memory>

#include "framework/core/cp932.h"
#include "framework/core/error.h"
#include "framework/core/strings.h"

namespace fw {
namespace {

constexpr int kMaxFileNumber = 255;
constexpr int kMaxRecordLength = 2048;
constexpr std::size_t kMaxNameBytes = 260;
constexpr unsigned char kEofMark = 0x1A;

struct OpenFile {
  int fd = -1;
  FileMode mode = FileMode::Input;
  bool record = false;
  long recordLength = 0;
  Str buffer;               // record buffer (record files)
  long lastRecord = 0;      // record of the last get/put
  unsigned generation = 0;  // told apart from a later open of the same number
  off_t pos = 0;            // sequential files: read or write offset
  bool atEofMark = false;   // append: pos is on the final 0x1A the next line overwrites
  // Rewrite (mode 11): the lines go to tempFd, renamed over finalPath at close;
  // fd stays open on the target to hold its sharing reservation.
  int tempFd = -1;
  bool rewriteFailed = false;  // a write failed: close keeps the old file
  std::string tempPath;
  std::string finalPath;
  // Read cache of an input file.
  std::string cache;
  off_t cacheStart = 0;

  int dataFd() const { return tempFd >= 0 ? tempFd : fd; }
  bool canRead() const {
    return mode == FileMode::Input || mode == FileMode::RecordRead || mode == FileMode::Record ||
           mode == FileMode::RecordExisting;
  }
  bool canWrite() const { return mode != FileMode::Input && mode != FileMode::RecordRead; }
};

std::array<std::unique_ptr<OpenFile>, kMaxFileNumber + 1> files;
unsigned nextGeneration = 1;
long writeBudget = -1;  // failWritesAfterForTesting

OpenFile& openFile(int n) {
  if (n < 1 || n > kMaxFileNumber) raise(err::BadFileNumber);
  if (!files[n]) raise(err::FileNotOpen);
  return *files[n];
}

OpenFile& recordFile(int n) {
  OpenFile& f = openFile(n);
  if (!f.record) raise(err::BadFileMode);
  return f;
}

void checkName(const Str& name) {
  if (name.empty() || name.size() > kMaxNameBytes ||
      name.find_first_of(std::string("?*\0", 3)) != Str::npos) {
    raise(err::BadFileName);
  }
}

void raiseErrno(int e = errno) { raise(errorFromErrno(e)); }

// ---- sharing reservations ----
//
// Four bytes far past any data stand for "has read access", "has write
// access", "denies read", "denies write". Every open holds a shared OFD lock
// on the bytes that describe it, and before that looks for locks of other
// opens on the bytes that would conflict.
constexpr off_t kShareBase = LLONG_MAX - 16;
enum ShareByte : off_t { HasRead = 0, HasWrite = 1, DeniesRead = 2, DeniesWrite = 3 };

bool heldByOthers(int fd, off_t byte) {
  struct flock l {};
  l.l_type = F_WRLCK;
  l.l_whence = SEEK_SET;
  l.l_start = kShareBase + byte;
  l.l_len = 1;
  if (fcntl(fd, F_OFD_GETLK, &l) != 0) raiseErrno();
  return l.l_type != F_UNLCK;
}

void reserve(int fd, off_t byte) {
  struct flock l {};
  l.l_type = F_RDLCK;
  l.l_whence = SEEK_SET;
  l.l_start = kShareBase + byte;
  l.l_len = 1;
  if (fcntl(fd, F_OFD_SETLK, &l) != 0) {
    if (errno == EAGAIN || errno == EACCES) raise(err::SharingViolation);
    raiseErrno();
  }
}

void takeShareReservation(int fd, bool reads, bool writes, Share share) {
  bool deniesRead = share == Share::WriteOnly;
  bool deniesWrite = share == Share::ReadOnly;
  if ((reads && heldByOthers(fd, DeniesRead)) || (writes && heldByOthers(fd, DeniesWrite)) ||
      (deniesRead && heldByOthers(fd, HasRead)) || (deniesWrite && heldByOthers(fd, HasWrite))) {
    raise(err::SharingViolation);
  }
  if (reads) reserve(fd, HasRead);
  if (writes) reserve(fd, HasWrite);
  if (deniesRead) reserve(fd, DeniesRead);
  if (deniesWrite) reserve(fd, DeniesWrite);
}

// ---- raw I/O ----

ssize_t writeSome(int fd, const char* p, std::size_t n, off_t at) {
  if (writeBudget >= 0) {
    if (writeBudget == 0) {
      errno = ENOSPC;
      return -1;
    }
    n = std::min<std::size_t>(n, static_cast<std::size_t>(writeBudget));
  }
  ssize_t w = pwrite(fd, p, n, at);
  if (w > 0 && writeBudget >= 0) writeBudget -= w;
  return w;
}

// Writes all n bytes at `at`. On failure a file that this write was extending
// is cut back to its old size, so a full disk never leaves half a record or
// half a line behind; then error 67 (or the mapped system error).
void writeAll(int fd, const char* p, std::size_t n, off_t at) {
  struct stat st {};
  off_t oldSize = fstat(fd, &st) == 0 ? st.st_size : -1;
  while (n > 0) {
    ssize_t w = writeSome(fd, p, n, at);
    if (w > 0) {
      p += w;
      n -= static_cast<std::size_t>(w);
      at += w;
      continue;
    }
    if (w < 0 && errno == EINTR) continue;
    int e = w < 0 ? errno : ENOSPC;
    if (oldSize >= 0 && S_ISREG(st.st_mode)) {
      if (fstat(fd, &st) == 0 && st.st_size > oldSize) {
        [[maybe_unused]] int ignored = ftruncate(fd, oldSize);
      }
    }
    raiseErrno(e);
  }
}

// Reads up to n bytes at `at`; fewer only at the end of the file.
std::size_t readAll(int fd, char* p, std::size_t n, off_t at) {
  std::size_t done = 0;
  while (done < n) {
    ssize_t r = pread(fd, p + done, n - done, at + static_cast<off_t>(done));
    if (r == 0) break;
    if (r < 0) {
      if (errno == EINTR) continue;
      raiseErrno();
    }
    done += static_cast<std::size_t>(r);
  }
  return done;
}

off_t sizeOf(int fd) {
  struct stat st {};
  if (fstat(fd, &st) != 0) raiseErrno();
  return st.st_size;
}

// The byte at `at` of an input file, or -1 at or past its end.
int byteAt(OpenFile& f, off_t at) {
  if (at < f.cacheStart || at >= f.cacheStart + static_cast<off_t>(f.cache.size())) {
    f.cache.resize(4096);
    f.cache.resize(readAll(f.fd, f.cache.data(), f.cache.size(), at));
    f.cacheStart = at;
    if (f.cache.empty()) return -1;
  }
  return static_cast<unsigned char>(f.cache[static_cast<std::size_t>(at - f.cacheStart)]);
}

// End of the data of an input file: the real end, or a lone final 0x1A.
bool atDataEnd(OpenFile& f, off_t at) {
  int b = byteAt(f, at);
  return b < 0 || (b == kEofMark && byteAt(f, at + 1) < 0);
}

// Byte offset of record r, or -1 when it does not fit in an off_t.
off_t recordOffset(const OpenFile& f, long r) {
  // Records must stay clear of the sharing bytes at kShareBase.
  if (r - 1 > (kShareBase - f.recordLength) / f.recordLength - 1) return -1;
  return static_cast<off_t>(r - 1) * f.recordLength;
}

// A record lock held through another open on [start, start + len).
bool lockedByOthers(int fd, off_t start, off_t len, short type) {
  struct flock l {};
  l.l_type = type;
  l.l_whence = SEEK_SET;
  l.l_start = start;
  l.l_len = len;
  if (fcntl(fd, F_OFD_GETLK, &l) != 0) return false;
  return l.l_type != F_UNLCK;
}

void setRecordLock(int n, long record, short type) {
  OpenFile& f = recordFile(n);
  if (record < 1) raise(err::InvalidArgument);
  off_t at = recordOffset(f, record);
  if (at < 0) raise(err::InvalidArgument);
  struct flock l {};
  l.l_type = type;
  l.l_whence = SEEK_SET;
  l.l_start = at;
  l.l_len = f.recordLength;
  if (fcntl(f.fd, F_OFD_SETLK, &l) != 0) {
    if (errno == EAGAIN || errno == EACCES) raise(err::LockViolation);
    raiseErrno();
  }
}

// Releases the number; returns the errno of a failed rewrite commit or close.
int release(int n) {
  std::unique_ptr<OpenFile> f = std::move(files[n]);
  int failure = 0;
  if (f->tempFd >= 0 && f->rewriteFailed) {
    unlink(f->tempPath.c_str());  // the error was reported by the write itself
    ::close(f->tempFd);
  } else if (f->tempFd >= 0) {
    if (fsync(f->tempFd) != 0 || rename(f->tempPath.c_str(), f->finalPath.c_str()) != 0) {
      failure = errno;
      unlink(f->tempPath.c_str());
    }
    if (::close(f->tempFd) != 0 && failure == 0) failure = errno;
  }
  if (::close(f->fd) != 0 && failure == 0) failure = errno;
  return failure;
}

// Wildcard match over CP932 characters: '?' is one character of either width.
bool wildcardMatch(const Str& p, std::size_t pi, const Str& s, std::size_t si) {
  auto charLen = [](const Str& t, std::size_t i) {
    return isLeadByte(static_cast<unsigned char>(t[i])) && i + 1 < t.size() ? 2u : 1u;
  };
  while (pi < p.size()) {
    if (p[pi] == '*') {
      while (pi < p.size() && p[pi] == '*') ++pi;
      for (std::size_t k = si;; k += charLen(s, k)) {
        if (wildcardMatch(p, pi, s, k)) return true;
        if (k >= s.size()) return false;
      }
    }
    if (si >= s.size()) return false;
    std::size_t pl = charLen(p, pi), sl = charLen(s, si);
    if (!(pl == 1 && p[pi] == '?') && (pl != sl || p.compare(pi, pl, s, si, sl) != 0)) {
      return false;
    }
    pi += pl;
    si += sl;
  }
  return si == s.size();
}

}  // namespace

void failWritesAfterForTesting(long bytes) { writeBudget = bytes; }

std::string osPath(const Str& name) {
  Str native;
  native.reserve(name.size());
  for (std::size_t i = 0; i < name.size(); ++i) {
    auto b = static_cast<unsigned char>(name[i]);
    if (isLeadByte(b) && i + 1 < name.size()) {
      native += name.substr(i++, 2);  // a 0x5C here is a trail byte, not a separator
    } else {
      native += b == '\\' ? '/' : name[i];
    }
  }
  std::string path = toUtf8(native);
  if (!path.empty() && path[0] == '/') return path;
  std::string cwd;
  std::vector<char> buf(4096);
  while (!getcwd(buf.data(), buf.size())) {
    if (errno != ERANGE) raiseErrno();
    buf.resize(buf.size() * 2);
  }
  cwd = buf.data();
  if (cwd.back() != '/') cwd += '/';
  return cwd + path;
}

void open(const Str& name, FileMode mode, Share share, int n, int recordLength) {
  if (n < 1 || n > kMaxFileNumber) raise(err::BadFileNumber);
  if (files[n]) raise(err::FileAlreadyOpen);
  int flags = 0;
  bool record = false;
  switch (mode) {
    case FileMode::Input: flags = O_RDONLY; break;
    case FileMode::Output: flags = O_RDWR | O_CREAT | O_EXCL; break;
    case FileMode::Append: flags = O_RDWR | O_CREAT; break;
    case FileMode::RecordRead: flags = O_RDONLY, record = true; break;
    case FileMode::RecordWrite: flags = O_RDWR | O_CREAT, record = true; break;
    case FileMode::Record: flags = O_RDWR | O_CREAT, record = true; break;
    case FileMode::RecordExisting: flags = O_RDWR, record = true; break;
    // Not truncated here: the new content goes to a temporary file (release()).
    case FileMode::Rewrite: flags = O_RDWR | O_CREAT; break;
    default: raise(err::InvalidArgument);
  }
  if (share != Share::ReadOnly && share != Share::WriteOnly && share != Share::ReadWrite) {
    raise(err::InvalidArgument);
  }
  if (recordLength != 0 && !record) raise(err::BadFileMode);
  long length = record ? (recordLength != 0 ? recordLength : kDefaultRecordLength) : 0;
  if (record && (length < 1 || length > kMaxRecordLength)) raise(err::InvalidArgument);
  checkName(name);

  auto f = std::make_unique<OpenFile>();
  f->mode = mode;
  f->record = record;
  f->recordLength = length;
  f->buffer.assign(static_cast<std::size_t>(length), '\0');
  f->finalPath = osPath(name);
  f->fd = ::open(f->finalPath.c_str(), flags | O_CLOEXEC, 0666);
  if (f->fd < 0) raiseErrno();
  try {
    struct stat st {};
    if (fstat(f->fd, &st) != 0) raiseErrno();
    if (S_ISDIR(st.st_mode)) raise(err::FileAccess);
    takeShareReservation(f->fd, f->canRead() || mode == FileMode::Append, f->canWrite(), share);
    if (mode == FileMode::Append) {
      f->pos = st.st_size;
      unsigned char last = 0;
      if (st.st_size > 0 && readAll(f->fd, reinterpret_cast<char*>(&last), 1, st.st_size - 1) == 1 &&
          last == kEofMark) {
        f->pos = st.st_size - 1;  // the next line overwrites the end-of-file mark
        f->atEofMark = true;
      }
    }
    if (mode == FileMode::Rewrite) {
      f->tempPath = f->finalPath + ".~XXXXXX";
      f->tempFd = mkostemp(f->tempPath.data(), O_CLOEXEC);
      if (f->tempFd < 0) raiseErrno();
      if (fchmod(f->tempFd, st.st_mode & 07777) != 0) {
        int e = errno;
        ::close(f->tempFd);
        unlink(f->tempPath.c_str());
        raiseErrno(e);
      }
    }
  } catch (...) {
    ::close(f->fd);
    throw;
  }
  f->generation = nextGeneration++;
  files[n] = std::move(f);
}

void close(int n) {
  if (n < 1 || n > kMaxFileNumber) raise(err::BadFileNumber);
  if (!files[n]) return;
  if (int failure = release(n)) raiseErrno(failure);
}

void closeAll() {
  int first = 0;
  for (int n = 1; n <= kMaxFileNumber; ++n) {
    if (!files[n]) continue;
    int failure = release(n);
    if (first == 0) first = failure;
  }
  if (first) raiseErrno(first);
}

bool isFileOpen(int n) { return n >= 1 && n <= kMaxFileNumber && files[n] != nullptr; }

CloseOnExit::~CloseOnExit() {
  // Already on an error path, or done: a failing close must not turn into
  // a second exception while unwinding.
  try {
    close(fileNumber_);
  } catch (...) {
  }
}

Str FieldVar::value() const {
  if (fileNumber_ == 0) return {};
  if (!isFileOpen(fileNumber_) || files[fileNumber_]->generation != generation_) {
    raise(err::FileNotOpen);
  }
  return files[fileNumber_]->buffer.substr(static_cast<std::size_t>(offset_),
                                           static_cast<std::size_t>(width_));
}

void field(int n, std::initializer_list<std::pair<int, FieldVar*>> widthsAndVars) {
  OpenFile& f = recordFile(n);
  long total = 0;
  for (const auto& [width, var] : widthsAndVars) {
    if (width < 0 || var == nullptr) raise(err::InvalidArgument);
    total += width;
  }
  if (total > f.recordLength) raise(err::FieldOverflow);
  long offset = 0;
  for (const auto& [width, var] : widthsAndVars) {
    var->fileNumber_ = n;
    var->offset_ = offset;
    var->width_ = width;
    var->generation_ = f.generation;
    offset += width;
  }
}

void lset(FieldVar& var, const Str& s) {
  int n = var.fileNumber_;
  if (n == 0 || !isFileOpen(n) || files[n]->generation != var.generation_) {
    raise(err::FileNotOpen);
  }
  Str& buffer = files[n]->buffer;
  auto width = static_cast<std::size_t>(var.width_);
  std::size_t copied = std::min(width, s.size());
  auto at = static_cast<std::size_t>(var.offset_);
  buffer.replace(at, copied, s, 0, copied);
  std::fill_n(buffer.begin() + static_cast<long>(at + copied), width - copied, ' ');
}

void get(int n, long record) {
  OpenFile& f = recordFile(n);
  if (!f.canRead()) raise(err::BadFileMode);
  if (record < 1) raise(err::InvalidArgument);
  off_t at = recordOffset(f, record);
  off_t size = sizeOf(f.fd);
  if (at < 0 || at >= size) raise(err::RecordBeyondEnd);
  if (at + f.recordLength > size) raise(err::RecordIncomplete);
  if (lockedByOthers(f.fd, at, f.recordLength, F_RDLCK)) raise(err::LockViolation);
  Str bytes(static_cast<std::size_t>(f.recordLength), '\0');
  if (readAll(f.fd, bytes.data(), bytes.size(), at) != bytes.size()) {
    raise(err::RecordIncomplete);  // the file shrank under us
  }
  f.buffer = std::move(bytes);
  f.lastRecord = record;
}

void put(int n, long record) {
  OpenFile& f = recordFile(n);
  if (!f.canWrite()) raise(err::BadFileMode);
  if (record < 1) raise(err::InvalidArgument);
  off_t at = recordOffset(f, record);
  if (at < 0) raise(err::DiskFull);
  if (lockedByOthers(f.fd, at, f.recordLength, F_WRLCK)) raise(err::LockViolation);
  writeAll(f.fd, f.buffer.data(), f.buffer.size(), at);
  f.lastRecord = record;
}

long recordCount(int n) {
  OpenFile& f = recordFile(n);
  off_t size = sizeOf(f.fd);
  return static_cast<long>((size + f.recordLength - 1) / f.recordLength);
}

long fileSize(int n) { return static_cast<long>(sizeOf(openFile(n).dataFd())); }

long position(int n) {
  OpenFile& f = openFile(n);
  return f.record ? f.lastRecord + 1 : static_cast<long>(f.pos) + 1;
}

Str recordBuffer(int n) { return recordFile(n).buffer; }

void setRecordBuffer(int n, const Str& bytes) {
  OpenFile& f = recordFile(n);
  if (static_cast<long>(bytes.size()) != f.recordLength) raise(err::InvalidArgument);
  f.buffer = bytes;
}

void writeLine(int n, std::initializer_list<Str> items) {
  OpenFile& f = openFile(n);
  if (f.mode != FileMode::Output && f.mode != FileMode::Append && f.mode != FileMode::Rewrite) {
    raise(err::BadFileMode);
  }
  Str line;
  bool firstItem = true;
  for (const Str& item : items) {
    if (!firstItem) line += ',';
    line += '"';
    line += item;
    line += '"';
    firstItem = false;
  }
  line += CRLF;
  try {
    writeAll(f.dataFd(), line.data(), line.size(), f.pos);
  } catch (const RuntimeError&) {
    // Half a list must not replace the whole one when the rewrite is closed.
    if (f.tempFd >= 0) f.rewriteFailed = true;
    // writeAll cut the file back to its old size, but the old last byte, the
    // end-of-file mark, may already be overwritten by the line's first byte:
    // put it back, or the file would end in a stray quote.
    if (f.atEofMark) {
      const char mark = static_cast<char>(kEofMark);
      [[maybe_unused]] ssize_t ignored = pwrite(f.fd, &mark, 1, f.pos);
    }
    throw;
  }
  f.pos += static_cast<off_t>(line.size());
  f.atEofMark = false;
}

Str inputItem(int n) {
  OpenFile& f = openFile(n);
  if (f.mode != FileMode::Input) raise(err::BadFileMode);
  off_t p = f.pos;
  while (!atDataEnd(f, p) && (byteAt(f, p) == ' ' || byteAt(f, p) == '\t')) ++p;
  if (atDataEnd(f, p)) raise(err::InputPastEnd);

  Str item;
  if (byteAt(f, p) == '"') {
    ++p;
    while (!atDataEnd(f, p) && byteAt(f, p) != '"') item += static_cast<char>(byteAt(f, p++));
    if (!atDataEnd(f, p)) ++p;  // the closing quote
    // Go on after the next separator; anything between is dropped.
    while (!atDataEnd(f, p)) {
      int b = byteAt(f, p++);
      if (b == ',' || b == '\n') break;
      if (b == '\r') {
        if (byteAt(f, p) == '\n') ++p;
        break;
      }
    }
  } else {
    while (!atDataEnd(f, p)) {
      int b = byteAt(f, p);
      if (b == ',' || b == ':' || b == '\r' || b == '\n') break;
      item += static_cast<char>(b);
      ++p;
    }
    while (!item.empty() && (item.back() == ' ' || item.back() == '\t')) item.pop_back();
    if (!atDataEnd(f, p)) {
      int b = byteAt(f, p++);
      if (b == '\r' && byteAt(f, p) == '\n') ++p;
    }
  }
  f.pos = p;
  return item;
}

bool eof(int n) {
  OpenFile& f = openFile(n);
  if (f.record) raise(err::BadFileMode);
  if (f.mode != FileMode::Input) return false;
  return atDataEnd(f, f.pos);
}

void lockRecord(int n, long record) {
  setRecordLock(n, record, recordFile(n).canWrite() ? F_WRLCK : F_RDLCK);
}

void unlockRecord(int n, long record) { setRecordLock(n, record, F_UNLCK); }

bool fileExists(const Str& pattern) {
  if (pattern.empty() || pattern.size() > kMaxNameBytes || pattern.find('\0') != Str::npos) {
    return false;
  }
  // Split at the last separator, walking whole characters.
  std::size_t lastStart = 0;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    auto b = static_cast<unsigned char>(pattern[i]);
    if (isLeadByte(b) && i + 1 < pattern.size()) {
      ++i;
    } else if (b == '\\' || b == '/') {
      lastStart = i + 1;
    }
  }
  Str directory = pattern.substr(0, lastStart);
  Str last = pattern.substr(lastStart);
  if (last.find_first_of("*?") == Str::npos) {
    struct stat st {};
    return stat(osPath(pattern).c_str(), &st) == 0;
  }
  if (directory.find_first_of("*?") != Str::npos) return false;
  if (last == "*.*") last = "*";
  std::string dirPath = osPath(directory.empty() ? Str(".") : directory);
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(dirPath.c_str()), closedir);
  if (!dir) return false;
  while (dirent* entry = readdir(dir.get())) {
    std::string entryName = entry->d_name;
    if (entryName == "." || entryName == "..") continue;
    if (wildcardMatch(last, 0, fromUtf8(entryName), 0)) return true;
  }
  return false;
}

void makeDirectory(const Str& name) {
  checkName(name);
  if (mkdir(osPath(name).c_str(), 0777) != 0) raiseErrno();
}

}  // namespace fw
