// The history store: entries of EKG_DATA\EKGDATA_1 and EKG_DATA\EKGDATA_2
// (common/history_format.h), found by their entry number n (from 1).
//
// Every operation opens the files it needs, does its work and closes them;
// files are opened with shared read/write access and created empty when
// missing (EKG_DATA itself must exist). Failures of the file services are
// runtime errors (the program trap decides), except where a call says
// otherwise.
//
// Safety beyond the plain format, for a clinic's only record of its
// examinees:
// - An append writes both records at n = (attribute records) + 1, so one
//   failed or interrupted append never pairs later attribute records with
//   another entry's clinical record. The clinical record is written and
//   flushed first: an append that fails or is killed half-way leaves no
//   entry, at most one clinical record past the attribute file's end (the
//   clinical file may then count one record more), which the next append
//   writes over.
// - Every write (append, overwrite, deletion mark) holds the whole-file lock
//   of the attribute file (the writer lock) from its first read to its last
//   write, so no write of another program lands between them: two programs
//   registering on one shared folder never take the same number, and a
//   deletion never writes back a record that an overwrite replaced. Writes
//   flush both files to disk before they return.
// - Every write logs itself first in the change log (change_log.h), under
//   the same lock: a write whose log line cannot be written does not
//   happen.
// - An overwrite leaves both records of the entry new or both as they were:
//   when the attribute record cannot be written after the clinical one was,
//   the clinical record's earlier bytes are put back.
// - Marking a deletion also holds the record lock of its entry for the
//   moment of the rewrite, as older copies of the program expect; the other
//   operations wait up to two seconds for such a lock before they raise
//   err::LockViolation.
// - Overwriting, deleting and opening can name the version of the entry the
//   operator saw (its stamp); under the writer lock the store then refuses
//   an entry that another program changed or that is no longer there.
// - Readers work on a folder that cannot be written (a read-only share): the
//   files are then opened for reading only, and a missing one reads as empty.
// - A trailing record cut short (a copy cut off, a full disk) reads as its
//   bytes padded with blanks and never ends the program; new entries go
//   after it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "common/history_format.h"

namespace history {

using common::AttributeField;
using common::AttributeValues;
using common::ClinicalField;
using common::ClinicalValues;

// Records in each file: its size / 2000, rounded up.
long attributeCount();
long clinicalCount();

// A fingerprint of an attribute record's bytes as read (whole, or cut short
// at the end of the file): equal stamps mean the entry was not changed.
using RecordStamp = std::uint64_t;
RecordStamp stampOf(std::string_view attributeRecord);

// What a write or read that checks the entry first found.
enum class EntryCheck {
  Current,  // the entry was as expected: written / read
  Changed,  // another program changed it since its stamp was taken
  Gone,     // n is not (or no longer) a record of the attribute file
};

// Writes a new entry; returns its number.
long appendEntry(const AttributeValues& attributes, const ClinicalValues& clinical);
// Rewrites both records of entry n (n >= 1) when it still exists and, with
// `expected`, still has that stamp; all fields are replaced, so a deleted
// entry becomes live again. Nothing is written unless the answer is
// Current; then `written`, when given, receives the new record's stamp.
EntryCheck overwriteEntry(long n, const AttributeValues& attributes,
                          const ClinicalValues& clinical,
                          std::optional<RecordStamp> expected = std::nullopt,
                          RecordStamp* written = nullptr);

// Rewrites both records of entry n with exactly these bytes (2000 each, or
// as a version kept in the change log had them), as overwriteEntry does with
// values; the change log calls it a restore (change_log.h).
EntryCheck restoreEntryRecords(long n, const fw::Str& attributeRecord,
                               const fw::Str& clinicalRecord,
                               std::optional<RecordStamp> expected = std::nullopt);

struct Entry {
  long number = 0;
  AttributeValues attributes;
  ClinicalValues clinical;      // all empty when the clinical file has no record n
  bool clinicalStored = false;  // whether the clinical file has record n
  RecordStamp stamp = 0;        // of the attribute record as read
};
// Entry n, or nothing when n is not a record of the attribute file (the
// files were shortened or replaced since the number was shown).
std::optional<Entry> readEntry(long n);
// Entry n read under the writer lock (so both records are of one write),
// when its attribute record still has the stamp `expected`. On a folder
// that cannot be written it is read without the lock.
EntryCheck readEntryIfUnchanged(long n, RecordStamp expected, Entry& entry);

// One attribute record as a scan sees it: the raw bytes (2000, or fewer for
// a trailing record cut short), valid only during the visit.
class RecordView {
 public:
  explicit RecordView(std::string_view bytes) : bytes_(bytes) {}
  fw::Str field(AttributeField f) const { return common::attributeField(bytes_, f); }
  // The untrimmed slot bytes, for comparisons that look at every record.
  std::string_view raw(AttributeField f) const;
  bool deleted() const { return common::isDeleted(bytes_); }
  std::string_view bytes() const { return bytes_; }

 private:
  std::string_view bytes_;
};

enum class Scan { Live, Deleted };
// Visits the attribute records from the highest number down to 1, keeping
// live entries (Scan::Live) or only deleted ones (Scan::Deleted); `visit`
// returns false to stop. The file is read backwards in large blocks, so a
// scan costs about one read of the file.
void scanNewestFirst(Scan which, const std::function<bool(long n, const RecordView&)>& visit);

// Visits every entry from 1 up, deleted ones included, as readEntry would
// give them; both files are read forwards in large blocks, so the whole
// history costs about one read of each file.
void forEachEntry(const std::function<void(const Entry&)>& visit);

// Sets the deletion mark of entry n under the writer lock, holding also the
// record lock of its 2000 bytes while it is rewritten; the clinical record
// is not touched. Returns false and changes nothing when the attribute file
// is missing or has no record n.
bool markDeleted(long n);
// The same when entry n still has the stamp `expected`; nothing is written
// unless the answer is Current.
EntryCheck markDeletedIfUnchanged(long n, RecordStamp expected);

// The registration date of today as stored ("YYYY/MM/DD").
fw::Str today();

// Tests only: the next write of an attribute record fails as on a full disk
// (err::DiskFull) before it writes anything; later writes are not touched.
void failNextAttributeWriteForTesting();

}  // namespace history
