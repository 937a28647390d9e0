// The operating-system calls on Windows. Paths arrive as UTF-8 with '/'
// separators and go to the wide-character API. Sharing and byte-range locks
// are the system's own: the interface was modelled on them. Sharing is kept
// twice: by the system's sharing modes among Windows programs, and by the
// same reservation bytes the POSIX side locks (os_posix.cpp), because only
// byte-range locks meet across systems: a Linux and a Windows computer on
// one shared folder keep each other's sharing modes out that way.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/core/error.h"
#include "framework/core/internal/os.h"
#include "framework/core/internal/share_reservation.h"

namespace fw::os {
namespace {

constexpr UINT kCp932 = 932;

int errorOf(DWORD e) {
  switch (e) {
    case ERROR_SUCCESS: return 0;
    // A missing folder on the way is a missing file, as on the POSIX side.
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return err::FileNotFound;
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_DRIVE: return err::PathNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_TOO_MANY_OPEN_FILES: return err::FileAccess;
    case ERROR_SHARING_VIOLATION: return err::SharingViolation;
    case ERROR_LOCK_VIOLATION:
    case ERROR_IO_PENDING: return err::LockViolation;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return err::AlreadyExists;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_NO_UNICODE_TRANSLATION: return err::BadFileName;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return err::DiskFull;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return err::OutOfMemory;
    default: return err::IoError;
  }
}

int lastError() { return errorOf(GetLastError()); }

HANDLE handleOf(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

// UTF-8 with '/' to UTF-16 with '\'; empty for bytes that are not UTF-8.
std::wstring wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                    static_cast<int>(utf8.size()), nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                      out.data(), n);
  std::replace(out.begin(), out.end(), L'/', L'\\');
  return out;
}

std::string utf8Of(const wchar_t* text, int length) {
  if (length <= 0) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), n, nullptr, nullptr);
  return out;
}

// A path back in the interface's form: UTF-8 with '/'.
std::string interfacePath(const std::wstring& path) {
  std::string out = utf8Of(path.data(), static_cast<int>(path.size()));
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

OVERLAPPED at(std::int64_t offset) {
  OVERLAPPED o{};
  const auto u = static_cast<std::uint64_t>(offset);
  o.Offset = static_cast<DWORD>(u & 0xFFFFFFFFu);
  o.OffsetHigh = static_cast<DWORD>(u >> 32);
  return o;
}

DWORD low(std::int64_t n) { return static_cast<DWORD>(static_cast<std::uint64_t>(n) & 0xFFFFFFFFu); }
DWORD high(std::int64_t n) { return static_cast<DWORD>(static_cast<std::uint64_t>(n) >> 32); }

// ---- CP932 ----

bool isLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool isTrail(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }
bool isSingle(unsigned char b) { return b <= 0x7F || (b >= 0xA1 && b <= 0xDF); }

// Bytes of the CP932 character at the start of `in` by its form, 0 when the
// bytes cannot start one.
std::size_t cp932Length(std::string_view in) {
  const auto b = static_cast<unsigned char>(in[0]);
  if (isSingle(b)) return 1;
  if (isLead(b) && in.size() >= 2 && isTrail(static_cast<unsigned char>(in[1]))) return 2;
  return 0;
}

// Converts CP932 bytes that all have the form of characters; false when one
// of them has no Unicode character (an unassigned code).
bool decodeWhole(std::string_view in, std::string& out) {
  if (in.empty()) return true;
  const int n = MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, in.data(),
                                    static_cast<int>(in.size()), nullptr, 0);
  if (n <= 0) return false;
  std::wstring text(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, in.data(), static_cast<int>(in.size()),
                      text.data(), n);
  out += utf8Of(text.data(), n);
  return true;
}

// Bytes of the UTF-8 sequence at the start of `in` (its code point in
// *code), 0 when it is not one.
std::size_t utf8Length(std::string_view in, char32_t* code) {
  const auto b = static_cast<unsigned char>(in[0]);
  std::size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
  if (n == 0 || in.size() < n) return 0;
  char32_t c = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
  for (std::size_t k = 1; k < n; ++k) {
    const auto t = static_cast<unsigned char>(in[k]);
    if ((t & 0xC0) != 0x80) return 0;
    c = (c << 6) | (t & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kSmallest[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  *code = c;
  return n;
}

// Converts valid UTF-8; false when a character has no CP932 code (the
// system would put its default character in its place).
bool encodeWhole(std::string_view utf8, std::string& out) {
  if (utf8.empty()) return true;
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                    nullptr, 0);
  if (n <= 0) return false;
  std::wstring text(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), n);
  BOOL defaulted = FALSE;
  const int bytes = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, text.data(), n, nullptr, 0,
                                        nullptr, &defaulted);
  if (bytes <= 0 || defaulted) return false;
  std::string encoded(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, text.data(), n, encoded.data(), bytes, nullptr,
                      nullptr);
  out += encoded;
  return true;
}

// The longest start of `in` whose characters `convert` takes, converted
// into `out`; returns its length. `charLength` gives the length of the
// character at a position by its form (0: not a character). The whole start
// is converted at once, and character by character only when a code in it
// has no counterpart.
template <class CharLength, class Convert>
std::size_t convertLongestStart(std::string_view in, std::string& out, CharLength charLength,
                                Convert convert) {
  std::size_t formed = 0;
  while (formed < in.size()) {
    const std::size_t n = charLength(in.substr(formed));
    if (n == 0) break;
    formed += n;
  }
  if (convert(in.substr(0, formed), out)) return formed;
  std::size_t done = 0;
  while (done < formed) {
    const std::size_t n = charLength(in.substr(done));
    if (!convert(in.substr(done, n), out)) break;
    done += n;
  }
  return done;
}

// ---- sharing reservations (share_reservation.h) ----

bool lockByte(HANDLE file, std::int64_t byte, DWORD flags) {
  OVERLAPPED where = at(kDataLimit + byte);
  return LockFileEx(file, flags | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where) != 0;
}

void unlockByte(HANDLE file, std::int64_t byte) {
  OVERLAPPED where = at(kDataLimit + byte);
  UnlockFileEx(file, 0, 1, 0, &where);
}

// Windows has no test for a lock that takes none (the POSIX side asks with
// F_OFD_GETLK): a byte is tested by taking it exclusively for a moment. Such
// a moment of another open's test looks like a holder, so a test or a take
// that fails is tried again a few times before it counts: a reservation is
// held for as long as its open lasts, a test's lock only for a moment. Among
// Windows programs the system's sharing modes have decided already; what
// remains to find are the reservations of programs on other systems.
bool heldByOthers(HANDLE file, ReservedByte byte) {
  for (int attempt = 0; attempt < kLooksAtATest; ++attempt) {
    if (lockByte(file, byte, LOCKFILE_EXCLUSIVE_LOCK)) {
      unlockByte(file, byte);
      return false;
    }
    Sleep(1);
  }
  return true;
}

bool reserve(HANDLE file, ReservedByte byte) {
  for (int attempt = 0; attempt < kTriesToTake; ++attempt) {
    if (lockByte(file, byte, 0)) return true;
    Sleep(1);
  }
  return false;
}

int takeShareReservation(HANDLE file, const OpenRequest& r) {
  return takeReservations(
      r, [file](ReservedByte b) { return heldByOthers(file, b) ? 1 : 0; },
      [file](ReservedByte b) { return reserve(file, b) ? 0 : err::SharingViolation; });
}

}  // namespace

int openFile(const std::string& path, const OpenRequest& request, FileHandle* out) {
  const std::wstring name = wide(path);
  if (name.empty()) return err::BadFileName;
  // A writer reads as well (a rewrite in place reads the old content back),
  // as the POSIX side opens it read-write.
  DWORD access = FILE_READ_ATTRIBUTES;
  if (request.reads || request.writes) access |= GENERIC_READ;
  if (request.writes) access |= GENERIC_WRITE;
  // Deletion stays open to others, so a rewrite of another program can put
  // its new file in place.
  DWORD share = FILE_SHARE_DELETE;
  if (!request.deniesRead) share |= FILE_SHARE_READ;
  if (!request.deniesWrite) share |= FILE_SHARE_WRITE;
  DWORD disposition = OPEN_EXISTING;
  if (request.creation == Creation::CreateNew) disposition = CREATE_NEW;
  if (request.creation == Creation::OpenOrCreate) disposition = OPEN_ALWAYS;
  // Default security: the handle is not inherited by child programs.
  HANDLE file = CreateFileW(name.c_str(), access, share, nullptr, disposition,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD e = GetLastError();
    // A folder of that name: refused as the POSIX side refuses it.
    if (e == ERROR_ACCESS_DENIED) {
      const DWORD attributes = GetFileAttributesW(name.c_str());
      if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return err::FileAccess;
      }
    }
    return errorOf(e);
  }
  if (const int e = takeShareReservation(file, request); e != 0) {
    CloseHandle(file);
    return e;
  }
  *out = reinterpret_cast<FileHandle>(file);
  return 0;
}

int closeFile(FileHandle file) { return CloseHandle(handleOf(file)) ? 0 : lastError(); }

int readAt(FileHandle file, std::int64_t offset, char* dst, std::size_t n, std::size_t* done) {
  *done = 0;
  while (*done < n) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(n - *done, 1u << 30));
    OVERLAPPED where = at(offset + static_cast<std::int64_t>(*done));
    DWORD got = 0;
    if (!ReadFile(handleOf(file), dst + *done, want, &got, &where)) {
      if (GetLastError() == ERROR_HANDLE_EOF) break;
      return lastError();
    }
    if (got == 0) break;
    *done += got;
  }
  return 0;
}

int writeSomeAt(FileHandle file, std::int64_t offset, const char* src, std::size_t n,
                std::size_t* done) {
  *done = 0;
  if (n == 0) return 0;
  const DWORD want = static_cast<DWORD>(std::min<std::size_t>(n, 1u << 30));
  OVERLAPPED where = at(offset);
  DWORD written = 0;
  if (!WriteFile(handleOf(file), src, want, &written, &where)) return lastError();
  if (written == 0) return err::DiskFull;
  *done = written;
  return 0;
}

int fileSize(FileHandle file, std::int64_t* bytes) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handleOf(file), &size)) return lastError();
  *bytes = size.QuadPart;
  return 0;
}

int fileModified(FileHandle file, std::int64_t* time) {
  FILETIME written{};
  if (!GetFileTime(handleOf(file), nullptr, nullptr, &written)) return lastError();
  // FILETIME counts from 1601-01-01.
  constexpr std::int64_t kTicksFrom1601To1970 = 116444736000000000;
  *time = static_cast<std::int64_t>((static_cast<std::uint64_t>(written.dwHighDateTime) << 32) |
                                    written.dwLowDateTime) -
          kTicksFrom1601To1970;
  return 0;
}

int truncateFile(FileHandle file, std::int64_t bytes) {
  FILE_END_OF_FILE_INFO end{};
  end.EndOfFile.QuadPart = bytes;
  return SetFileInformationByHandle(handleOf(file), FileEndOfFileInfo, &end, sizeof end)
             ? 0
             : lastError();
}

int flushToDisk(FileHandle file) { return FlushFileBuffers(handleOf(file)) ? 0 : lastError(); }

int lockRange(FileHandle file, std::int64_t start, std::int64_t length, Lock kind) {
  OVERLAPPED where = at(start);
  const DWORD flags =
      LOCKFILE_FAIL_IMMEDIATELY | (kind == Lock::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
  if (LockFileEx(handleOf(file), flags, 0, low(length), high(length), &where)) return 0;
  const int e = lastError();
  return e == err::LockViolation || e == err::FileAccess ? err::LockViolation : e;
}

int unlockRange(FileHandle file, std::int64_t start, std::int64_t length) {
  OVERLAPPED where = at(start);
  return UnlockFileEx(handleOf(file), 0, low(length), high(length), &where) ? 0 : lastError();
}

// Windows keeps reads and writes out of ranges other handles have locked
// (a read or write there fails with ERROR_LOCK_VIOLATION, which the caller
// reports as err::LockViolation), so nothing needs testing beforehand.
bool rangeLockedByOthers(FileHandle, std::int64_t, std::int64_t, Lock) { return false; }

constexpr std::int64_t kWholeFileByte = kDataLimit + WholeFile;

int lockWholeFile(FileHandle file, Lock kind) { return lockRange(file, kWholeFileByte, 1, kind); }

int unlockWholeFile(FileHandle file) { return unlockRange(file, kWholeFileByte, 1); }

// The new file takes the folder's inherited permissions; a copy of the old
// file's own access list is not attempted.
int createTempBeside(const std::string& target, FileHandle, std::string* tempPath,
                     FileHandle* out) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[40];
    std::snprintf(suffix, sizeof suffix, ".~%08lx%04x",
                  static_cast<unsigned long>(GetCurrentProcessId()),
                  static_cast<unsigned>(counter.fetch_add(1) & 0xFFFF));
    const std::string path = target + suffix;
    OpenRequest request;
    request.reads = true;
    request.writes = true;
    request.creation = Creation::CreateNew;
    const int e = openFile(path, request, out);
    if (e == 0) {
      *tempPath = path;
      return 0;
    }
    if (e != err::AlreadyExists) return e;
  }
  return err::AlreadyExists;
}

namespace {

// Puts `source` in the place of `target` with POSIX semantics: the name
// changes at once even while others hold the old file open (they keep
// reading it), as on Linux. False with *error set when the system refused;
// *error is ERROR_NOT_SUPPORTED (or the like) where the system or the file
// system does not offer it (before Windows 10 1809, FAT, some shares).
bool renamePosixStyle(const std::wstring& source, const std::wstring& target, DWORD* error) {
  HANDLE file = CreateFileW(source.c_str(), DELETE | SYNCHRONIZE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = GetLastError();
    return false;
  }
  const std::size_t nameBytes = target.size() * sizeof(wchar_t);
  std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->Flags = FILE_RENAME_FLAG_REPLACE_IF_EXISTS | FILE_RENAME_FLAG_POSIX_SEMANTICS;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(nameBytes);
  std::copy(target.begin(), target.end(), info->FileName);
  // FileRenameInfoEx, which MinGW's headers hide behind a wrong version test.
  constexpr auto kRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
  const bool done = SetFileInformationByHandle(file, kRenameInfoEx, info,
                                               static_cast<DWORD>(buffer.size())) != 0;
  *error = done ? ERROR_SUCCESS : GetLastError();
  CloseHandle(file);
  return done;
}

bool notOffered(DWORD e) {
  return e == ERROR_INVALID_PARAMETER || e == ERROR_NOT_SUPPORTED ||
         e == ERROR_INVALID_FUNCTION || e == ERROR_INVALID_LEVEL ||
         e == ERROR_CALL_NOT_IMPLEMENTED;
}

}  // namespace

int replaceFile(const std::string& from, const std::string& to) {
  const std::wstring source = wide(from);
  const std::wstring target = wide(to);
  if (source.empty() || target.empty()) return err::BadFileName;
  // An existing file is replaced in one step; an existing folder is not.
  DWORD e = ERROR_SUCCESS;
  if (renamePosixStyle(source, target, &e)) return 0;
  // Without POSIX semantics Windows refuses to replace a file another
  // program has open at that moment. The readers of this program hold
  // theirs for a moment only, so a refusal is tried again briefly (the
  // window waits meanwhile); after that the file counts as in use, which
  // the caller tells apart from a denied access.
  if (!notOffered(e) && e != ERROR_ACCESS_DENIED && e != ERROR_SHARING_VIOLATION) {
    return errorOf(e);
  }
  constexpr int kTries = 15;
  for (int attempt = 1;; ++attempt) {
    if (MoveFileExW(source.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return 0;
    }
    e = GetLastError();
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool openFileInTheWay =
        (e == ERROR_ACCESS_DENIED || e == ERROR_SHARING_VIOLATION) &&
        attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (!openFileInTheWay) return errorOf(e);
    if (attempt == kTries) return err::SharingViolation;
    Sleep(20);
  }
}

int removeFile(const std::string& path) {
  const std::wstring name = wide(path);
  if (name.empty()) return err::BadFileName;
  return DeleteFileW(name.c_str()) ? 0 : lastError();
}

bool pathExists(const std::string& path) {
  const std::wstring name = wide(path);
  return !name.empty() && GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool listDirectory(const std::string& path, const std::function<bool(const std::string&)>& visit) {
  const std::wstring name = wide(path);
  if (name.empty()) return false;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((name + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    const std::wstring entry = found.cFileName;
    if (entry == L"." || entry == L"..") continue;
    if (!visit(utf8Of(entry.data(), static_cast<int>(entry.size())))) break;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return true;
}

int makeDirectory(const std::string& path) {
  const std::wstring name = wide(path);
  if (name.empty()) return err::BadFileName;
  return CreateDirectoryW(name.c_str(), nullptr) ? 0 : lastError();
}

int removeDirectory(const std::string& path) {
  const std::wstring name = wide(path);
  if (name.empty()) return err::BadFileName;
  return RemoveDirectoryW(name.c_str()) ? 0 : lastError();
}

// A junction or a symbolic link to a folder is a reparse point, not a folder:
// removing a tree never reaches through one.
bool isDirectory(const std::string& path) {
  const std::wstring name = wide(path);
  if (name.empty()) return false;
  const DWORD attributes = GetFileAttributesW(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// A link's own attributes say "folder" for a dangling link too: the handle
// opened through it says what it points to.
bool isDirectoryFollowingLinks(const std::string& path) {
  const std::wstring name = wide(path);
  if (name.empty()) return false;
  HANDLE file = CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool folder =
      GetFileInformationByHandle(file, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  CloseHandle(file);
  return folder;
}

std::string resolveLinks(const std::string& path) {
  const std::wstring name = wide(path);
  if (name.empty()) return path;
  HANDLE file = CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return path;
  std::wstring final(MAX_PATH, L'\0');
  DWORD n = GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()),
                                      FILE_NAME_NORMALIZED);
  if (n >= final.size()) {
    final.resize(n + 1);
    n = GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()),
                                  FILE_NAME_NORMALIZED);
  }
  CloseHandle(file);
  if (n == 0 || n >= final.size()) return path;
  final.resize(n);
  // "\\?\C:\..." for a drive, "\\?\UNC\server\share\..." for a share.
  if (final.rfind(L"\\\\?\\UNC\\", 0) == 0) {
    final = L"\\\\" + final.substr(8);
  } else if (final.rfind(L"\\\\?\\", 0) == 0) {
    final = final.substr(4);
  }
  return interfacePath(final);
}

int absolutePath(const std::string& path, std::string* out) {
  // "/..." and "//server/..." are rooted; so is "C:/..." (and "C:...").
  const bool drive = path.size() >= 2 && path[1] == ':' &&
                     ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  if ((!path.empty() && path[0] == '/') || drive) {
    *out = path;
    return 0;
  }
  const DWORD n = GetCurrentDirectoryW(0, nullptr);
  if (n == 0) return lastError();
  std::wstring cwd(n, L'\0');
  const DWORD got = GetCurrentDirectoryW(n, cwd.data());
  if (got == 0 || got >= n) return lastError();
  cwd.resize(got);
  std::string base = interfacePath(cwd);
  if (base.empty() || base.back() != '/') base += '/';
  *out = base + path;
  return 0;
}

int changeDirectory(const std::string& path) {
  const std::wstring name = wide(path);
  if (name.empty()) return err::BadFileName;
  return SetCurrentDirectoryW(name.c_str()) ? 0 : lastError();
}

namespace {
std::string environmentFolder(const wchar_t* variable) {
  const DWORD n = GetEnvironmentVariableW(variable, nullptr, 0);
  if (n == 0) return "";
  std::wstring value(n, L'\0');
  const DWORD got = GetEnvironmentVariableW(variable, value.data(), n);
  if (got == 0 || got >= n) return "";
  value.resize(got);
  return interfacePath(value);
}
}  // namespace

std::string homeDirectory() { return environmentFolder(L"USERPROFILE"); }

std::string systemSettingsDirectory() {
  const std::string folder = environmentFolder(L"ProgramData");
  return folder.empty() ? "C:/ProgramData" : folder;
}

LocalTime localNow() {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

std::string computerName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
  if (!GetComputerNameW(name, &length)) return {};
  return utf8Of(name, static_cast<int>(length));
}

std::string userName() {
  // UNLEN (lmcons.h) is 256.
  wchar_t name[257] = {};
  DWORD length = 257;
  if (!GetUserNameW(name, &length) || length == 0) return {};
  return utf8Of(name, static_cast<int>(length - 1));  // the count includes the 0
}

std::size_t decodeCp932(std::string_view in, std::string& out) {
  return convertLongestStart(in, out, cp932Length, decodeWhole);
}

std::size_t encodeCp932(std::string_view utf8, std::string& out) {
  const auto length = [](std::string_view s) {
    char32_t code = 0;
    return utf8Length(s, &code);
  };
  return convertLongestStart(utf8, out, length, encodeWhole);
}

}  // namespace fw::os
