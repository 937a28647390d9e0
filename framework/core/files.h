// Numbered files: fixed-length record files and quoted-line text files.
//
// File numbers are 1..255, as in the program's stored-data procedures: every
// operation opens its file, does its work and closes it again. Names are CP932
// and may use '\' as the separator ("EKG_SYS\P_TYOUSEI"); relative names are
// made absolute against the current directory. Every failure raises a
// RuntimeError (error.h): 5, 13, 50-57, 67, 68, 70, and the system's own
// failures mapped to those numbers (53 missing, 56 denied, 67 disk full, 72 any
// other input/output error). After a failed open the number stays free; after a failed
// get the record buffer keeps its previous content.
//
// Sharing follows the Windows rule among Tessivo processes (and among file
// numbers of one process): an open fails with err::SharingViolation when its
// access is denied by the sharing mode of an open already in place, or when
// its own sharing mode denies an access an open in place already has. The
// reservations are byte-range locks on bytes far past any data (OFD locks on
// POSIX; on Windows beside the system's own sharing modes), so they never
// meet record locks, and a Linux and a Windows program on one shared folder
// keep the rule between them; programs that take no such locks are not held
// back on POSIX (it has no mandatory sharing).
//
// Threads: the numbered files (open … unlockWholeFile, FileLock) belong to one
// thread, the user-interface one. The calls by name (fileExists,
// makeDirectory, the folder and copy calls from folderEntries on, osPath) and
// PlainFile keep no state between calls and may be used on any thread, also
// while that thread works with the numbered files.
//
// A rewrite (mode 11) is atomic and happens only when the writer says the new
// content is complete: the lines go to a temporary file beside the target,
// which replaces the target at commit(), as QSaveFile::commit does. Until
// then other readers see the old content, and a crash leaves the old file
// whole. Every other way out (close(), closeAll() from the error trap, an
// OpenFile left by an exception or an early return) keeps the old file byte
// for byte and removes the temporary file; a target that the rewrite's open
// created (there was no old file) is removed again. A rewrite replaces the
// file a symbolic link points to. Where the folder takes no new file
// (read-only, some shared folders) the lines are kept in memory and commit()
// rewrites the file in place, putting the old content back if that fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "framework/core/str.h"

namespace fw {

enum class FileMode : int {
  Input = 1,          // sequential input; the file must exist
  Output = 2,         // sequential output; error if the file exists
  Append = 3,         // sequential append; created; a final 0x1A is overwritten
  RecordRead = 4,     // record, read only; must exist
  RecordWrite = 5,    // record, write only; created
  Record = 6,         // record, read and write; created empty
  RecordExisting = 7, // record, read and write; must exist
  Rewrite = 11,       // sequential output; replaces the file at commit()
};

enum class Share : int {
  ReadOnly = 1,   // others may only read
  WriteOnly = 2,  // others may only write
  ReadWrite = 3,  // others may read and write
};

inline constexpr int kDefaultRecordLength = 256;

// recordLength 0 means "not given": the default 256 for record modes; giving
// one with a sequential mode is error 51, outside 1..2048 error 5.
// Errors in this order: 50 number outside 1..255, 52 number in use, 5 unknown
// mode or sharing, 51 record length with a sequential mode, 5 record length
// outside 1..2048, 55 name empty, longer than 260 bytes (as given) or holding
// '?', '*' or a 0 byte; then system errors (53 missing file for modes 1, 4
// and 7, 71 existing file for mode 2, 56 a directory, 59 sharing).
void open(const Str& name, FileMode mode, Share share, int fileNumber,
          int recordLength = 0);
// Closing a number that is not open does nothing (cleanup paths may close
// twice); outside 1..255 is error 50. Closing a rewrite that was not
// committed abandons it: the old file stays as it was.
void close(int fileNumber);
// Closes every open file (abandoning rewrites as close() does); raises the
// first error after closing all.
void closeAll();
// The writer's word that a rewrite (mode 11) is complete: its content is put
// on the disk and replaces the target, and the number is closed. Raises,
// keeping the old file and freeing the number all the same: the error of a
// write of this rewrite that failed before (67 disk full, …), even when the
// caller went on after it, or of putting the new file in place. Errors 50,
// 57, and 51 for a file that is not a rewrite (nothing is closed then).
void commit(int fileNumber);

// Closes a file number when the scope ends, however it ends, so that a failed
// get or put does not leave the number taken for the next operation. Create
// it right after the open succeeded: a number someone else holds is not ours
// to close. Never throws.
class CloseOnExit {
 public:
  explicit CloseOnExit(int fileNumber) : fileNumber_(fileNumber) {}
  ~CloseOnExit();
  CloseOnExit(const CloseOnExit&) = delete;
  CloseOnExit& operator=(const CloseOnExit&) = delete;

 private:
  int fileNumber_;
};
bool isFileOpen(int fileNumber);

// A field variable: a slice of a file's record buffer, bound by field().
// Reading gives the slice's current bytes; only lset() writes it.
class FieldVar {
 public:
  FieldVar() = default;
  // The slice's bytes; "" before field() bound it; error 57 once its file is
  // closed (also after the number was reopened).
  Str value() const;
  operator Str() const { return value(); }
  long width() const { return width_; }

 private:
  friend void field(int, std::initializer_list<std::pair<int, FieldVar*>>);
  friend void lset(FieldVar&, const Str&);
  int fileNumber_ = 0;
  long offset_ = 0;
  long width_ = 0;
  unsigned generation_ = 0;        // detects a file closed and reopened
};

// Binds the variables to consecutive slices from offset 0, in order; widths
// adding up past the record length are error 68 (nothing is bound then), a
// negative width or a null variable error 5, a sequential file error 51.
void field(int fileNumber, std::initializer_list<std::pair<int, FieldVar*>> widthsAndVars);
// Copies s into the slice, space-padded (0x20) or cut at the byte (possibly
// inside a double-byte character); the rest of the buffer is untouched.
// Error 57 for a variable that is unbound or whose file was closed.
void lset(FieldVar& var, const Str& s);

// Record r (from 1) is bytes (r-1)*L .. r*L-1. Errors: 57, 51 on a sequential
// file or against the mode (get on mode 5, put on mode 4), 5 for r < 1,
// err::LockViolation when another open holds a record lock on those bytes.
// get: 70 when the record starts at or beyond the end, 54 when it is cut
// short; the buffer is unchanged on failure.
// put: writing past the end extends the file (a gap reads as 0x00). A write
// that fails or comes up short (disk full) is error 67; a put that was
// extending the file then truncates it back, so no partial record remains.
void get(int fileNumber, long record);
void put(int fileNumber, long record);
long recordCount(int fileNumber);        // file size / record length, rounded up; 51 if sequential
std::int64_t fileSize(int fileNumber);   // bytes (past 2 GiB too)
// When the file was last written, in 100 ns ticks since 1970-01-01 UTC on
// every system, so that a time one copy stores in a shared file means the
// same to a copy on another system. Equal times mean no write in between as
// far as the disk's clock can tell; comparable only with times of files on
// the same disk.
std::int64_t modificationTime(int fileNumber);
// Record files: the record after the last get/put (1 before any). Sequential
// files: the byte offset of the read or write position plus 1.
std::int64_t position(int fileNumber);

// Record buffer access for code that lays out a whole record itself (51 on a
// sequential file; setRecordBuffer: 5 unless bytes has the record length).
Str recordBuffer(int fileNumber);
void setRecordBuffer(int fileNumber, const Str& bytes);

// Sequential files.
// Writes "item1","item2" CR LF: no escaping of quotes inside an item, no
// end-of-file byte. Modes 2, 3 and 11 only (else 51); disk full is 67, and the
// partial line is then taken back off the file.
void writeLine(int fileNumber, std::initializer_list<Str> items);
// Writes the bytes as they are, for text the caller lays out itself (its own
// quoting and line ends); modes, errors and the disk-full take-back as
// writeLine.
void writeText(int fileNumber, const Str& text);
// One item as the input statement reads it (mode 1 only, else 51): blanks
// (0x20, tab) skipped; a quoted item runs to the next quote and reading goes
// on after the next comma or line end; an unquoted one runs to a comma, colon
// or line end (CR LF, CR or LF), without trailing blanks. An empty line is an
// empty item. Reading at the end of the file is err::InputPastEnd.
Str inputItem(int fileNumber);
// Mode 1: true at the end of the file, and before a lone final 0x1A. Record
// files: error 51. Output modes: false.
bool eof(int fileNumber);

// Locks/unlocks the bytes of record `record` of an open record file (an OFD
// byte-range lock: exclusive, or shared on a read-only file). A lock held
// through another open raises err::LockViolation; closing the file releases
// its locks. Errors 57, 51 (sequential file), 5 (record < 1).
void lockRecord(int fileNumber, long record);
void unlockRecord(int fileNumber, long record);

// Reads up to n bytes from byte `offset` (from 0) of an open record file into
// dst, for scanning many records in one read; the record buffer and the
// position stay as they are. Returns the number of bytes read: fewer than n
// only at the end of the file, 0 at or past it. Errors 50, 57, 51 on a sequential
// file or against the mode (mode 5), 5 for a negative offset or a null dst
// with n > 0, err::LockViolation when another open holds a record lock on any
// of the bytes that exist in the range (as get does for one record).
std::size_t readBytes(int fileNumber, std::int64_t offset, char* dst, std::size_t n);

// Returns once everything written through the number so far is on the disk,
// so that it survives a crash or a power cut. For a rewrite (mode 11) that is
// the new content, which still replaces the file only at commit(). A file opened
// for reading only (modes 1, 4) has nothing to flush. Errors 50, 57; 67 when
// the disk is full, 72 when the device fails.
void flushToDisk(int fileNumber);

// The whole-file lock: exclusive among the opens of one file that ask for it,
// in other Tessivo processes and through other numbers of this one, so that a
// writer is alone while it appends or rewrites several records. It holds back
// nothing else: opens, gets, puts and record locks of others go on as before.
// lockWholeFile waits up to waitMilliseconds (0: not at all) for another
// holder to let go, then raises err::LockViolation; taking it again through
// the same number does nothing. Closing the file releases it.
// Errors 50, 57, 51 for a file opened without write access (modes 1, 4), 5 for
// a negative wait. unlockWholeFile does nothing when the lock is not held.
void lockWholeFile(int fileNumber, long waitMilliseconds = 0);
void unlockWholeFile(int fileNumber);

// Holds the whole-file lock for a scope: the constructor takes it (and raises
// as lockWholeFile), the destructor gives it back, never throwing. When the
// lock was held through the number already, or the file has been closed (and
// the number perhaps reopened) meanwhile, the destructor leaves it alone.
class FileLock {
 public:
  explicit FileLock(int fileNumber, long waitMilliseconds = 0);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  int fileNumber_;
  unsigned generation_ = 0;  // of the open whose lock this took; 0 when none
};

// True when a file or directory matches; wildcards * and ? (one character,
// single- or double-byte) only in the last part; "*.*" matches every name.
// An empty, over-long or malformed pattern gives false.
bool fileExists(const Str& pattern);
// Creates one directory; 55 for a bad name, system errors otherwise (71 when
// it exists, 53 when the parent is missing).
void makeDirectory(const Str& name);

// Folders and whole-file copies, for keeping copies of the stored files.
// Names are CP932 like every other name here.
//
// The names in a folder (files and folders, without "." and ".."), in no
// particular order; err::PathNotFound when the folder cannot be read.
std::vector<Str> folderEntries(const Str& folder);
// True when the name is a folder (not a link to one).
bool isFolder(const Str& name);
// True when the name is a folder or a link to one (EKG_DATA on another drive).
bool isFolderFollowingLinks(const Str& name);
// Copies the file `from` to `to`, which must not exist yet (71), and returns
// once the copy is on the disk; returns the bytes copied. On any failure the
// partial copy is removed and the error raised (53, 56, 67, 72 …).
std::int64_t copyFile(const Str& from, const Str& to);
// The same from an open record file, reading through its number, so that a
// caller holding its whole-file lock copies a state no writer is changing;
// copies the bytes the file has when the call begins.
std::int64_t copyOpenFile(int fileNumber, const Str& to);
// Gives a file or folder another name in the same folder tree, in one step.
void renamePath(const Str& from, const Str& to);
// Removes a folder with everything in it (a missing folder is no error).
// Stops at the first failure and raises it; what was removed stays removed.
void removeFolderTree(const Str& folder);
// Removes one file.
void removeFile(const Str& name);

// A file opened by name outside the numbered files, for work on a thread of
// its own (the daily backup): each object is its own open and shares
// nothing, so it may be used on one thread while another uses the numbered
// files. Its opens meet the numbered ones as two numbered opens meet: others
// may read and write beside it (Share::ReadWrite), and its whole-file lock is
// the one FileLock takes. Names as for open(); errors are runtime errors.
class PlainFile {
 public:
  enum class Access {
    Read,       // reads; the file must exist (53)
    Update,     // reads and writes; created empty when missing
    CreateNew,  // reads and writes a new file; one of that name is error 71
  };
  PlainFile(const Str& name, Access access);
  // Closes the file if it is still open; never throws.
  ~PlainFile();
  PlainFile(const PlainFile&) = delete;
  PlainFile& operator=(const PlainFile&) = delete;

  std::int64_t size() const;
  // Up to n bytes from byte `offset` (from 0); fewer only at the end of the
  // file. err::LockViolation when another open holds a record lock on any of
  // the bytes that exist in the range, as readBytes.
  std::size_t read(std::int64_t offset, char* dst, std::size_t n) const;
  // All n bytes at `offset` (not with Access::Read: 51). A write that fails
  // or comes up short is raised (67 disk full); one that was extending the
  // file cuts it back to its old size first.
  void write(std::int64_t offset, const char* src, std::size_t n);
  // Cuts the file to `bytes` (not with Access::Read: 51), for taking back a
  // tail a writer left half-written.
  void truncate(std::int64_t bytes);
  // As flushToDisk: returns once the writes are on the disk.
  void flushToDisk();
  // The whole-file lock, without waiting: false when another open holds it
  // so that this one cannot have it. Opened to write, the lock is exclusive
  // (a writer's); opened with Access::Read it is shared: it keeps writers out
  // and is kept out by one, but readers may hold it together, and a file
  // that this program may only read can be held as well. True at once when
  // held already. Other failures are raised.
  bool tryLockWholeFile();
  // Lets the lock go; nothing when it is not held.
  void unlockWholeFile();
  // Closes now and raises a failing close; the destructor then does nothing.
  void close();

 private:
  std::intptr_t handle_;
  bool writes_;
  bool locked_ = false;
};

// The OS path for a program file name (CP932, '\' separators): single-byte
// backslashes become '/', never the 0x5C trail byte of a double-byte character
// (表 is 0x95 0x5C); the result is UTF-8, absolute against the current
// directory unless the name starts with '/'.
std::string osPath(const Str& name);

// Tests only: after `bytes` more bytes every write of the file services comes
// up short and then fails as on a full disk; a negative value switches it off.
void failWritesAfterForTesting(long bytes);
// Tests only: the folder of a rewrite takes no new file, as a read-only
// folder does (root, who runs CI, may write into any folder).
void refuseTempFilesForTesting(bool refuse);

}  // namespace fw
