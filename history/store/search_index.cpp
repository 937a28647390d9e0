#include "history/store/search_index.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <optional>
#include <thread>
#include <utility>

#include "common/paths.h"
#include "framework/core/error.h"
#include "framework/core/files.h"
#include "framework/core/open_file.h"
#include "history/store/record_lock_wait.h"
#include "history/store/search.h"

namespace history {

using common::AttributeField;
using common::kHistoryRecordBytes;
using fw::Str;

namespace {

constexpr int kBytes = kSearchIndexRecordBytes;
constexpr std::string_view kMagic = "TSVIDX1\n";
constexpr std::size_t kCheckAt = 72;  // the check sum's place in every record
// Entry layout: flag, then the compared slots as stored.
constexpr std::size_t kFlagAt = 0;
struct EntrySlot {
  AttributeField field;
  std::size_t at;
};
constexpr EntrySlot kEntrySlots[] = {
    {AttributeField::ExamNo, 1}, {AttributeField::ChartNo, 11}, {AttributeField::Name, 31}};
// An index read or built at once holds this many entries (320 KB).
constexpr long kBlockEntries = 4096;
// The attribute file is read this much at a time while the index is built.
constexpr long kBuildBlockRecords = 128;
// How long a search waits for the writer lock to put a new index in place;
// when another program holds it longer, the search goes on without writing.
constexpr long kWriterWaitMilliseconds = 2000;

bool g_useIndex = true;
IndexBuildNotice g_buildNotice;
// Fewer records than this are indexed without a word (an append elsewhere).
constexpr long kNoticedRecords = 4096;

// Tells the window about a long build for the scope of one.
class Building {
 public:
  explicit Building(long records) : told_(records >= kNoticedRecords && g_buildNotice) {
    if (told_) g_buildNotice(true);
  }
  ~Building() {
    if (told_) g_buildNotice(false);
  }
  Building(const Building&) = delete;
  Building& operator=(const Building&) = delete;

 private:
  bool told_;
};

std::uint64_t checkOf(const char* bytes, std::uint64_t seed) {
  std::uint64_t h = seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull;
  for (std::size_t i = 0; i < kCheckAt; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, bytes + i, 8);
    h = (h ^ w) * 0xFF51AFD7ED558CCDull;
    h ^= h >> 31;
  }
  return h;
}

void putNumber(char* at, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) at[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
std::uint64_t numberAt(const char* at) {
  std::uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v |= static_cast<std::uint64_t>(static_cast<unsigned char>(at[i])) << (8 * i);
  return v;
}

// The attribute file as the index last saw it.
struct FileState {
  std::int64_t size = -1;
  std::int64_t changed = 0;
  bool operator==(const FileState&) const = default;
};

FileState stateOf(int file) { return {fw::fileSize(file), fw::modificationTime(file)}; }

long recordsIn(std::int64_t size) {
  return static_cast<long>((size + kHistoryRecordBytes - 1) / kHistoryRecordBytes);
}

struct Header {
  FileState attributes;
  long count = 0;
};

Str headerBytes(const Header& h) {
  Str bytes(kBytes, '\0');
  bytes.replace(0, kMagic.size(), kMagic);
  putNumber(bytes.data() + 8, static_cast<std::uint64_t>(h.attributes.size));
  putNumber(bytes.data() + 16, static_cast<std::uint64_t>(h.attributes.changed));
  putNumber(bytes.data() + 24, static_cast<std::uint64_t>(h.count));
  putNumber(bytes.data() + kCheckAt, checkOf(bytes.data(), 0));
  return bytes;
}

std::optional<Header> headerOf(std::string_view bytes) {
  if (bytes.size() != static_cast<std::size_t>(kBytes) || bytes.substr(0, 8) != kMagic ||
      numberAt(bytes.data() + kCheckAt) != checkOf(bytes.data(), 0))
    return std::nullopt;
  Header h;
  h.attributes.size = static_cast<std::int64_t>(numberAt(bytes.data() + 8));
  h.attributes.changed = static_cast<std::int64_t>(numberAt(bytes.data() + 16));
  h.count = static_cast<long>(numberAt(bytes.data() + 24));
  if (h.attributes.size < 0 || h.count != recordsIn(h.attributes.size)) return std::nullopt;
  return h;
}

// Entry n of an attribute record (whole, or cut short at the end of the
// file: its missing bytes are blanks, as the searches read them).
void entryOf(long n, std::string_view record, char* out) {
  std::memset(out, ' ', kBytes);
  out[kFlagAt] = common::isDeleted(record) ? 'D' : '-';
  const RecordView view(record);
  for (const EntrySlot& s : kEntrySlots) {
    const std::string_view raw = view.raw(s.field);
    std::memcpy(out + s.at, raw.data(), raw.size());
  }
  putNumber(out + kCheckAt, checkOf(out, static_cast<std::uint64_t>(n)));
}

bool entryIsWhole(long n, const char* entry) {
  return numberAt(entry + kCheckAt) == checkOf(entry, static_cast<std::uint64_t>(n));
}


std::size_t readAt(int file, std::int64_t offset, char* dst, std::size_t n) {
  return waitingOutRecordLocks([&] { return fw::readBytes(file, offset, dst, n); });
}

Str attributeRecord(int attributeFile, long n) {
  Str bytes(kHistoryRecordBytes, '\0');
  bytes.resize(readAt(attributeFile, static_cast<std::int64_t>(n - 1) * kHistoryRecordBytes,
                      bytes.data(), bytes.size()));
  return bytes;
}

// Entries first..last of an index file into `out`; false when the file
// holds fewer.
bool readEntries(int indexFile, long first, long last, Str& out) {
  out.resize(static_cast<std::size_t>(last - first + 1) * kBytes);
  return readAt(indexFile, static_cast<std::int64_t>(first) * kBytes, out.data(), out.size()) ==
         out.size();
}

// Once the index is written, the disk's clock must have moved past the
// attribute file's time of change: a write of another program within the
// same tick would leave that time as it is, so an index that cannot tell
// is not believed. Waits a few ticks for it, rewriting the header.
void settle(int indexFile, const Header& h) {
  for (int tries = 0; tries < 25; ++tries) {
    if (fw::modificationTime(indexFile) > h.attributes.changed) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    fw::setRecordBuffer(indexFile, headerBytes(h));
    fw::put(indexFile, 1);
  }
}

fw::OpenFile openIndexForWriting() {
  return fw::OpenFile(kSearchIndexFile, fw::FileMode::Record, fw::Share::ReadWrite, kBytes);
}

// The covered records that are cheapest to compare with their entries: the
// newest (where other programs write most), the first and three between.
bool samplesAgree(int attributeFile, int indexFile, long count) {
  if (count == 0) return true;
  long samples[] = {count, 1, count / 2, count / 4, count - count / 4};
  std::sort(std::begin(samples), std::end(samples));
  Str stored, fresh(kBytes, '\0');
  long previous = 0;
  for (long n : samples) {
    if (n < 1 || n == previous) continue;
    previous = n;
    if (!readEntries(indexFile, n, n, stored)) return false;
    entryOf(n, attributeRecord(attributeFile, n), fresh.data());
    if (stored != fresh) return false;
  }
  return true;
}

// Entries from..count built from the attribute file into `out` (appended),
// asking `stop` at every record; false when it stopped.
bool buildEntries(int attributeFile, long from, long count, const std::function<bool()>& stop,
                  Str& out) {
  std::vector<char> block(static_cast<std::size_t>(kBuildBlockRecords) * kHistoryRecordBytes);
  out.reserve(out.size() + static_cast<std::size_t>(count - from + 1) * kBytes);
  char entry[kBytes];
  for (long first = from; first <= count; first += kBuildBlockRecords) {
    const long last = std::min(count, first + kBuildBlockRecords - 1);
    const std::size_t got =
        readAt(attributeFile, static_cast<std::int64_t>(first - 1) * kHistoryRecordBytes,
               block.data(), static_cast<std::size_t>(last - first + 1) * kHistoryRecordBytes);
    for (long n = first; n <= last; ++n) {
      if (stop && stop()) return false;
      const std::size_t offset = static_cast<std::size_t>(n - first) * kHistoryRecordBytes;
      // The file shrank under us: the blank record never matches, and the
      // index built is not kept (the file's state differs).
      const std::string_view record =
          offset < got ? std::string_view(block.data() + offset,
                                          std::min<std::size_t>(kHistoryRecordBytes, got - offset))
                       : std::string_view();
      entryOf(n, record, entry);
      out.append(entry, kBytes);
    }
  }
  return true;
}

// The entries a search reads: the index file, or a new index in memory.
struct Entries {
  std::optional<fw::OpenFile> file;
  Str memory;
  long count = 0;

  bool read(long first, long last, Str& out) const {
    if (!file) {
      out.assign(memory, static_cast<std::size_t>(first - 1) * kBytes,
                 static_cast<std::size_t>(last - first + 1) * kBytes);
      return true;
    }
    return readEntries(*file, first, last, out);
  }
};

enum class Prepared { Ready, Stopped, Unavailable };

// Writes a whole new index (header and `entries`) in place of the old one,
// when the attribute file is still as it was when they were read from it.
void replaceIndex(const Header& h, const Str& entries) {
  std::optional<fw::OpenFile> attributes;
  try {
    attributes.emplace(common::files::kAttributeFile, fw::FileMode::RecordExisting,
                       fw::Share::ReadWrite, kHistoryRecordBytes);
  } catch (const fw::RuntimeError&) {
    return;  // a folder this program may only read keeps no index
  }
  fw::FileLock writer(*attributes, kWriterWaitMilliseconds);
  if (stateOf(*attributes) != h.attributes) return;
  {
    fw::OpenFile out(kSearchIndexFile, fw::FileMode::Rewrite, fw::Share::ReadWrite);
    fw::writeText(out, headerBytes(h));
    fw::writeText(out, entries);
    out.commit();
  }
  fw::OpenFile index = openIndexForWriting();
  settle(index, h);
}

// Brings the index up to date for a search and opens it (or keeps a new
// one in memory).
Prepared prepare(const std::function<bool()>& stop, bool rebuild, Entries& entries) {
  std::optional<fw::OpenFile> attributes;
  // The plain scan creates a missing file, as the other programs expect.
  if (!fw::fileExists(common::files::kAttributeFile)) return Prepared::Unavailable;
  attributes.emplace(common::files::kAttributeFile, fw::FileMode::RecordRead, fw::Share::ReadWrite,
                     kHistoryRecordBytes);
  const FileState now = stateOf(*attributes);
  const long count = recordsIn(now.size);

  std::optional<Header> header;
  if (!rebuild && fw::fileExists(kSearchIndexFile)) {
    entries.file.emplace(kSearchIndexFile, fw::FileMode::RecordRead, fw::Share::ReadWrite, kBytes);
    Str bytes(kBytes, '\0');
    bytes.resize(readAt(*entries.file, 0, bytes.data(), bytes.size()));
    header = headerOf(bytes);
    if (header && fw::fileSize(*entries.file) < (header->count + 1) * kBytes) header.reset();
    if (header && !samplesAgree(*attributes, *entries.file, header->count)) header.reset();
  }
  if (header && header->attributes == now &&
      fw::modificationTime(*entries.file) > now.changed) {
    entries.count = count;
    return Prepared::Ready;
  }
  if (header && now.size > header->attributes.size &&
      header->attributes.size % kHistoryRecordBytes == 0) {
    // Appended by a program that keeps no index: index the new records,
    // under the writer lock so that no write of ours lands between.
    try {
      fw::OpenFile writable(common::files::kAttributeFile, fw::FileMode::RecordExisting,
                            fw::Share::ReadWrite, kHistoryRecordBytes);
      fw::FileLock writer(writable, kWriterWaitMilliseconds);
      const FileState locked = stateOf(writable);
      const long lockedCount = recordsIn(locked.size);
      if (lockedCount < header->count) fw::raise(fw::err::RecordIncomplete);
      Str added;
      {
        const Building building(lockedCount - header->count);
        if (!buildEntries(writable, header->count + 1, lockedCount, stop, added))
          return Prepared::Stopped;
      }
      fw::OpenFile index = openIndexForWriting();
      for (long n = header->count + 1; n <= lockedCount; ++n) {
        fw::setRecordBuffer(index, added.substr(static_cast<std::size_t>(n - header->count - 1) * kBytes, kBytes));
        fw::put(index, n + 1);
      }
      fw::flushToDisk(index);
      const Header h{locked, lockedCount};
      fw::setRecordBuffer(index, headerBytes(h));
      fw::put(index, 1);
      settle(index, h);
      entries.count = lockedCount;
      return Prepared::Ready;
    } catch (const fw::RuntimeError&) {
      // Not written (a folder that may only be read, a writer holding on):
      // build it anew below, in memory at least.
    }
  }
  entries.file.reset();
  entries.memory.clear();
  {
    const Building building(count);
    if (!buildEntries(*attributes, 1, count, stop, entries.memory)) return Prepared::Stopped;
  }
  entries.count = count;
  try {
    replaceIndex(Header{now, count}, entries.memory);
  } catch (const fw::RuntimeError&) {
    // Kept in memory for this search; the next one tries again.
  }
  return Prepared::Ready;
}

enum class Collected { Done, Stopped, Stale };

// The matching entries, newest first, each checked against its record.
Collected collect(const Entries& entries, Scan which, const Matcher& matcher, int limit,
              const std::function<bool()>& stop, std::vector<IndexHit>& hits) {
  std::optional<fw::OpenFile> attributes;
  Str block;
  // The compared slots at their places in a record of blanks: the matcher
  // sees what it sees in the attribute file.
  Str shaped(static_cast<std::size_t>(common::slotOf(AttributeField::DeletionMark).offsetBytes),
             ' ');
  const char wanted = which == Scan::Deleted ? 'D' : '-';
  for (long last = entries.count; last >= 1;) {
    const long first = std::max<long>(1, last - kBlockEntries + 1);
    if (!entries.read(first, last, block)) return Collected::Stale;
    for (long n = last; n >= first; --n) {
      if (stop && stop()) return Collected::Stopped;
      const char* entry = block.data() + static_cast<std::size_t>(n - first) * kBytes;
      if (!entryIsWhole(n, entry)) return Collected::Stale;
      if (entry[kFlagAt] != wanted) continue;
      for (const EntrySlot& s : kEntrySlots) {
        const common::FieldSlot slot = common::slotOf(s.field);
        shaped.replace(static_cast<std::size_t>(slot.offsetBytes),
                       static_cast<std::size_t>(slot.widthBytes), entry + s.at,
                       static_cast<std::size_t>(slot.widthBytes));
      }
      if (!matcher.matches(RecordView(shaped))) continue;
      if (!attributes) {
        attributes.emplace(common::files::kAttributeFile, fw::FileMode::RecordRead,
                           fw::Share::ReadWrite, kHistoryRecordBytes);
      }
      Str record = attributeRecord(*attributes, n);
      const RecordView view(record);
      if (record.empty() || view.deleted() != (which == Scan::Deleted) || !matcher.matches(view))
        return Collected::Stale;
      hits.push_back({n, std::move(record)});
      if (static_cast<int>(hits.size()) >= limit) return Collected::Done;
    }
    last = first - 1;
  }
  return Collected::Done;
}

}  // namespace

IndexBuildNoticeScope::IndexBuildNoticeScope(IndexBuildNotice notice)
    : previous_(std::exchange(g_buildNotice, std::move(notice))) {}
IndexBuildNoticeScope::~IndexBuildNoticeScope() { g_buildNotice = std::move(previous_); }

void useSearchIndex(bool use) { g_useIndex = use; }
bool searchIndexInUse() { return g_useIndex; }

IndexedSearch searchIndexed(Scan which, const Matcher& matcher, int limit,
                            const std::function<bool()>& stop, std::vector<IndexHit>& hits) {
  if (!g_useIndex || limit < 1) return IndexedSearch::Unavailable;
  try {
    for (int attempt = 0; attempt < 2; ++attempt) {
      hits.clear();
      Entries entries;
      switch (prepare(stop, attempt > 0, entries)) {
        case Prepared::Ready: break;
        case Prepared::Stopped: return IndexedSearch::Stopped;
        case Prepared::Unavailable: return IndexedSearch::Unavailable;
      }
      switch (collect(entries, which, matcher, limit, stop, hits)) {
        case Collected::Done: return IndexedSearch::Done;
        case Collected::Stopped: return IndexedSearch::Stopped;
        case Collected::Stale: break;  // damaged or behind the file: build it anew
      }
    }
  } catch (const fw::RuntimeError&) {
    // The index could not be read or written: the plain scan answers (and
    // says what is wrong with the attribute file, if anything is).
  }
  hits.clear();
  return IndexedSearch::Unavailable;
}

SearchIndexUpdate::SearchIndexUpdate(int attributeFile) noexcept : attributeFile_(attributeFile) {
  try {
    if (!fw::fileExists(kSearchIndexFile)) return;
    const FileState now = stateOf(attributeFile);
    if (now.size % kHistoryRecordBytes != 0) return;
    fw::OpenFile index(kSearchIndexFile, fw::FileMode::RecordRead, fw::Share::ReadWrite, kBytes);
    Str bytes(kBytes, '\0');
    bytes.resize(readAt(index, 0, bytes.data(), bytes.size()));
    const std::optional<Header> h = headerOf(bytes);
    current_ = h && h->attributes == now && fw::modificationTime(index) > now.changed &&
               fw::fileSize(index) >= (h->count + 1) * kBytes;
    count_ = h ? h->count : 0;
  } catch (...) {
    current_ = false;
  }
}

void SearchIndexUpdate::written(long n, std::string_view attributeRecord) noexcept {
  if (!current_ || n < 1 || n > count_ + 1) return;
  current_ = false;
  try {
    const FileState now = stateOf(attributeFile_);
    if (now.size % kHistoryRecordBytes != 0) return;
    fw::OpenFile index = openIndexForWriting();
    Str entry(kBytes, '\0');
    entryOf(n, attributeRecord, entry.data());
    fw::setRecordBuffer(index, entry);
    fw::put(index, n + 1);
    // The entry reaches the disk before the header that covers it.
    fw::flushToDisk(index);
    const Header h{now, recordsIn(now.size)};
    fw::setRecordBuffer(index, headerBytes(h));
    fw::put(index, 1);
    settle(index, h);
  } catch (...) {
    // The header still names the file as it was before this write: the
    // next search sees the index behind and brings it up to date.
  }
}

}  // namespace history
