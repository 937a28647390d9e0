// Daily copies of the stored files: EKG_DATA and EKG_SYS go into
// EKG_BACKUP\YYYYMMDD\ beside them, so that a damaged or lost history can be
// put back from the last day it was whole.
//
// A backup is whole or absent: it is written into EKG_BACKUP\YYYYMMDD.part
// (".part2" … while another program on the shared folder writes one too),
// checked, and only then given its day's name; of two programs backing up
// at once, the first to name its copy keeps it and the other removes its own. The two history files are
// copied while their writer lock is held (the lock every registration takes),
// so an append by this or another program lands wholly before or wholly after
// the copy; each copy must be a whole number of 2000-byte records and hold as
// many records as its file did under the lock. Only after that are the
// backups beyond the newest kBackupsKept removed, so a failing backup never
// costs an older one. Only the files directly in EKG_DATA and EKG_SYS are
// copied (not the folders below them, such as the PDF copies of charts).
#pragma once

#include "framework/core/str.h"

namespace history {

inline constexpr const char* kBackupFolder = "EKG_BACKUP";
inline constexpr int kBackupsKept = 30;

enum class BackupOutcome {
  Taken,          // today's backup was written
  AlreadyTaken,   // today's backup exists
  Unchanged,      // nothing changed since the newest backup
  NothingToCopy,  // EKG_DATA and EKG_SYS hold no files
  Failed,         // see BackupResult::error; earlier backups are untouched
};

struct BackupResult {
  BackupOutcome outcome = BackupOutcome::Failed;
  int error = 0;  // the runtime error number that stopped a failed backup
  fw::Str folder;  // EKG_BACKUP\YYYYMMDD when taken
};

// Takes today's backup (day from fw::now()) when none exists yet and
// something changed since the newest one; never raises. Needs no window.
BackupResult takeDailyBackup();

// The program's call at start and before each write of the history: runs
// takeDailyBackup at most once per day in this process, and tells the
// operator of the first failure (OK, information icon); the program then goes
// on as if the backup had been taken.
void backUpIfDue();

// Tests only: the next backUpIfDue runs as at a fresh start.
void forgetBackupCheckForTesting();

}  // namespace history
