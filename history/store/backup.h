// Daily copies of the stored files: EKG_DATA and EKG_SYS go into
// EKG_BACKUP\YYYYMMDD\ beside them, so that a damaged or lost history can be
// put back from the last day it was whole.
//
// A backup is whole or absent: it is written into EKG_BACKUP\YYYYMMDD.part
// (".part2" … when one of that name was left by a backup cut off earlier),
// checked, and only then given its day's name. Programs on one shared folder
// take turns through the whole-file lock of EKG_BACKUP\BACKUP.LCK: while one
// writes the day's backup, another that finds the lock held leaves the day
// to it. Only after the day's name is given are the backups beyond the
// newest kBackupsKept removed, so a failing backup never costs an older one.
// Only the files directly in EKG_DATA and EKG_SYS are copied (not the folders
// below them, such as the PDF copies of charts); EKG_DATA, EKG_SYS and
// EKG_BACKUP may be links to folders on other drives.
//
// The history files are copied in blocks of whole records. Each block of
// both files is read under a shared hold of the history's writer lock (the
// lock every registration takes, held exclusively), which is let go before
// the block is written out and stays free a moment before the next block: a
// registration here or on another computer waits at most one block's read,
// never the whole copy. A file that may only be read is copied the same way.
// So every entry in the backup holds both its records as the history held
// them at one moment between two registrations; an entry overwritten or
// marked deleted during the copy may be in it before or after that change,
// and entries appended during the copy are not in it. A history file that
// ends inside a record is not backed up.
#pragma once

#include <atomic>

#include "framework/core/str.h"

namespace history {

inline constexpr const char* kBackupFolder = "EKG_BACKUP";
inline constexpr int kBackupsKept = 30;

enum class BackupOutcome {
  Taken,                // today's backup was written
  AlreadyTaken,         // today's backup exists
  BeingTakenElsewhere,  // another program is writing today's backup now
  Unchanged,            // nothing changed since the newest backup
  NothingToCopy,        // EKG_DATA and EKG_SYS hold no files
  Stopped,              // the program ended first; no day's backup was named
  Failed,               // see BackupResult::problem; earlier backups are untouched
};

// What stopped a failed backup, as the operator is told it.
enum class BackupProblem {
  None,
  BackupFolderNotWritable,  // EKG_BACKUP cannot be made or written (read-only, denied, a file)
  BackupDiskFull,           // no room left where EKG_BACKUP is
  BackupWriteFailed,        // another failure while writing the copy (a device error)
  SourceUnreadable,         // a file of EKG_DATA or EKG_SYS cannot be read (BackupResult::file)
  HistoryCutShort,          // a history file ends inside a record (BackupResult::file)
  HistoryBusy,              // another program kept the history locked too long
};

struct BackupResult {
  BackupOutcome outcome = BackupOutcome::Failed;
  BackupProblem problem = BackupProblem::None;
  int error = 0;   // the runtime error number that stopped a failed backup
  fw::Str file;    // the file a problem names ("EKG_SYS\INSA_FO", "EKGDATA_1")
  fw::Str folder;  // EKG_BACKUP\YYYYMMDD when taken
};

// Takes today's backup (day from fw::now()) on the calling thread, when none
// exists yet and something changed since the newest one; never raises. Needs
// no window and uses no numbered file.
BackupResult takeDailyBackup();

// The same for the day named `day` ("YYYYMMDD"), giving up where it is
// (BackupOutcome::Stopped) once `stop` is set: for a thread of its own.
BackupResult takeBackupOfDay(const fw::Str& day, const std::atomic<bool>& stop);
// Today's day name from fw::now(), as the backup folders are named.
fw::Str backupDayName();

// Tests only: each block of the history copy takes this much longer to read,
// as on a slow disk, while the writer lock is held for it; 0 switches it off.
void setBackupBlockPauseForTesting(long milliseconds);

}  // namespace history
