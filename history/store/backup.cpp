#include "history/store/backup.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include "common/history_format.h"
#include "common/paths.h"
#include "framework/core/clock.h"
#include "framework/core/error.h"
#include "framework/core/files.h"
#include "history/store/search_index.h"

namespace history {

using common::kHistoryRecordBytes;
using fw::PlainFile;
using fw::Str;

namespace {

using SteadyClock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr const char* kPartSuffix = ".part";
constexpr const char* kTurnFile = "BACKUP.LCK";

// The history is copied this many bytes of each file at a time: whole
// records, so that no record is read at two moments; 1 MB, which even a slow
// network disk reads in a small part of a second.
constexpr std::int64_t kBlockBytes = 512 * static_cast<std::int64_t>(kHistoryRecordBytes);
// Between two blocks the writer lock stays free at least this long: a
// registration waiting for it tries every 2 ms (another computer's a little
// slower over the network), so it gets its turn.
constexpr milliseconds kLetGo{10};
// How long the backup waits for the writer lock: a registration holds it for
// a moment, a backup of an older program for its whole copy.
constexpr milliseconds kWriterWait{30000};
// How long a read waits for the record lock of a deletion.
constexpr milliseconds kRecordLockWait{2000};

std::atomic<long> blockPauseMilliseconds{0};

// A backup that cannot be taken, with what the operator is told.
struct Failure {
  BackupProblem problem;
  int error;
  Str file;
};
// The program is ending: the backup gives up where it is.
struct Stopped {};

void stopIfAsked(const std::atomic<bool>& stop) {
  if (stop.load()) throw Stopped{};
}

// A failure while writing into EKG_BACKUP, by what the operator can do.
[[noreturn]] void failWriting(const fw::RuntimeError& e) {
  switch (e.number()) {
    case fw::err::DiskFull:
      throw Failure{BackupProblem::BackupDiskFull, e.number(), {}};
    case fw::err::FileAccess:
    case fw::err::AlreadyExists:  // a file where a folder must be made
    case fw::err::FileNotFound:
    case fw::err::PathNotFound:
    case fw::err::BadFileName:
      throw Failure{BackupProblem::BackupFolderNotWritable, e.number(), {}};
    default:
      throw Failure{BackupProblem::BackupWriteFailed, e.number(), {}};
  }
}

[[noreturn]] void failReading(const Str& file, const fw::RuntimeError& e) {
  if (e.number() == fw::err::LockViolation) {
    throw Failure{BackupProblem::HistoryBusy, e.number(), file};
  }
  throw Failure{BackupProblem::SourceUnreadable, e.number(), file};
}

template <class Operation>
decltype(auto) writing(Operation&& operation) {
  try {
    return operation();
  } catch (const fw::RuntimeError& e) {
    failWriting(e);
  }
}

template <class Operation>
decltype(auto) reading(const Str& file, Operation&& operation) {
  try {
    return operation();
  } catch (const fw::RuntimeError& e) {
    failReading(file, e);
  }
}

// Reads from a file of EKG_DATA or EKG_SYS; a deletion's record lock in the
// way is waited out, as the store's readers do.
std::size_t readSource(const Str& name, const PlainFile& file, std::int64_t offset, char* dst,
                       std::size_t n) {
  const SteadyClock::time_point deadline = SteadyClock::now() + kRecordLockWait;
  for (;;) {
    try {
      return file.read(offset, dst, n);
    } catch (const fw::RuntimeError& e) {
      if (e.number() != fw::err::LockViolation || SteadyClock::now() >= deadline) {
        failReading(name, e);
      }
    }
    std::this_thread::sleep_for(milliseconds(1));
  }
}

Str dayName(const fw::LocalTime& t) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02d%02d", t.year, t.month, t.day);
  return text;
}

bool isDayName(const Str& name) {
  return name.size() == 8 &&
         std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

Str inside(const Str& folder, const Str& name) { return folder + "\\" + name; }

// The files directly in a folder (links to files too, not folders or links
// to them), sorted; none when it is missing. Raises when it cannot be read.
std::vector<Str> filesIn(const Str& folder) {
  std::vector<Str> names;
  if (!fw::isFolderFollowingLinks(folder)) return names;
  for (const Str& name : fw::folderEntries(folder)) {
    if (!fw::isFolderFollowingLinks(inside(folder, name))) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

const char* const kCopiedFolders[] = {common::files::kDataDir, common::files::kSysDir};

// The search index is a cache that the next search builds again: it is
// neither copied nor compared (a search that rebuilt it is no change).
std::vector<Str> sourceFilesIn(const Str& folder) {
  std::vector<Str> names = reading(folder, [&] { return filesIn(folder); });
  std::erase_if(names, [&](const Str& name) { return inside(folder, name) == kSearchIndexFile; });
  return names;
}

// The day folders of EKG_BACKUP, oldest first. A link of a day's name is no
// backup of ours: it is never compared with nor removed.
std::vector<Str> backupDays() {
  std::vector<Str> days;
  if (!fw::isFolderFollowingLinks(kBackupFolder)) return days;
  for (const Str& name : fw::folderEntries(kBackupFolder)) {
    if (isDayName(name) && fw::isFolder(inside(kBackupFolder, name))) days.push_back(name);
  }
  std::sort(days.begin(), days.end());
  return days;
}

// False as soon as a difference is found; a copy that cannot be read counts
// as different (a new backup replaces it).
bool sameBytes(const Str& file, const Str& copy, const std::atomic<bool>& stop) {
  std::optional<PlainFile> theCopy;
  try {
    theCopy.emplace(copy, PlainFile::Access::Read);
  } catch (const fw::RuntimeError&) {
    return false;
  }
  std::optional<PlainFile> original;
  try {
    original.emplace(file, PlainFile::Access::Read);
  } catch (const fw::RuntimeError& e) {
    if (e.number() == fw::err::FileNotFound) return false;  // gone since it was listed
    failReading(file, e);
  }
  try {
    if (theCopy->size() != reading(file, [&] { return original->size(); })) return false;
    std::vector<char> a(static_cast<std::size_t>(kBlockBytes)), b(a.size());
    for (std::int64_t at = 0;; at += kBlockBytes) {
      stopIfAsked(stop);
      const std::size_t got = readSource(file, *original, at, a.data(), a.size());
      if (theCopy->read(at, b.data(), b.size()) != got ||
          !std::equal(a.begin(), a.begin() + static_cast<long>(got), b.begin())) {
        return false;
      }
      if (got < a.size()) return true;
    }
  } catch (const fw::RuntimeError&) {
    return false;  // the copy could not be read
  }
}

bool sameAsBackup(const Str& backup, const std::atomic<bool>& stop) {
  for (const char* folder : kCopiedFolders) {
    const std::vector<Str> now = sourceFilesIn(folder);
    std::vector<Str> then;
    try {
      then = filesIn(inside(backup, folder));
    } catch (const fw::RuntimeError&) {
      return false;
    }
    if (now != then) return false;
    for (const Str& name : now) {
      if (!sameBytes(inside(folder, name), inside(inside(backup, folder), name), stop)) {
        return false;
      }
    }
  }
  return true;
}

bool isHistoryFile(const Str& path) {
  return path == common::files::kAttributeFile || path == common::files::kClinicalFile;
}

// Copies a file of EKG_DATA or EKG_SYS as it is now; false when it has gone
// since it was listed (a rewrite's temporary file, a file removed).
bool copyWhole(const Str& from, const Str& to, const std::atomic<bool>& stop) {
  std::optional<PlainFile> source;
  try {
    source.emplace(from, PlainFile::Access::Read);
  } catch (const fw::RuntimeError& e) {
    if (e.number() == fw::err::FileNotFound) return false;
    failReading(from, e);
  }
  std::optional<PlainFile> target;
  writing([&] { target.emplace(to, PlainFile::Access::CreateNew); });
  std::vector<char> block(static_cast<std::size_t>(kBlockBytes));
  for (std::int64_t at = 0;; at += kBlockBytes) {
    stopIfAsked(stop);
    const std::size_t got = readSource(from, *source, at, block.data(), block.size());
    writing([&] { target->write(at, block.data(), got); });
    if (got < block.size()) break;
  }
  writing([&] {
    target->flushToDisk();
    target->close();
  });
  return true;
}

// One history file and its copy.
struct HistoryCopy {
  Str name;      // "EKG_DATA\EKGDATA_1"
  Str shown;     // "EKGDATA_1", as the operator is told it
  std::optional<PlainFile> source;
  std::optional<PlainFile> target;
  std::int64_t bytes = 0;  // what is copied: the size under the first hold
  std::vector<char> block;
  std::size_t got = 0;
};

// Holds the history's writer lock as a reader for one block, through the
// attribute file's open: no registration is half-way while it is held.
class ReaderHold {
 public:
  ReaderHold(PlainFile& file, const Str& name, const std::atomic<bool>& stop) : file_(file) {
    const SteadyClock::time_point deadline = SteadyClock::now() + kWriterWait;
    while (!reading(name, [&] { return file_.tryLockWholeFile(); })) {
      stopIfAsked(stop);
      if (SteadyClock::now() >= deadline) {
        throw Failure{BackupProblem::HistoryBusy, fw::err::LockViolation, {}};
      }
      std::this_thread::sleep_for(milliseconds(2));
    }
  }
  ~ReaderHold() {
    try {
      file_.unlockWholeFile();
    } catch (const fw::RuntimeError&) {
      // Closing the file lets it go at the latest.
    }
  }
  ReaderHold(const ReaderHold&) = delete;
  ReaderHold& operator=(const ReaderHold&) = delete;

 private:
  PlainFile& file_;
};

void checkWholeRecords(const HistoryCopy& f) {
  if (f.bytes % kHistoryRecordBytes != 0) {
    throw Failure{BackupProblem::HistoryCutShort, fw::err::RecordIncomplete, f.shown};
  }
}

// Both history files, block by block (see the header): block k of each file
// is read in one hold of the writer lock, so the two records of an entry
// are read at one moment.
void copyHistory(const Str& target, const std::atomic<bool>& stop) {
  std::deque<HistoryCopy> files;  // not moved once made: each holds its opens
  for (const char* name : {common::files::kAttributeFile, common::files::kClinicalFile}) {
    // Opening a missing file would create it: a backup never adds files to
    // the history.
    if (!fw::fileExists(name)) continue;
    HistoryCopy& f = files.emplace_back();
    f.name = name;
    f.shown = f.name.substr(Str(common::files::kDataDir).size() + 1);
    reading(f.name, [&] { f.source.emplace(f.name, PlainFile::Access::Read); });
    writing([&] { f.target.emplace(inside(target, f.name), PlainFile::Access::CreateNew); });
    f.block.resize(static_cast<std::size_t>(kBlockBytes));
  }
  if (files.empty()) return;
  // Registrations hold the attribute file's lock; when it is missing, no
  // registration has made it yet and the first file serves as well.
  PlainFile& lockHolder = *files.front().source;
  const Str& lockName = files.front().name;
  std::int64_t total = 0;
  for (std::int64_t at = 0, blocks = 0; blocks == 0 || at < total; at += kBlockBytes, ++blocks) {
    stopIfAsked(stop);
    {
      ReaderHold hold(lockHolder, lockName, stop);
      for (HistoryCopy& f : files) {
        if (blocks == 0) {
          f.bytes = reading(f.name, [&] { return f.source->size(); });
          checkWholeRecords(f);
          total = std::max(total, f.bytes);
        }
        const std::size_t want =
            static_cast<std::size_t>(std::clamp<std::int64_t>(f.bytes - at, 0, kBlockBytes));
        f.got = readSource(f.name, *f.source, at, f.block.data(), want);
        // Histories only grow: a file shorter now was cut meanwhile.
        if (f.got != want) {
          throw Failure{BackupProblem::HistoryCutShort, fw::err::RecordIncomplete, f.shown};
        }
      }
      if (const long pause = blockPauseMilliseconds.load(); pause > 0) {
        std::this_thread::sleep_for(milliseconds(pause));
      }
    }
    const SteadyClock::time_point letGo = SteadyClock::now();
    for (HistoryCopy& f : files) writing([&] { f.target->write(at, f.block.data(), f.got); });
    std::this_thread::sleep_until(letGo + kLetGo);
  }
  for (HistoryCopy& f : files) {
    writing([&] {
      f.target->flushToDisk();
      if (f.target->size() != f.bytes) fw::raise(fw::err::IoError);
      f.target->close();
    });
  }
}

// Claims a folder of its own for writing today's backup: "YYYYMMDD.part",
// or "YYYYMMDD.part2" … when a backup cut off earlier today left one (or an
// older program on the shared folder is writing one). Making a folder is the
// one step two programs cannot both succeed at.
Str claimPartFolder(const Str& folder) {
  constexpr int kMostWriters = 50;
  for (int n = 1;; ++n) {
    const Str part = folder + kPartSuffix + (n == 1 ? Str() : std::to_string(n));
    try {
      fw::makeDirectory(part);
      return part;
    } catch (const fw::RuntimeError& e) {
      if (e.number() != fw::err::AlreadyExists || n == kMostWriters) throw;
    }
  }
}

// EKG_BACKUP itself (or the folder a link of that name points to); another
// program may make it at the same moment.
void makeBackupFolder() {
  if (fw::isFolderFollowingLinks(kBackupFolder)) return;
  try {
    fw::makeDirectory(kBackupFolder);
  } catch (const fw::RuntimeError&) {
    if (!fw::isFolderFollowingLinks(kBackupFolder)) throw;
  }
}

// Part folders of earlier days were left by backups that were cut off;
// today's may still be written by an older program. What cannot be removed
// now is left for the next backup.
void removeStaleParts(const Str& today) {
  for (const Str& name : fw::folderEntries(kBackupFolder)) {
    const std::size_t suffix = name.find(kPartSuffix);
    if (suffix != 8 || !isDayName(name.substr(0, 8)) || name.substr(0, 8) >= today) continue;
    try {
      fw::removeFolderTree(inside(kBackupFolder, name));
    } catch (const fw::RuntimeError&) {
    }
  }
}

void writeBackup(const Str& target, const std::atomic<bool>& stop) {
  for (const char* folder : kCopiedFolders) {
    writing([&] { fw::makeDirectory(inside(target, folder)); });
    for (const Str& name : sourceFilesIn(folder)) {
      const Str path = inside(folder, name);
      if (!isHistoryFile(path) && path != common::files::kChangeLog) {
        copyWhole(path, inside(target, path), stop);
      }
    }
  }
  copyHistory(target, stop);
  // The change log after the history, so that it explains every change the
  // copy holds (and perhaps a few made since, which its check then names).
  // A line being written at the moment is cut off, as a kill would leave it.
  if (fw::fileExists(common::files::kChangeLog)) {
    copyWhole(common::files::kChangeLog, inside(target, common::files::kChangeLog), stop);
  }
}

// Gives the written backup its day's name; false (and the copy removed)
// when another program's backup took the name first.
bool takeDayName(const Str& part, const Str& folder) {
  try {
    fw::renamePath(part, folder);
    return true;
  } catch (const fw::RuntimeError&) {
    if (!fw::isFolder(folder)) throw;
  }
  fw::removeFolderTree(part);
  return false;
}

// Removes the backups beyond the newest kBackupsKept. Today's backup is
// taken whatever happens here: a backup that cannot be removed now (another
// program removing it at the same moment, a file held open) is tried again
// with the next one.
void thinBackups() {
  std::vector<Str> days = backupDays();
  while (days.size() > static_cast<std::size_t>(kBackupsKept)) {
    try {
      fw::removeFolderTree(inside(kBackupFolder, days.front()));
    } catch (const fw::RuntimeError&) {
    }
    days.erase(days.begin());
  }
}

BackupResult takeBackup(const Str& today, const std::atomic<bool>& stop) {
  BackupResult result;
  const Str folder = inside(kBackupFolder, today);
  Str part;
  auto outcome = [&](BackupOutcome o) {
    result.outcome = o;
    return result;
  };
  try {
    if (fw::isFolder(folder)) return outcome(BackupOutcome::AlreadyTaken);
    if (sourceFilesIn(common::files::kDataDir).empty() &&
        sourceFilesIn(common::files::kSysDir).empty()) {
      return outcome(BackupOutcome::NothingToCopy);
    }
    writing(makeBackupFolder);
    std::optional<PlainFile> turn;
    writing([&] { turn.emplace(inside(kBackupFolder, kTurnFile), PlainFile::Access::Update); });
    if (!writing([&] { return turn->tryLockWholeFile(); })) {
      return outcome(BackupOutcome::BeingTakenElsewhere);
    }
    // The program before us in turn may have just named the day's backup.
    if (fw::isFolder(folder)) return outcome(BackupOutcome::AlreadyTaken);
    const std::vector<Str> days = writing(backupDays);
    if (!days.empty() && sameAsBackup(inside(kBackupFolder, days.back()), stop)) {
      return outcome(BackupOutcome::Unchanged);
    }
    writing([&] { removeStaleParts(today); });
    part = writing([&] { return claimPartFolder(folder); });
    writeBackup(part, stop);
    stopIfAsked(stop);
    if (!writing([&] { return takeDayName(part, folder); })) {
      part.clear();  // removed: an older program's backup took the name
      return outcome(BackupOutcome::AlreadyTaken);
    }
    part.clear();
    result.folder = folder;
    thinBackups();
    result.outcome = BackupOutcome::Taken;
  } catch (const Failure& f) {
    result.outcome = BackupOutcome::Failed;
    result.problem = f.problem;
    result.error = f.error;
    result.file = f.file;
  } catch (const Stopped&) {
    result.outcome = BackupOutcome::Stopped;
  } catch (const fw::RuntimeError& e) {
    result.outcome = BackupOutcome::Failed;
    result.problem = BackupProblem::BackupWriteFailed;
    result.error = e.number();
  }
  try {
    if (!part.empty()) fw::removeFolderTree(part);
  } catch (const fw::RuntimeError&) {
    // A half copy that cannot be removed is never taken for a backup: its
    // name is no day's, and the next backup removes it.
  }
  return result;
}

}  // namespace

BackupResult takeDailyBackup() {
  static const std::atomic<bool> neverStopped{false};
  return takeBackup(dayName(fw::now()), neverStopped);
}

BackupResult takeBackupOfDay(const Str& day, const std::atomic<bool>& stop) {
  return takeBackup(day, stop);
}

Str backupDayName() { return dayName(fw::now()); }

void setBackupBlockPauseForTesting(long milliseconds) { blockPauseMilliseconds = milliseconds; }

}  // namespace history
