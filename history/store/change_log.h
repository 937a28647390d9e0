// The change log of the history (EKG_DATA\EKGDATA_LOG, format in
// change_log_format.h): who changed which entry when, with the records as
// they were before, in one chain of digests that shows an edited, removed or
// reordered line.
//
// The store writes it (logIntent) for every registration, overwrite,
// deletion and restore, under the history's writer lock, before it touches
// the history, and flushes it first: a kill at any moment leaves the change
// and its line, or a last line that is recognisably not applied. Writers on
// other computers read the chain's end under the same lock, so they extend
// one chain. A history that has no log yet starts one at its first change;
// its entries until then are "before the log".
//
// Failures are runtime errors as in store.h; a log that cannot be written
// stops the change (nothing of the history is written).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "history/store/change_log_format.h"
#include "history/store/store.h"

namespace history::changelog {

// For the store, holding the writer lock through `attributeFile` (its file
// number), before it writes entry n: logs the change with the records as
// they are now and the digest of `attributeAfter` with `clinicalAfter`
// (nothing: the clinical record stays as it is). First it settles the
// chain's end: a last line not applied gets its void line, and an overwrite
// stopped between its two records gets its clinical record back.
void logIntent(int attributeFile, Operation op, long n, const fw::Str& attributeAfter,
               const std::optional<fw::Str>& clinicalAfter);

// Every line of the log, in file order (a last line cut off is left out).
// Lines that do not parse come back as nothing, in their place.
std::vector<std::optional<Line>> readLog();

// One version of an entry, as the versions view shows it.
struct Version {
  Operation madeBy = Operation::Register;  // Start: from before the log
  long seq = 0;                           // the line that made it; 0 before the log
  std::string time, computer, user;       // of that line (UTF-8); empty before the log
  // The records of this version, when the log or the history still holds
  // them (a version changed later outside the log is not known).
  std::optional<fw::Str> attributeRecord, clinicalRecord;
  bool current = false;  // the history holds it now
};
// The versions of entry n, newest first. Empty when the log names n nowhere.
std::vector<Version> versionsOf(long n);

// Brings entry n back to `version` byte for byte (an overwrite, logged as a
// restore), when the entry still has the stamp `expected`; as overwriteEntry
// otherwise. A version without known records is Gone.
EntryCheck restoreVersion(long n, const Version& version, RecordStamp expected);

// The check of the log against itself and the history.
struct ChainBreak {
  long line;  // 1-based line of the log
  long n;     // the entry that line names, 0 when it cannot be read
};
struct Verification {
  bool logExists = false;
  long lines = 0;
  long entries = 0;               // of the history
  std::vector<ChainBreak> breaks;  // lines whose digest or number does not follow
  std::vector<long> changedOutside;  // entries whose records the log does not explain
  long beforeLog = 0;              // entries untouched since before the log
  long notApplied = 0;             // changes logged but never made (kills)
  bool consistent() const { return breaks.empty() && changedOutside.empty(); }
};
// Reads only; works on a folder that cannot be written.
Verification verify();

// Benchmarks only: with false, logIntent writes nothing (the store as it
// was without the log), to measure what the log adds.
void setLoggingForBenchmark(bool on);

// Tests only: the next logIntent returns after writing its line, before
// the store writes the history, by raising err::DiskFull.
void stopAfterNextLogLineForTesting();

}  // namespace history::changelog
