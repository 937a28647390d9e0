// The day's backup beside the program: a thread of its own, stopped at the
// program's end, and its failure told on the user-interface thread.
#include "history/backup.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "history/texts.h"

namespace history {

using fw::Str;

namespace {

using std::chrono::milliseconds;

// How long the program's end waits for a backup to stop.
constexpr milliseconds kStopWait{3000};

struct Job {
  std::atomic<bool> stop{false};
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;  // under mutex
};

// The user-interface thread's own.
Str checkedDay;
bool failureTold = false;
std::shared_ptr<Job> job;

bool jobRunning() {
  if (!job) return false;
  const std::lock_guard<std::mutex> lock(job->mutex);
  return !job->done;
}

// Waits for the running backup for up to `wait`; true when none runs then.
bool waitForJob(milliseconds wait) {
  if (!job) return true;
  std::unique_lock<std::mutex> lock(job->mutex);
  return job->ended.wait_for(lock, wait, [] { return job->done; });
}

void tellOfFailure(const BackupResult& result) {
  if (result.outcome != BackupOutcome::Failed || failureTold) return;
  failureTold = true;
  fw::messageBox(nullptr, text::kBackupTitle, backupFailureText(result), fw::mb::OK,
                 fw::mb::Information);
}

}  // namespace

Str backupFailureText(const BackupResult& result) {
  switch (result.problem) {
    case BackupProblem::BackupFolderNotWritable: return text::kBackupFolderNotWritable;
    case BackupProblem::BackupDiskFull: return text::kBackupDiskFull;
    case BackupProblem::SourceUnreadable: return text::backupSourceUnreadable(result.file);
    case BackupProblem::HistoryCutShort: return text::backupHistoryCutShort(result.file);
    case BackupProblem::HistoryBusy: return text::kBackupHistoryBusy;
    case BackupProblem::BackupWriteFailed:
    case BackupProblem::None: break;
  }
  return text::kBackupWriteFailed;
}

void backUpIfDue() {
  const Str today = backupDayName();
  if (checkedDay == today || jobRunning()) return;
  auto started = std::make_shared<Job>();
  try {
    std::thread([started, today] {
      const BackupResult result = takeBackupOfDay(today, started->stop);
      // Told only while the program goes on: at its end nobody reads it.
      if (!started->stop.load()) fw::postToProgram([result] { tellOfFailure(result); });
      {
        const std::lock_guard<std::mutex> lock(started->mutex);
        started->done = true;
      }
      started->ended.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    return;  // no thread to be had now: the next call tries again
  }
  checkedDay = today;
  job = std::move(started);
}

bool backupRunning() { return jobRunning(); }

void stopBackup() {
  if (!job) return;
  job->stop = true;
  waitForJob(kStopWait);
}

void waitForBackupForTesting() { waitForJob(milliseconds(120000)); }

void forgetBackupCheckForTesting() {
  waitForBackupForTesting();
  checkedDay.clear();
  failureTold = false;
}

}  // namespace history
