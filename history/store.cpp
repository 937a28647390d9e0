#include "history/store.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "common/paths.h"
#include "framework/core/error.h"
#include "framework/core/files.h"
#include "framework/core/open_file.h"
#include "framework/core/strings.h"

namespace history {

using common::kHistoryRecordBytes;
using fw::Str;

namespace {

// A scan reads this much of the attribute file at a time: large enough that
// the system calls vanish next to the copying, small enough to stay cheap.
constexpr long kScanBlockRecords = 2048;  // 4 MB
constexpr std::size_t kScanBlockBytes = kScanBlockRecords * kHistoryRecordBytes;
// How long a writer waits for another program's append to finish.
constexpr long kWriterWaitMilliseconds = 10000;
// How long a read or write waits for another program's record lock.
constexpr auto kRecordLockWait = std::chrono::milliseconds(2000);

// Marking a deletion holds the record lock of one entry for the moment of
// its rewrite. A scan, a read or a write of another program that meets it
// waits that moment out: failing would end that program over a search.
template <class Operation>
auto waitingOutRecordLocks(Operation&& operation) -> decltype(operation()) {
  const auto deadline = std::chrono::steady_clock::now() + kRecordLockWait;
  for (;;) {
    try {
      return operation();
    } catch (const fw::RuntimeError& e) {
      if (e.number() != fw::err::LockViolation || std::chrono::steady_clock::now() >= deadline)
        throw;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

fw::OpenFile openHistoryFile(const char* name) {
  return fw::OpenFile(name, fw::FileMode::Record, fw::Share::ReadWrite, kHistoryRecordBytes);
}

long countOf(const char* name) {
  fw::OpenFile file = openHistoryFile(name);
  return fw::recordCount(file);
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

void writeRecord(int file, long n, const Str& bytes) {
  fw::setRecordBuffer(file, bytes);
  waitingOutRecordLocks([&] { fw::put(file, n); });
}

// Writes both records of entry n; the caller holds the writer lock.
//
// The attribute record goes last, once the clinical one is on the disk: the
// attribute file's count is what makes entry n exist, so a failure, a kill
// or a power cut between the two writes leaves at most a clinical record
// that belongs to no entry (the next append writes over it), never an entry
// listed without its clinical record.
void writePair(int attributeFile, long n, const AttributeValues& attributes,
               const ClinicalValues& clinical) {
  {
    fw::OpenFile clinicalFile = openHistoryFile(common::files::kClinicalFile);
    writeRecord(clinicalFile, n, common::encode(clinical));
    fw::flushToDisk(clinicalFile);
  }
  writeRecord(attributeFile, n, common::encode(attributes));
  // The operator takes a cleared window for a stored entry.
  fw::flushToDisk(attributeFile);
}

}  // namespace

std::string_view RecordView::raw(AttributeField f) const {
  const common::FieldSlot slot = common::slotOf(f);
  if (static_cast<std::size_t>(slot.offsetBytes) >= bytes_.size()) return {};
  return bytes_.substr(slot.offsetBytes, slot.widthBytes);
}

long attributeCount() { return countOf(common::files::kAttributeFile); }
long clinicalCount() { return countOf(common::files::kClinicalFile); }

long appendEntry(const AttributeValues& attributes, const ClinicalValues& clinical) {
  fw::OpenFile attributeFile = openHistoryFile(common::files::kAttributeFile);
  fw::FileLock writer(attributeFile, kWriterWaitMilliseconds);
  // Both records go at the attribute file's next number: whatever happened
  // to the clinical file before, this pair stays together.
  const long n = fw::recordCount(attributeFile) + 1;
  writePair(attributeFile, n, attributes, clinical);
  return n;
}

void overwriteEntry(long n, const AttributeValues& attributes, const ClinicalValues& clinical) {
  fw::OpenFile attributeFile = openHistoryFile(common::files::kAttributeFile);
  fw::FileLock writer(attributeFile, kWriterWaitMilliseconds);
  writePair(attributeFile, n, attributes, clinical);
}

std::optional<Entry> readEntry(long n) {
  if (n < 1) return std::nullopt;
  Entry entry;
  entry.number = n;
  {
    fw::OpenFile file = openHistoryFile(common::files::kAttributeFile);
    if (n > fw::recordCount(file)) return std::nullopt;
    entry.attributes = common::decodeAttributes(readRecord(file, n));
  }
  fw::OpenFile file = openHistoryFile(common::files::kClinicalFile);
  if (n <= fw::recordCount(file)) entry.clinical = common::decodeClinical(readRecord(file, n));
  return entry;
}

void scanNewestFirst(Scan which, const std::function<bool(long n, const RecordView&)>& visit) {
  fw::OpenFile file = openHistoryFile(common::files::kAttributeFile);
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
  fw::OpenFile attributeFile = openHistoryFile(common::files::kAttributeFile);
  fw::OpenFile clinicalFile = openHistoryFile(common::files::kClinicalFile);
  const long count = fw::recordCount(attributeFile);
  std::vector<char> attributes(kScanBlockBytes);
  std::vector<char> clinical(kScanBlockBytes);
  for (long first = 1; first <= count; first += kScanBlockRecords) {
    const long last = std::min<long>(count, first + kScanBlockRecords - 1);
    const std::size_t gotAttributes = readBlock(attributeFile, first, last, attributes);
    const std::size_t gotClinical = readBlock(clinicalFile, first, last, clinical);
    for (long n = first; n <= last; ++n) {
      const std::optional<std::string_view> attributeBytes =
          recordInBlock(attributes, gotAttributes, n - first);
      if (!attributeBytes) return;  // the file shrank under us
      Entry entry;
      entry.number = n;
      entry.attributes = common::decodeAttributes(*attributeBytes);
      if (const auto clinicalBytes = recordInBlock(clinical, gotClinical, n - first))
        entry.clinical = common::decodeClinical(*clinicalBytes);
      visit(entry);
    }
  }
}

bool markDeleted(long n) {
  if (n < 1 || !fw::fileExists(common::files::kAttributeFile)) return false;
  fw::OpenFile file(common::files::kAttributeFile, fw::FileMode::RecordExisting,
                    fw::Share::ReadWrite, kHistoryRecordBytes);
  if (n > fw::recordCount(file)) return false;
  waitingOutRecordLocks([&] { fw::lockRecord(file, n); });
  Str record = readRecord(file, n);
  // A trailing record cut short becomes whole: its missing fields blank.
  if (static_cast<int>(record.size()) < kHistoryRecordBytes) {
    record.resize(common::slotOf(AttributeField::DeletionMark).offsetBytes +
                      common::slotOf(AttributeField::DeletionMark).widthBytes,
                  ' ');
    record.resize(kHistoryRecordBytes, '\0');
  }
  const common::FieldSlot mark = common::slotOf(AttributeField::DeletionMark);
  record.replace(mark.offsetBytes, mark.widthBytes,
                 common::fitToField(Str(common::kDeletedMark), mark.widthBytes));
  writeRecord(file, n, record);
  fw::unlockRecord(file, n);
  fw::flushToDisk(file);
  return true;
}

Str today() { return fw::date(); }

}  // namespace history
