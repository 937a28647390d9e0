#include "history/store/store.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>
#include <vector>

#include "common/paths.h"
#include "framework/core/error.h"
#include "framework/core/files.h"
#include "framework/core/open_file.h"
#include "framework/core/strings.h"
#include "history/store/change_log.h"
#include "history/store/record_lock_wait.h"
#include "history/store/search_index.h"

namespace history {

using common::kHistoryRecordBytes;
using fw::Str;

namespace {

// A scan reads this much of the attribute file at a time: large enough that
// the system calls vanish next to the copying, small enough that the block
// is still in the processor's cache when the records are looked at (a block
// of megabytes is copied to memory and read back from it, which doubled the
// cost of a search), and read in a few milliseconds from a slow share, so
// that Esc is answered at once there too.
constexpr long kScanBlockRecords = 128;  // 256 KB
constexpr std::size_t kScanBlockBytes = kScanBlockRecords * kHistoryRecordBytes;
// How long a writer waits for another program's append to finish.
constexpr long kWriterWaitMilliseconds = 10000;


// Writers open for reading and writing, creating a missing file; a folder
// that cannot be written raises err::FileAccess.
fw::OpenFile openHistoryFile(const char* name) {
  return fw::OpenFile(name, fw::FileMode::Record, fw::Share::ReadWrite, kHistoryRecordBytes);
}

// Readers open as writers do, so that a missing file is created as every
// other program on the folder expects; where the folder or the file cannot
// be written (a read-only share) they read only, and a file that is missing
// there stays empty: `file` is left without a value. Returns whether the
// file may be written.
bool openForReading(std::optional<fw::OpenFile>& file, const char* name) {
  try {
    file.emplace(name, fw::FileMode::Record, fw::Share::ReadWrite, kHistoryRecordBytes);
    return true;
  } catch (const fw::RuntimeError& e) {
    if (e.number() != fw::err::FileAccess) throw;
  }
  if (fw::fileExists(name)) {
    file.emplace(name, fw::FileMode::RecordRead, fw::Share::ReadWrite, kHistoryRecordBytes);
  }
  return false;
}

long countOf(const char* name) {
  std::optional<fw::OpenFile> file;
  openForReading(file, name);
  return file ? fw::recordCount(*file) : 0;
}

// Record n as far as the file holds it (a trailing record may be short).
Str readRecord(int file, long n) {
  Str bytes(kHistoryRecordBytes, '\0');
  const std::size_t got = waitingOutRecordLocks([&] {
    return fw::readBytes(file, static_cast<std::int64_t>(n - 1) * kHistoryRecordBytes,
                         bytes.data(), bytes.size());
  });
  bytes.resize(got);
  return bytes;
}

// Records first..last of a file in one read; returns the bytes read (fewer
// at the end of the file).
std::size_t readBlock(int file, long first, long last, std::vector<char>& block) {
  const std::int64_t from = static_cast<std::int64_t>(first - 1) * kHistoryRecordBytes;
  const std::size_t length = static_cast<std::size_t>(last - first + 1) * kHistoryRecordBytes;
  return waitingOutRecordLocks([&] { return fw::readBytes(file, from, block.data(), length); });
}

// The index-th record of a block of which `got` bytes were read: whole, cut
// short at the end of the file, or nothing when the file ended before it.
std::optional<std::string_view> recordInBlock(const std::vector<char>& block, std::size_t got,
                                              long index) {
  const std::size_t offset = static_cast<std::size_t>(index) * kHistoryRecordBytes;
  if (offset >= got) return std::nullopt;
  return std::string_view(block.data() + offset,
                          std::min<std::size_t>(kHistoryRecordBytes, got - offset));
}

bool failNextAttributeWrite = false;  // failNextAttributeWriteForTesting

void writeRecord(int file, long n, const Str& bytes) {
  fw::setRecordBuffer(file, bytes);
  waitingOutRecordLocks([&] { fw::put(file, n); });
}

// Puts the clinical record of entry n back as it was before a write that
// could not be completed. A record that did not exist comes back blank (the
// file cannot be shortened here); the attribute record still holds the
// entry's earlier version, so the pair shows no value of the failed write.
void putBackClinical(int clinicalFile, long n, const std::optional<Str>& before) {
  try {
    writeRecord(clinicalFile, n, before ? *before : common::encode(ClinicalValues{}));
    fw::flushToDisk(clinicalFile);
  } catch (const fw::RuntimeError&) {
    // The disk that refused the attribute record refuses this too; the
    // caller reports the first failure, which says why.
  }
}

enum class OnFailure { LeaveClinical, PutBackClinical };

// Writes both records of entry n; the caller holds the writer lock.
//
// The attribute record goes last, once the clinical one is on the disk: the
// attribute file's count is what makes entry n exist, so a failure, a kill
// or a power cut between the two writes leaves at most a clinical record
// that belongs to no entry (the next append writes over it), never an entry
// listed without its clinical record. An overwrite puts the clinical record
// back when the attribute record fails, so that the entry keeps one version.
void writePair(int attributeFile, long n, const Str& attributeBytes, const Str& clinicalBytes,
               OnFailure onFailure) {
  fw::OpenFile clinicalFile = openHistoryFile(common::files::kClinicalFile);
  std::optional<Str> before;
  if (onFailure == OnFailure::PutBackClinical && n <= fw::recordCount(clinicalFile)) {
    before = readRecord(clinicalFile, n);
  }
  writeRecord(clinicalFile, n, clinicalBytes);
  fw::flushToDisk(clinicalFile);
  try {
    if (std::exchange(failNextAttributeWrite, false)) fw::raise(fw::err::DiskFull);
    writeRecord(attributeFile, n, attributeBytes);
    // The operator takes a cleared window for a stored entry.
    fw::flushToDisk(attributeFile);
  } catch (const fw::RuntimeError&) {
    if (onFailure == OnFailure::PutBackClinical) putBackClinical(clinicalFile, n, before);
    throw;
  }
}

// Whether entry n is still the one the caller saw; the caller holds the
// writer lock, so the answer holds until it lets go.
EntryCheck checkEntry(int attributeFile, long n, std::optional<RecordStamp> expected) {
  if (n < 1 || n > fw::recordCount(attributeFile)) return EntryCheck::Gone;
  if (!expected) return EntryCheck::Current;
  return stampOf(readRecord(attributeFile, n)) == *expected ? EntryCheck::Current
                                                             : EntryCheck::Changed;
}

Entry entryOf(long n, std::string_view attributeBytes, const std::optional<Str>& clinicalBytes) {
  Entry entry;
  entry.number = n;
  entry.attributes = common::decodeAttributes(attributeBytes);
  entry.stamp = stampOf(attributeBytes);
  if (clinicalBytes) {
    entry.clinical = common::decodeClinical(*clinicalBytes);
    entry.clinicalStored = true;
  }
  return entry;
}

// The clinical record n, when the clinical file holds it.
std::optional<Str> clinicalRecord(long n) {
  std::optional<fw::OpenFile> file;
  openForReading(file, common::files::kClinicalFile);
  if (!file || n > fw::recordCount(*file)) return std::nullopt;
  return readRecord(*file, n);
}

}  // namespace

std::string_view RecordView::raw(AttributeField f) const {
  return common::slotBytes(bytes_, common::slotOf(f));
}

RecordStamp stampOf(std::string_view attributeRecord) {
  // FNV-1a: the stamp only tells versions of one record apart.
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : attributeRecord) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash ^ attributeRecord.size();
}

long attributeCount() { return countOf(common::files::kAttributeFile); }
long clinicalCount() { return countOf(common::files::kClinicalFile); }

long appendEntry(const AttributeValues& attributes, const ClinicalValues& clinical) {
  fw::OpenFile attributeFile = openHistoryFile(common::files::kAttributeFile);
  fw::FileLock writer(attributeFile, kWriterWaitMilliseconds);
  // Both records go at the attribute file's next number: whatever happened
  // to the clinical file before, this pair stays together.
  const long n = fw::recordCount(attributeFile) + 1;
  SearchIndexUpdate index(attributeFile);
  const Str attributeBytes = common::encode(attributes), clinicalBytes = common::encode(clinical);
  changelog::logIntent(attributeFile, changelog::Operation::Register, n, attributeBytes,
                       clinicalBytes);
  writePair(attributeFile, n, attributeBytes, clinicalBytes, OnFailure::LeaveClinical);
  index.written(n, attributeBytes);
  return n;
}

namespace {

EntryCheck overwriteRecords(long n, const Str& attributeBytes, const Str& clinicalBytes,
                            std::optional<RecordStamp> expected, RecordStamp* written,
                            changelog::Operation op) {
  if (n < 1) return EntryCheck::Gone;
  fw::OpenFile attributeFile = openHistoryFile(common::files::kAttributeFile);
  fw::FileLock writer(attributeFile, kWriterWaitMilliseconds);
  const EntryCheck check = checkEntry(attributeFile, n, expected);
  if (check != EntryCheck::Current) return check;
  // An older copy marks deletions under the record lock alone: holding it
  // before the first write keeps such a deletion from landing between the
  // two records.
  waitingOutRecordLocks([&] { fw::lockRecord(attributeFile, n); });
  SearchIndexUpdate index(attributeFile);
  changelog::logIntent(attributeFile, op, n, attributeBytes, clinicalBytes);
  writePair(attributeFile, n, attributeBytes, clinicalBytes, OnFailure::PutBackClinical);
  index.written(n, attributeBytes);
  fw::unlockRecord(attributeFile, n);
  if (written) *written = stampOf(attributeBytes);
  return EntryCheck::Current;
}

}  // namespace

EntryCheck overwriteEntry(long n, const AttributeValues& attributes,
                          const ClinicalValues& clinical, std::optional<RecordStamp> expected,
                          RecordStamp* written) {
  return overwriteRecords(n, common::encode(attributes), common::encode(clinical), expected,
                          written, changelog::Operation::Overwrite);
}

EntryCheck restoreEntryRecords(long n, const Str& attributeRecord, const Str& clinicalRecord,
                               std::optional<RecordStamp> expected) {
  return overwriteRecords(n, attributeRecord, clinicalRecord, expected, nullptr,
                          changelog::Operation::Restore);
}

std::optional<Entry> readEntry(long n) {
  if (n < 1) return std::nullopt;
  Str attributeBytes;
  {
    std::optional<fw::OpenFile> file;
    openForReading(file, common::files::kAttributeFile);
    if (!file || n > fw::recordCount(*file)) return std::nullopt;
    attributeBytes = readRecord(*file, n);
  }
  return entryOf(n, attributeBytes, clinicalRecord(n));
}

EntryCheck readEntryIfUnchanged(long n, RecordStamp expected, Entry& entry) {
  if (n < 1) return EntryCheck::Gone;
  std::optional<fw::OpenFile> file;
  const bool writable = openForReading(file, common::files::kAttributeFile);
  if (!file) return EntryCheck::Gone;
  // Under the writer lock no write is half done: the two records read are
  // of one write. Where nobody here may write, reading is all there is.
  std::optional<fw::FileLock> writer;
  if (writable) writer.emplace(*file, kWriterWaitMilliseconds);
  if (n > fw::recordCount(*file)) return EntryCheck::Gone;
  const Str attributeBytes = readRecord(*file, n);
  if (stampOf(attributeBytes) != expected) return EntryCheck::Changed;
  entry = entryOf(n, attributeBytes, clinicalRecord(n));
  return EntryCheck::Current;
}

void scanNewestFirst(Scan which, const std::function<bool(long n, const RecordView&)>& visit) {
  std::optional<fw::OpenFile> opened;
  openForReading(opened, common::files::kAttributeFile);
  if (!opened) return;
  const int file = *opened;
  const long count = fw::recordCount(file);
  std::vector<char> block(kScanBlockBytes);
  for (long last = count; last >= 1;) {
    const long first = std::max<long>(1, last - kScanBlockRecords + 1);
    const std::size_t got = readBlock(file, first, last, block);
    for (long n = last; n >= first; --n) {
      const std::optional<std::string_view> bytes = recordInBlock(block, got, n - first);
      if (!bytes) continue;  // the file shrank under us
      const RecordView record(*bytes);
      if (record.deleted() != (which == Scan::Deleted)) continue;
      if (!visit(n, record)) return;
    }
    last = first - 1;
  }
}

void forEachEntry(const std::function<void(const Entry&)>& visit) {
  std::optional<fw::OpenFile> attributeOpened, clinicalOpened;
  openForReading(attributeOpened, common::files::kAttributeFile);
  if (!attributeOpened) return;
  openForReading(clinicalOpened, common::files::kClinicalFile);
  const int attributeFile = *attributeOpened;
  const int clinicalFile = clinicalOpened ? int(*clinicalOpened) : 0;
  const long count = fw::recordCount(attributeFile);
  std::vector<char> attributes(kScanBlockBytes);
  std::vector<char> clinical(kScanBlockBytes);
  for (long first = 1; first <= count; first += kScanBlockRecords) {
    const long last = std::min<long>(count, first + kScanBlockRecords - 1);
    const std::size_t gotAttributes = readBlock(attributeFile, first, last, attributes);
    const std::size_t gotClinical =
        clinicalFile ? readBlock(clinicalFile, first, last, clinical) : 0;
    for (long n = first; n <= last; ++n) {
      const std::optional<std::string_view> attributeBytes =
          recordInBlock(attributes, gotAttributes, n - first);
      if (!attributeBytes) return;  // the file shrank under us
      const auto clinicalBytes = recordInBlock(clinical, gotClinical, n - first);
      visit(entryOf(n, *attributeBytes,
                    clinicalBytes ? std::optional<Str>(Str(*clinicalBytes)) : std::nullopt));
    }
  }
}

namespace {

EntryCheck markDeletedChecked(long n, std::optional<RecordStamp> expected) {
  if (n < 1 || !fw::fileExists(common::files::kAttributeFile)) return EntryCheck::Gone;
  fw::OpenFile file(common::files::kAttributeFile, fw::FileMode::RecordExisting,
                    fw::Share::ReadWrite, kHistoryRecordBytes);
  fw::FileLock writer(file, kWriterWaitMilliseconds);
  if (n > fw::recordCount(file)) return EntryCheck::Gone;
  waitingOutRecordLocks([&] { fw::lockRecord(file, n); });
  Str record = readRecord(file, n);
  // Closing the file gives the record lock back.
  if (expected && stampOf(record) != *expected) return EntryCheck::Changed;
  // A trailing record cut short becomes whole: its missing fields blank.
  if (static_cast<int>(record.size()) < kHistoryRecordBytes) {
    record.resize(common::slotOf(AttributeField::DeletionMark).offsetBytes +
                      common::slotOf(AttributeField::DeletionMark).widthBytes,
                  ' ');
    record.resize(kHistoryRecordBytes, '\0');
  }
  const common::FieldSlot mark = common::slotOf(AttributeField::DeletionMark);
  common::putSlot(record, mark, common::fitToField(Str(common::kDeletedMark), mark.widthBytes));
  SearchIndexUpdate index(file);
  changelog::logIntent(file, changelog::Operation::Delete, n, record, std::nullopt);
  writeRecord(file, n, record);
  fw::unlockRecord(file, n);
  fw::flushToDisk(file);
  index.written(n, record);
  return EntryCheck::Current;
}

}  // namespace

bool markDeleted(long n) { return markDeletedChecked(n, std::nullopt) == EntryCheck::Current; }

EntryCheck markDeletedIfUnchanged(long n, RecordStamp expected) {
  return markDeletedChecked(n, expected);
}

Str today() { return fw::date(); }

void failNextAttributeWriteForTesting() { failNextAttributeWrite = true; }

}  // namespace history
