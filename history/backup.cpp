#include "history/backup.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "common/history_format.h"
#include "common/paths.h"
#include "framework/core/clock.h"
#include "framework/core/error.h"
#include "framework/core/files.h"
#include "framework/core/open_file.h"
#include "framework/form/dialogs.h"
#include "history/texts.h"

namespace history {

using common::kHistoryRecordBytes;
using fw::Str;

namespace {

// As long as a registration may wait for another program's append.
constexpr long kWriterWaitMilliseconds = 10000;
constexpr const char* kPartSuffix = ".part";

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

// The files directly in a folder, sorted; none when it is missing.
std::vector<Str> filesIn(const Str& folder) {
  std::vector<Str> names;
  if (!fw::isFolder(folder)) return names;
  for (const Str& name : fw::folderEntries(folder)) {
    if (!fw::isFolder(inside(folder, name))) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The day folders of EKG_BACKUP, oldest first.
std::vector<Str> backupDays() {
  std::vector<Str> days;
  if (!fw::isFolder(kBackupFolder)) return days;
  for (const Str& name : fw::folderEntries(kBackupFolder)) {
    if (isDayName(name) && fw::isFolder(inside(kBackupFolder, name))) days.push_back(name);
  }
  std::sort(days.begin(), days.end());
  return days;
}

bool sameBytes(const Str& a, const Str& b) {
  fw::OpenFile fa(a, fw::FileMode::RecordRead, fw::Share::ReadWrite, 1);
  fw::OpenFile fb(b, fw::FileMode::RecordRead, fw::Share::ReadWrite, 1);
  if (fw::fileSize(fa) != fw::fileSize(fb)) return false;
  constexpr std::size_t kBlock = 1 << 20;
  std::vector<char> ba(kBlock), bb(kBlock);
  for (std::int64_t at = 0;; at += static_cast<std::int64_t>(kBlock)) {
    const std::size_t ga = fw::readBytes(fa, at, ba.data(), kBlock);
    const std::size_t gb = fw::readBytes(fb, at, bb.data(), kBlock);
    if (ga != gb || !std::equal(ba.begin(), ba.begin() + static_cast<long>(ga), bb.begin())) {
      return false;
    }
    if (ga < kBlock) return true;
  }
}

const char* const kCopiedFolders[] = {common::files::kDataDir, common::files::kSysDir};

bool sameAsBackup(const Str& backup) {
  for (const char* folder : kCopiedFolders) {
    const std::vector<Str> now = filesIn(folder);
    if (now != filesIn(inside(backup, folder))) return false;
    for (const Str& name : now) {
      if (!sameBytes(inside(folder, name), inside(inside(backup, folder), name))) return false;
    }
  }
  return true;
}

bool isHistoryFile(const Str& folder, const Str& name) {
  const Str path = inside(folder, name);
  return path == common::files::kAttributeFile || path == common::files::kClinicalFile;
}

// Copies one history file through an open number; checks the copy.
void copyHistoryFile(int source, const Str& to) {
  const std::int64_t size = fw::fileSize(source);
  if (size % kHistoryRecordBytes != 0) fw::raise(fw::err::RecordIncomplete);
  if (fw::copyOpenFile(source, to) != size) fw::raise(fw::err::IoError);
  fw::OpenFile copy(to, fw::FileMode::RecordRead, fw::Share::ReadWrite, kHistoryRecordBytes);
  if (fw::fileSize(copy) != size || fw::recordCount(copy) != fw::recordCount(source)) {
    fw::raise(fw::err::IoError);
  }
}

// Both history files, under the writer lock of the attribute file, so that
// the pair is the one some moment between two registrations held.
void copyHistory(const Str& target) {
  const bool haveAttributes = fw::fileExists(common::files::kAttributeFile);
  const bool haveClinical = fw::fileExists(common::files::kClinicalFile);
  if (!haveAttributes && !haveClinical) return;
  const Str dataCopy = inside(target, common::files::kDataDir);
  auto copyName = [&](const char* path) {
    return inside(dataCopy, Str(path).substr(Str(common::files::kDataDir).size() + 1));
  };
  // Opening for the lock would create a missing attribute file: a backup
  // never adds files to the history.
  std::optional<fw::OpenFile> attributes;
  std::optional<fw::FileLock> writer;
  if (haveAttributes) {
    attributes.emplace(common::files::kAttributeFile, fw::FileMode::Record, fw::Share::ReadWrite,
                       kHistoryRecordBytes);
    writer.emplace(*attributes, kWriterWaitMilliseconds);
    copyHistoryFile(*attributes, copyName(common::files::kAttributeFile));
  }
  if (haveClinical) {
    fw::OpenFile clinical(common::files::kClinicalFile, fw::FileMode::RecordRead,
                          fw::Share::ReadWrite, kHistoryRecordBytes);
    copyHistoryFile(clinical, copyName(common::files::kClinicalFile));
  }
}

// Claims a folder of its own for writing today's backup: "YYYYMMDD.part",
// or "YYYYMMDD.part2" … when another program on the shared folder is
// writing one too (or one was cut off earlier today). Making a folder is
// the one step two programs cannot both succeed at.
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

// EKG_BACKUP itself; another program may make it at the same moment.
void makeBackupFolder() {
  if (fw::isFolder(kBackupFolder)) return;
  try {
    fw::makeDirectory(kBackupFolder);
  } catch (const fw::RuntimeError&) {
    if (!fw::isFolder(kBackupFolder)) throw;
  }
}

// Part folders of earlier days were left by backups that were cut off;
// today's may still be written by another program. Another program may be
// removing the same leftovers: what cannot be removed now is left for the
// next backup.
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

void writeBackup(const Str& target) {
  for (const char* folder : kCopiedFolders) {
    fw::makeDirectory(inside(target, folder));
    for (const Str& name : filesIn(folder)) {
      if (isHistoryFile(folder, name)) continue;
      fw::copyFile(inside(folder, name), inside(inside(target, folder), name));
    }
  }
  copyHistory(target);
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

}  // namespace

BackupResult takeDailyBackup() {
  BackupResult result;
  const Str today = dayName(fw::now());
  const Str folder = inside(kBackupFolder, today);
  Str part;
  try {
    if (fw::isFolder(folder)) {
      result.outcome = BackupOutcome::AlreadyTaken;
      return result;
    }
    if (filesIn(common::files::kDataDir).empty() && filesIn(common::files::kSysDir).empty()) {
      result.outcome = BackupOutcome::NothingToCopy;
      return result;
    }
    const std::vector<Str> days = backupDays();
    if (!days.empty() && sameAsBackup(inside(kBackupFolder, days.back()))) {
      result.outcome = BackupOutcome::Unchanged;
      return result;
    }
    makeBackupFolder();
    removeStaleParts(today);
    part = claimPartFolder(folder);
    writeBackup(part);
    if (!takeDayName(part, folder)) {
      result.outcome = BackupOutcome::AlreadyTaken;  // by another program meanwhile
      return result;
    }
    part.clear();
    result.folder = folder;
    thinBackups();
    result.outcome = BackupOutcome::Taken;
  } catch (const fw::RuntimeError& e) {
    result.outcome = BackupOutcome::Failed;
    result.error = e.number();
    try {
      if (!part.empty()) fw::removeFolderTree(part);
    } catch (const fw::RuntimeError&) {
      // A half copy that cannot be removed is never taken for a backup.
    }
  }
  return result;
}

namespace {
Str checkedDay;
bool failureTold = false;
}  // namespace

void backUpIfDue() {
  const Str today = dayName(fw::now());
  if (checkedDay == today) return;
  checkedDay = today;
  const BackupResult result = takeDailyBackup();
  if (result.outcome != BackupOutcome::Failed || failureTold) return;
  failureTold = true;
  fw::messageBox(nullptr, text::kBackupTitle, text::kBackupFailed, fw::mb::OK,
                 fw::mb::Information);
}

void forgetBackupCheckForTesting() {
  checkedDay.clear();
  failureTold = false;
}

}  // namespace history
