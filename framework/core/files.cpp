#include "framework/core/files.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "framework/core/cp932.h"
#include "framework/core/error.h"
#include "framework/core/internal/os.h"
#include "framework/core/strings.h"

namespace fw {
namespace {

constexpr int kMaxFileNumber = 255;
constexpr int kMaxRecordLength = 2048;
constexpr std::size_t kMaxNameBytes = 260;
constexpr unsigned char kEofMark = 0x1A;

using os::FileHandle;
using os::kNoFile;

struct OpenFile {
  FileHandle fd = kNoFile;
  FileMode mode = FileMode::Input;
  bool record = false;
  long recordLength = 0;
  Str buffer;               // record buffer (record files)
  long lastRecord = 0;      // record of the last get/put
  unsigned generation = 0;  // told apart from a later open of the same number
  std::int64_t pos = 0;     // sequential files: read or write offset
  bool atEofMark = false;   // append: pos is on the final 0x1A the next line overwrites
  bool wholeFileLocked = false;  // lockWholeFile took it through this open
  // Rewrite (mode 11): the lines go to tempFd, renamed over finalPath at
  // commit; fd stays open on the target to hold its sharing reservation.
  FileHandle tempFd = kNoFile;
  int rewriteError = 0;         // the first failed write: commit raises it
  bool createdTarget = false;   // there was no old file: abandoning removes it
  // A folder that takes no new files (read-only, some shared folders): the
  // lines are kept here and replace the target's content in place at commit.
  bool inPlace = false;
  std::string pending;
  std::string tempPath;
  std::string finalPath;
  // Read cache of an input file.
  std::string cache;
  std::int64_t cacheStart = 0;

  FileHandle dataFd() const { return tempFd != kNoFile ? tempFd : fd; }
  bool canRead() const {
    return mode == FileMode::Input || mode == FileMode::RecordRead || mode == FileMode::Record ||
           mode == FileMode::RecordExisting;
  }
  bool canWrite() const { return mode != FileMode::Input && mode != FileMode::RecordRead; }
};

std::array<std::unique_ptr<OpenFile>, kMaxFileNumber + 1> files;
unsigned nextGeneration = 1;
// failWritesAfterForTesting; a PlainFile on another thread writes through it too.
std::atomic<long> writeBudget{-1};
bool failTempFiles = false;  // refuseTempFilesForTesting

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

void check(int error) {
  if (error != 0) raise(error);
}

// ---- raw I/O ----

int writeSome(FileHandle fd, const char* p, std::size_t n, std::int64_t at, std::size_t* done) {
  *done = 0;
  const long budget = writeBudget.load();
  if (budget >= 0) {
    if (budget == 0) return err::DiskFull;
    n = std::min<std::size_t>(n, static_cast<std::size_t>(budget));
  }
  int e = os::writeSomeAt(fd, at, p, n, done);
  if (budget >= 0) writeBudget -= static_cast<long>(*done);
  return e;
}

// Writes all n bytes at `at`. On failure a file that this write was extending
// is cut back to its old size, so a full disk never leaves half a record or
// half a line behind; then error 67 (or the mapped system error).
void writeAll(FileHandle fd, const char* p, std::size_t n, std::int64_t at) {
  std::int64_t oldSize = -1;
  if (os::fileSize(fd, &oldSize) != 0) oldSize = -1;
  while (n > 0) {
    std::size_t w = 0;
    int e = writeSome(fd, p, n, at, &w);
    if (e == 0) {
      p += w;
      n -= w;
      at += static_cast<std::int64_t>(w);
      continue;
    }
    std::int64_t size = 0;
    if (oldSize >= 0 && os::fileSize(fd, &size) == 0 && size > oldSize) {
      os::truncateFile(fd, oldSize);
    }
    raise(e);
  }
}

// Reads up to n bytes at `at`; fewer only at the end of the file.
std::size_t readAll(FileHandle fd, char* p, std::size_t n, std::int64_t at) {
  std::size_t done = 0;
  check(os::readAt(fd, at, p, n, &done));
  return done;
}

std::int64_t sizeOf(FileHandle fd) {
  std::int64_t bytes = 0;
  check(os::fileSize(fd, &bytes));
  return bytes;
}

// The byte at `at` of an input file, or -1 at or past its end.
int byteAt(OpenFile& f, std::int64_t at) {
  if (at < f.cacheStart || at >= f.cacheStart + static_cast<std::int64_t>(f.cache.size())) {
    f.cache.resize(4096);
    f.cache.resize(readAll(f.fd, f.cache.data(), f.cache.size(), at));
    f.cacheStart = at;
    if (f.cache.empty()) return -1;
  }
  return static_cast<unsigned char>(f.cache[static_cast<std::size_t>(at - f.cacheStart)]);
}

// End of the data of an input file: the real end, or a lone final 0x1A.
bool atDataEnd(OpenFile& f, std::int64_t at) {
  int b = byteAt(f, at);
  return b < 0 || (b == kEofMark && byteAt(f, at + 1) < 0);
}

// Byte offset of record r, or -1 when the record would not end below the
// bytes the OS layer keeps for itself.
std::int64_t recordOffset(const OpenFile& f, long r) {
  if (r - 1 > (os::kDataLimit - f.recordLength) / f.recordLength - 1) return -1;
  return static_cast<std::int64_t>(r - 1) * f.recordLength;
}

// Offset of the record a lock call names; error 5 when there is no such record.
std::int64_t lockableRecord(OpenFile& f, long record) {
  if (record < 1) raise(err::InvalidArgument);
  std::int64_t at = recordOffset(f, record);
  if (at < 0) raise(err::InvalidArgument);
  return at;
}

// Replaces the content of an open file by `content`; on failure puts the old
// content back as far as the disk lets it and returns the error.
int rewriteInPlace(FileHandle fd, const std::string& content) {
  std::string old;
  try {
    old.resize(static_cast<std::size_t>(sizeOf(fd)));
    old.resize(readAll(fd, old.data(), old.size(), 0));
  } catch (const RuntimeError& e) {
    return e.number();  // nothing changed yet
  }
  try {
    check(os::truncateFile(fd, 0));
    writeAll(fd, content.data(), content.size(), 0);
    check(os::flushToDisk(fd));
    return 0;
  } catch (const RuntimeError& e) {
    os::truncateFile(fd, 0);
    std::size_t ignored = 0;
    for (std::size_t at = 0; at < old.size(); at += ignored) {
      if (os::writeSomeAt(fd, static_cast<std::int64_t>(at), old.data() + at, old.size() - at,
                          &ignored) != 0 || ignored == 0) {
        break;
      }
    }
    return e.number();
  }
}

// Puts a rewrite's new content in the target's place; returns the error that
// kept it out, the old file then still being there as it was.
int commitRewrite(OpenFile& f) {
  if (f.rewriteError != 0) return f.rewriteError;
  if (f.inPlace) return rewriteInPlace(f.fd, f.pending);
  int failure = os::flushToDisk(f.tempFd);
  // Windows moves no file that is still open, and replaces none either, this
  // open's own included: both are closed first.
  for (FileHandle* open : {&f.tempFd, &f.fd}) {
    const int closed = os::closeFile(*open);
    *open = kNoFile;
    if (failure == 0) failure = closed;
  }
  if (failure == 0) failure = os::replaceFile(f.tempPath, f.finalPath);
  if (failure == 0) f.tempPath.clear();  // it is the target now
  return failure;
}

// Leaves the target as the rewrite found it: the new content goes, and so
// does a target that this open created. The target is removed while this
// open still holds it, so that no rewrite of another program slips its file
// in between and loses it (both systems let an open file be removed).
void abandonRewrite(OpenFile& f) {
  if (f.tempFd != kNoFile) {
    os::closeFile(f.tempFd);
    f.tempFd = kNoFile;
  }
  if (!f.tempPath.empty()) os::removeFile(f.tempPath);
  f.pending.clear();
  if (f.createdTarget) os::removeFile(f.finalPath);
}

// Releases the number, committing a rewrite only when asked to (otherwise
// abandoning it); returns the error of a failed commit or close.
int release(int n, bool commit) {
  std::unique_ptr<OpenFile> f = std::move(files[n]);
  int failure = 0;
  if (f->mode == FileMode::Rewrite) {
    if (commit) failure = commitRewrite(*f);
    if (!commit || failure != 0) abandonRewrite(*f);
  }
  if (f->fd != kNoFile) {
    int closed = os::closeFile(f->fd);
    if (failure == 0) failure = closed;
  }
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

void refuseTempFilesForTesting(bool refuse) { failTempFiles = refuse; }

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
  std::string path;
  check(os::absolutePath(toUtf8(native), &path));
  return path;
}

void open(const Str& name, FileMode mode, Share share, int n, int recordLength) {
  if (n < 1 || n > kMaxFileNumber) raise(err::BadFileNumber);
  if (files[n]) raise(err::FileAlreadyOpen);
  using os::Creation;
  Creation creation = Creation::OpenOrCreate;
  bool record = false;
  switch (mode) {
    case FileMode::Input: creation = Creation::MustExist; break;
    case FileMode::Output: creation = Creation::CreateNew; break;
    case FileMode::Append: break;
    case FileMode::RecordRead: creation = Creation::MustExist, record = true; break;
    case FileMode::RecordWrite: record = true; break;
    case FileMode::Record: record = true; break;
    case FileMode::RecordExisting: creation = Creation::MustExist, record = true; break;
    // Never truncated: the new content goes to a temporary file (commit()).
    case FileMode::Rewrite: break;
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
  // A rewrite replaces the file a link points to, not the link.
  if (mode == FileMode::Rewrite) f->finalPath = os::resolveLinks(f->finalPath);
  os::OpenRequest request;
  // Append reads the last byte to find an end-of-file mark.
  request.reads = f->canRead() || mode == FileMode::Append;
  request.writes = f->canWrite();
  request.deniesRead = share == Share::WriteOnly;
  request.deniesWrite = share == Share::ReadOnly;
  request.creation = creation;
  if (mode == FileMode::Rewrite) {
    // Whether there was an old file decides what an abandoned rewrite leaves:
    // only a file this open made itself is removed again.
    request.creation = os::Creation::MustExist;
    int e = os::openFile(f->finalPath, request, &f->fd);
    if (e == err::FileNotFound) {
      request.creation = os::Creation::CreateNew;
      e = os::openFile(f->finalPath, request, &f->fd);
      f->createdTarget = e == 0;
      // Made by someone else meanwhile, or a link to nothing: not ours.
      if (e == err::AlreadyExists) {
        request.creation = os::Creation::OpenOrCreate;
        e = os::openFile(f->finalPath, request, &f->fd);
      }
    }
    check(e);
  } else {
    check(os::openFile(f->finalPath, request, &f->fd));
  }
  try {
    if (mode == FileMode::Append) {
      std::int64_t size = sizeOf(f->fd);
      f->pos = size;
      unsigned char last = 0;
      if (size > 0 && readAll(f->fd, reinterpret_cast<char*>(&last), 1, size - 1) == 1 &&
          last == kEofMark) {
        f->pos = size - 1;  // the next line overwrites the end-of-file mark
        f->atEofMark = true;
      }
    }
    if (mode == FileMode::Rewrite) {
      const int e = failTempFiles ? err::FileAccess
                                  : os::createTempBeside(f->finalPath, f->fd, &f->tempPath,
                                                         &f->tempFd);
      if (e == err::FileAccess) {
        f->inPlace = true;
      } else {
        check(e);
      }
    }
  } catch (...) {
    if (f->createdTarget) os::removeFile(f->finalPath);
    os::closeFile(f->fd);
    throw;
  }
  f->generation = nextGeneration++;
  files[n] = std::move(f);
}

void close(int n) {
  if (n < 1 || n > kMaxFileNumber) raise(err::BadFileNumber);
  if (!files[n]) return;
  check(release(n, /*commit=*/false));
}

void commit(int n) {
  if (openFile(n).mode != FileMode::Rewrite) raise(err::BadFileMode);
  check(release(n, /*commit=*/true));
}

void closeAll() {
  int first = 0;
  for (int n = 1; n <= kMaxFileNumber; ++n) {
    if (!files[n]) continue;
    int failure = release(n, /*commit=*/false);
    if (first == 0) first = failure;
  }
  check(first);
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
  std::int64_t at = recordOffset(f, record);
  std::int64_t size = sizeOf(f.fd);
  if (at < 0 || at >= size) raise(err::RecordBeyondEnd);
  if (at + f.recordLength > size) raise(err::RecordIncomplete);
  if (os::rangeLockedByOthers(f.fd, at, f.recordLength, os::Lock::Shared)) {
    raise(err::LockViolation);
  }
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
  std::int64_t at = recordOffset(f, record);
  if (at < 0) raise(err::DiskFull);
  if (os::rangeLockedByOthers(f.fd, at, f.recordLength, os::Lock::Exclusive)) {
    raise(err::LockViolation);
  }
  writeAll(f.fd, f.buffer.data(), f.buffer.size(), at);
  f.lastRecord = record;
}

long recordCount(int n) {
  OpenFile& f = recordFile(n);
  std::int64_t size = sizeOf(f.fd);
  return static_cast<long>((size + f.recordLength - 1) / f.recordLength);
}

std::int64_t fileSize(int n) { return sizeOf(openFile(n).dataFd()); }

std::int64_t modificationTime(int n) {
  std::int64_t time = 0;
  check(os::fileModified(openFile(n).dataFd(), &time));
  return time;
}

std::int64_t position(int n) {
  OpenFile& f = openFile(n);
  return f.record ? f.lastRecord + 1 : static_cast<std::int64_t>(f.pos) + 1;
}

Str recordBuffer(int n) { return recordFile(n).buffer; }

void setRecordBuffer(int n, const Str& bytes) {
  OpenFile& f = recordFile(n);
  if (static_cast<long>(bytes.size()) != f.recordLength) raise(err::InvalidArgument);
  f.buffer = bytes;
}

namespace {

// Writes bytes at the sequential position of an output file.
void writeSequential(OpenFile& f, const Str& line) {
  if (f.mode != FileMode::Output && f.mode != FileMode::Append && f.mode != FileMode::Rewrite) {
    raise(err::BadFileMode);
  }
  if (f.inPlace) {
    f.pending += line;
    f.pos += static_cast<std::int64_t>(line.size());
    return;
  }
  try {
    writeAll(f.dataFd(), line.data(), line.size(), f.pos);
  } catch (const RuntimeError& e) {
    // Half a list must not replace the whole one, even when the writer goes
    // on and commits.
    if (f.mode == FileMode::Rewrite && f.rewriteError == 0) f.rewriteError = e.number();
    // writeAll cut the file back to its old size, but the old last byte, the
    // end-of-file mark, may already be overwritten by the line's first byte:
    // put it back, or the file would end in a stray quote.
    if (f.atEofMark) {
      const char mark = static_cast<char>(kEofMark);
      std::size_t ignored = 0;
      os::writeSomeAt(f.fd, f.pos, &mark, 1, &ignored);
    }
    throw;
  }
  f.pos += static_cast<std::int64_t>(line.size());
  f.atEofMark = false;
}

}  // namespace

void writeLine(int n, std::initializer_list<Str> items) {
  OpenFile& f = openFile(n);
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
  writeSequential(f, line);
}

void writeText(int n, const Str& text) { writeSequential(openFile(n), text); }

Str inputItem(int n) {
  OpenFile& f = openFile(n);
  if (f.mode != FileMode::Input) raise(err::BadFileMode);
  std::int64_t p = f.pos;
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
  OpenFile& f = recordFile(n);
  std::int64_t at = lockableRecord(f, record);
  check(os::lockRange(f.fd, at, f.recordLength,
                      f.canWrite() ? os::Lock::Exclusive : os::Lock::Shared));
}

void unlockRecord(int n, long record) {
  OpenFile& f = recordFile(n);
  check(os::unlockRange(f.fd, lockableRecord(f, record), f.recordLength));
}

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
  if (last.find_first_of("*?") == Str::npos) return os::pathExists(osPath(pattern));
  if (directory.find_first_of("*?") != Str::npos) return false;
  if (last == "*.*") last = "*";
  bool found = false;
  os::listDirectory(osPath(directory.empty() ? Str(".") : directory),
                    [&](const std::string& entryName) {
                      found = wildcardMatch(last, 0, fromUtf8(entryName), 0);
                      return !found;
                    });
  return found;
}

void makeDirectory(const Str& name) {
  checkName(name);
  check(os::makeDirectory(osPath(name)));
}

std::size_t readBytes(int n, std::int64_t offset, char* dst, std::size_t count) {
  OpenFile& f = recordFile(n);
  if (!f.canRead()) raise(err::BadFileMode);
  if (offset < 0 || (dst == nullptr && count > 0)) raise(err::InvalidArgument);
  std::int64_t size = sizeOf(f.fd);
  if (offset >= size || count == 0) return 0;
  // Only bytes that exist are read, so a lock on records still to be
  // appended does not stop a scan of the ones already there.
  count = static_cast<std::size_t>(
      std::min<std::uint64_t>(count, static_cast<std::uint64_t>(size - offset)));
  if (os::rangeLockedByOthers(f.fd, offset, static_cast<std::int64_t>(count), os::Lock::Shared)) {
    raise(err::LockViolation);
  }
  return readAll(f.fd, dst, count, offset);
}

void flushToDisk(int n) {
  OpenFile& f = openFile(n);
  if (!f.canWrite()) return;  // nothing written through this number
  check(os::flushToDisk(f.dataFd()));
}

void lockWholeFile(int n, long waitMilliseconds) {
  OpenFile& f = openFile(n);
  if (!f.canWrite()) raise(err::BadFileMode);
  if (waitMilliseconds < 0) raise(err::InvalidArgument);
  if (f.wholeFileLocked) return;
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(waitMilliseconds);
  for (;;) {
    int e = os::lockWholeFile(f.fd);
    if (e == 0) break;
    if (e != err::LockViolation || Clock::now() >= deadline) raise(e);
    // Holders keep the lock for one append or rewrite: a short nap finds it
    // free soon without spinning.
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  f.wholeFileLocked = true;
}

void unlockWholeFile(int n) {
  OpenFile& f = openFile(n);
  if (!f.wholeFileLocked) return;
  check(os::unlockWholeFile(f.fd));
  f.wholeFileLocked = false;
}

FileLock::FileLock(int fileNumber, long waitMilliseconds) : fileNumber_(fileNumber) {
  OpenFile& f = openFile(fileNumber);
  bool heldAlready = f.wholeFileLocked;
  lockWholeFile(fileNumber, waitMilliseconds);
  // A lock taken by an outer holder is the outer holder's to release.
  if (!heldAlready) generation_ = f.generation;
}

FileLock::~FileLock() {
  if (generation_ == 0 || !isFileOpen(fileNumber_) ||
      files[fileNumber_]->generation != generation_) {
    return;  // closing the file released the lock; the number may be another file's now
  }
  try {
    unlockWholeFile(fileNumber_);
  } catch (...) {
    // Closing the file releases it at the latest.
  }
}

// ---- folders and copies ----

namespace {

constexpr std::size_t kCopyBlockBytes = 1 << 20;

// Copies `bytes` bytes of `source` into the new file `to`, flushed; removes
// the partial copy on failure.
std::int64_t copyInto(FileHandle source, std::int64_t bytes, const Str& to) {
  checkName(to);
  const std::string target = osPath(to);
  os::OpenRequest request;
  request.writes = true;
  request.creation = os::Creation::CreateNew;
  FileHandle out = kNoFile;
  check(os::openFile(target, request, &out));
  try {
    std::vector<char> block(kCopyBlockBytes);
    std::int64_t at = 0;
    while (at < bytes) {
      const std::size_t want =
          static_cast<std::size_t>(std::min<std::int64_t>(bytes - at, kCopyBlockBytes));
      const std::size_t got = readAll(source, block.data(), want, at);
      if (got == 0) break;  // the source shrank meanwhile
      writeAll(out, block.data(), got, at);
      at += static_cast<std::int64_t>(got);
    }
    check(os::flushToDisk(out));
    check(os::closeFile(out));
    return at;
  } catch (...) {
    os::closeFile(out);
    os::removeFile(target);
    throw;
  }
}

}  // namespace

std::vector<Str> folderEntries(const Str& folder) {
  checkName(folder);
  std::vector<Str> names;
  if (!os::listDirectory(osPath(folder), [&](const std::string& name) {
        names.push_back(fromUtf8(name));
        return true;
      })) {
    raise(err::PathNotFound);
  }
  return names;
}

bool isFolder(const Str& name) {
  if (name.empty() || name.size() > kMaxNameBytes) return false;
  return os::isDirectory(osPath(name));
}

bool isFolderFollowingLinks(const Str& name) {
  if (name.empty() || name.size() > kMaxNameBytes) return false;
  return os::isDirectoryFollowingLinks(osPath(name));
}

std::int64_t copyFile(const Str& from, const Str& to) {
  checkName(from);
  os::OpenRequest request;
  request.reads = true;
  FileHandle in = kNoFile;
  check(os::openFile(osPath(from), request, &in));
  try {
    const std::int64_t copied = copyInto(in, sizeOf(in), to);
    os::closeFile(in);
    return copied;
  } catch (...) {
    os::closeFile(in);
    throw;
  }
}

std::int64_t copyOpenFile(int n, const Str& to) {
  OpenFile& f = recordFile(n);
  if (!f.canRead()) raise(err::BadFileMode);
  return copyInto(f.dataFd(), sizeOf(f.dataFd()), to);
}

void renamePath(const Str& from, const Str& to) {
  checkName(from);
  checkName(to);
  check(os::replaceFile(osPath(from), osPath(to)));
}

void removeFolderTree(const Str& folder) {
  checkName(folder);
  const std::string path = osPath(folder);
  if (!os::pathExists(path)) return;
  for (const Str& name : folderEntries(folder)) {
    const Str inner = folder + "\\" + name;
    if (isFolder(inner)) {
      removeFolderTree(inner);
    } else {
      check(os::removeFile(osPath(inner)));
    }
  }
  check(os::removeDirectory(path));
}

void removeFile(const Str& name) {
  checkName(name);
  check(os::removeFile(osPath(name)));
}

// ---- files outside the numbered table ----

PlainFile::PlainFile(const Str& name, Access access)
    : handle_(kNoFile), writes_(access != Access::Read) {
  checkName(name);
  os::OpenRequest request;
  request.reads = true;
  request.writes = writes_;
  request.creation = access == Access::Read      ? os::Creation::MustExist
                     : access == Access::Update  ? os::Creation::OpenOrCreate
                                                 : os::Creation::CreateNew;
  FileHandle handle = kNoFile;
  check(os::openFile(osPath(name), request, &handle));
  handle_ = handle;
}

PlainFile::~PlainFile() {
  if (handle_ != kNoFile) os::closeFile(handle_);
}

std::int64_t PlainFile::size() const { return sizeOf(handle_); }

std::size_t PlainFile::read(std::int64_t offset, char* dst, std::size_t n) const {
  if (offset < 0 || (dst == nullptr && n > 0)) raise(err::InvalidArgument);
  const std::int64_t size = sizeOf(handle_);
  if (offset >= size || n == 0) return 0;
  n = static_cast<std::size_t>(
      std::min<std::uint64_t>(n, static_cast<std::uint64_t>(size - offset)));
  if (os::rangeLockedByOthers(handle_, offset, static_cast<std::int64_t>(n), os::Lock::Shared)) {
    raise(err::LockViolation);
  }
  return readAll(handle_, dst, n, offset);
}

void PlainFile::write(std::int64_t offset, const char* src, std::size_t n) {
  if (!writes_) raise(err::BadFileMode);
  if (offset < 0 || (src == nullptr && n > 0)) raise(err::InvalidArgument);
  writeAll(handle_, src, n, offset);
}

void PlainFile::truncate(std::int64_t bytes) {
  if (!writes_) raise(err::BadFileMode);
  if (bytes < 0) raise(err::InvalidArgument);
  check(os::truncateFile(handle_, bytes));
}

void PlainFile::flushToDisk() {
  if (writes_) check(os::flushToDisk(handle_));
}

bool PlainFile::tryLockWholeFile() {
  if (locked_) return true;
  const int e = os::lockWholeFile(handle_, writes_ ? os::Lock::Exclusive : os::Lock::Shared);
  if (e == err::LockViolation) return false;
  check(e);
  locked_ = true;
  return true;
}

void PlainFile::unlockWholeFile() {
  if (!locked_) return;
  locked_ = false;
  check(os::unlockWholeFile(handle_));
}

void PlainFile::close() {
  if (handle_ == kNoFile) return;
  const FileHandle handle = handle_;
  handle_ = kNoFile;
  locked_ = false;
  check(os::closeFile(handle));
}

}  // namespace fw
