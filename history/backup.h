// The day's backup as the program takes it: at most once a day, on a thread
// of its own beside the program, its failure told to the operator. What a
// backup holds and how it is taken: history/store/backup.h.
#pragma once

#include "history/store/backup.h"

namespace history {

// The operator's message for a failed backup.
fw::Str backupFailureText(const BackupResult& result);

// The program's call at start and before each write of the history, on the
// user-interface thread: at most once per day in this process it starts the
// day's backup on a thread of its own and returns at once (a backup still
// running from the day before is left to end first; a later call starts
// today's). The first failure is told (OK, information icon) once the
// backup has ended, as a procedure of the main window when the program waits
// for events; the program goes on as if the backup had been taken.
void backUpIfDue();
// True while the backup started by backUpIfDue is still running.
bool backupRunning();
// At the end of the program: asks a running backup to stop and waits for it
// at most a few seconds. A stopped backup leaves at most a ".part" folder,
// which the next backup removes; nothing is told.
void stopBackup();

// Tests only: waits until the running backup has ended (its failure is then
// posted to the program: serve the events to see it).
void waitForBackupForTesting();
// Tests only: waits for a running backup, then the next backUpIfDue runs as
// at a fresh start.
void forgetBackupCheckForTesting();
}  // namespace history
