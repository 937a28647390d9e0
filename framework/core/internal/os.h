// The operating-system calls of the core: files, locks, directories, the
// local time and the CP932 code page. One implementation per platform
// (os_posix.cpp today); the rest of the core calls only these.
//
// Paths are UTF-8 with '/' separators, as files.cpp makes them. A call that
// can fail returns 0 on success or the runtime error number of the failure
// (error.h), mapped from the system's own code by the implementation; the
// caller raises it, so the error names the service that failed. Interrupted
// system calls are retried inside.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "framework/core/clock.h"

namespace fw::os {

// An open file; kNoFile when none. A descriptor on POSIX, a HANDLE on Windows.
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

// Byte offsets at and past this are the implementation's own (it may keep
// sharing reservations and the whole-file lock there): data and record locks
// stay below it.
inline constexpr std::int64_t kDataLimit = INT64_MAX - 16;

enum class Creation {
  MustExist,     // the file must exist
  CreateNew,     // the file must not exist; created
  OpenOrCreate,  // opened, or created empty; never truncated
};

// What an open does and what it lets other opens of the same file do. The
// rule is the Windows one, among every open that goes through this interface
// (other processes included): the open fails with err::SharingViolation when
// an open in place denies an access this one asks for, or has an access this
// one denies.
struct OpenRequest {
  bool reads = false;
  bool writes = false;
  bool deniesRead = false;
  bool deniesWrite = false;
  Creation creation = Creation::MustExist;
};

// A directory is refused with err::FileAccess. The handle is not inherited by
// child programs.
int openFile(const std::string& path, const OpenRequest& request, FileHandle* out);
// Releases the handle (and with it every lock and reservation it held) even
// when it reports an error.
int closeFile(FileHandle file);

// Reads up to n bytes at offset; *done is less than n only at the end of the
// file.
int readAt(FileHandle file, std::int64_t offset, char* dst, std::size_t n, std::size_t* done);
// One write at offset: *done may come up short of n (a full disk then fails
// on the next write). A write that stores nothing is err::DiskFull.
int writeSomeAt(FileHandle file, std::int64_t offset, const char* src, std::size_t n,
                std::size_t* done);
int fileSize(FileHandle file, std::int64_t* bytes);
// The time of the file's last change in 100 ns ticks since 1970-01-01 UTC,
// the finest unit Windows and a shared folder keep: a Linux and a Windows
// copy read the same number for the same file.
int fileModified(FileHandle file, std::int64_t* time);
int truncateFile(FileHandle file, std::int64_t bytes);
// Returns when the file's data has reached the disk.
int flushToDisk(FileHandle file);

// Byte-range locks, never waiting, of [start, start + length) (below
// kDataLimit). They belong to the open, not to the process: two opens of one
// file in one process exclude each other, and closing an open releases its
// locks. A lock that another open holds is err::LockViolation.
enum class Lock { Shared, Exclusive };
int lockRange(FileHandle file, std::int64_t start, std::int64_t length, Lock kind);
int unlockRange(FileHandle file, std::int64_t start, std::int64_t length);
// True when another open holds a lock that a lock of `kind` on the range would
// meet (Shared: an exclusive lock; Exclusive: any lock). A failed test gives
// false: the read or write that follows reports the real problem.
bool rangeLockedByOthers(FileHandle file, std::int64_t start, std::int64_t length, Lock kind);

// The lock of the whole file, never waiting: it keeps out only the same lock
// taken through another open (err::LockViolation), not reads, writes or
// byte-range locks. Exclusive (a writer's: needs an open that writes) it
// keeps out every other holder; shared (a reader's: an open that reads is
// enough) only an exclusive one, so readers may hold it together while no
// writer can.
int lockWholeFile(FileHandle file, Lock kind = Lock::Exclusive);
int unlockWholeFile(FileHandle file);

// A new, empty file beside `target`, named uniquely after it, with the access
// rights of the open file `like`; for a content that replaces the target.
int createTempBeside(const std::string& target, FileHandle like, std::string* tempPath,
                     FileHandle* out);
// Puts `from` in the place of `to` in one step: a reader sees the old file or
// the new one.
int replaceFile(const std::string& from, const std::string& to);
int removeFile(const std::string& path);

// True when a file or directory of that name exists.
bool pathExists(const std::string& path);
// Calls visit with every name in the directory except "." and ".." until it
// returns false. False when the directory cannot be read.
bool listDirectory(const std::string& path, const std::function<bool(const std::string&)>& visit);
int makeDirectory(const std::string& path);
// Removes an empty directory.
int removeDirectory(const std::string& path);
// True when the path names a directory itself (a link to one is not: removing
// a tree must never reach through a link).
bool isDirectory(const std::string& path);
// True when the path names a directory once its links are followed (a
// symbolic link or junction to a folder on another drive is one).
bool isDirectoryFollowingLinks(const std::string& path);
// The file a path names after following its symbolic links (the path
// itself when it names nothing yet).
std::string resolveLinks(const std::string& path);
// A relative path made absolute against the current directory.
int absolutePath(const std::string& path, std::string* out);

// Makes the folder the process's current directory.
int changeDirectory(const std::string& path);
// The user's home folder ($HOME, else the account's; %USERPROFILE% on
// Windows); "" when none is known.
std::string homeDirectory();
// Where the administrator keeps settings for every user of the computer:
// "/etc"; on Windows %ProgramData% (else "C:/ProgramData").
std::string systemSettingsDirectory();

LocalTime localNow();

// Who writes: the computer's network name and the signed-in user's name,
// UTF-8; empty when the system does not say.
std::string computerName();
std::string userName();

// The CP932 code page. Each converts the longest valid start of `in`, appends
// it to `out` and returns the number of input bytes it took: in.size() when
// all of it was valid, else the offset of the first byte that is not (an
// invalid sequence, or a character cut off at the end).
std::size_t decodeCp932(std::string_view in, std::string& out);  // to UTF-8
std::size_t encodeCp932(std::string_view utf8, std::string& out);

}  // namespace fw::os
