// The search index: EKG_DATA\EKGDATA_1.idx, a cache of what the searches
// compare, so that a search reads a few percent of the history instead of
// all of it (on a network share with a cold cache, seconds instead of
// minutes).
//
// It is only ever a cache: the attribute file is the record. Deleting the
// index loses nothing (the next search builds it again), and it is never
// believed without a check:
// - Its header names the attribute file's size and time of last change as
//   they were when the index was brought up to date, and carries a check
//   sum; every entry carries a check sum of its bytes and its number.
// - Before a search the header is compared with the attribute file, and a
//   few covered records (the newest, the first and some between) are
//   compared with their entries. Records appended since (by a program that
//   knows nothing of the index: an older copy, another program on the share,
//   a restored file) are indexed then; any other change, a damaged or
//   missing index, or a file changed within the same tick of the disk's
//   clock as the index was written, makes the search build it anew from the
//   attribute file.
// - Every record a search finds through the index is read from the
//   attribute file and compared again before it is shown.
// - The store's own appends, overwrites and deletion marks update the entry
//   under the writer lock, the entry on the disk before the header.
// - A new index replaces the old one as a whole (written beside it, then put
//   in its place), and only when the attribute file did not change while it
//   was built. Where the folder cannot be written, the search goes on with
//   the index in memory or with the plain scan.
//
// Layout, records of 80 bytes: record 1 the header (magic, attribute file
// size, its time of change, entries covered, check), then one record per
// entry n: deletion flag, EXAM_NO, CHART_NO and NAME slots as stored, check.
// The slots are kept as they are (not folded): a search compares them with
// the very comparison it uses on the records, so both ways give one answer.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "framework/core/str.h"
#include "history/store/store.h"

namespace history {

class Matcher;

inline constexpr const char* kSearchIndexFile = "EKG_DATA\\EKGDATA_1.idx";
inline constexpr int kSearchIndexRecordBytes = 80;

// The store's hook around a write of the attribute file, under the writer
// lock: made before the write (it notes whether the index is up to date),
// told the record after it. Never throws: an index it cannot update stays
// as it was, and the next search sees that it is behind.
class SearchIndexUpdate {
 public:
  explicit SearchIndexUpdate(int attributeFile) noexcept;
  void written(long n, std::string_view attributeRecord) noexcept;

 private:
  int attributeFile_;
  bool current_ = false;
  long count_ = 0;
};

struct IndexHit {
  long entry = 0;
  fw::Str record;  // the attribute record as read to check the hit
};
enum class IndexedSearch {
  Done,         // `hits` holds the answer
  Stopped,      // the stop test ended it (hits so far kept)
  Unavailable,  // the index could not be used: scan the file instead
};
// The newest `limit` entries of kind `which` that `matcher` matches, newest
// first, through the index (brought up to date first). `stop` is asked
// every kRecordsPerStopTest entries, also while the index is being built.
IndexedSearch searchIndexed(Scan which, const Matcher& matcher, int limit,
                            const std::function<bool()>& stop, std::vector<IndexHit>& hits);

// Told when a search begins to build a large part of the index from the
// attribute file (true) and when it is done (false), so that the window
// shows the hourglass meanwhile, as for a long listing. A scope sets it for
// the searches that run within it.
using IndexBuildNotice = std::function<void(bool building)>;
class IndexBuildNoticeScope {
 public:
  explicit IndexBuildNoticeScope(IndexBuildNotice notice);
  ~IndexBuildNoticeScope();
  IndexBuildNoticeScope(const IndexBuildNoticeScope&) = delete;
  IndexBuildNoticeScope& operator=(const IndexBuildNoticeScope&) = delete;

 private:
  IndexBuildNotice previous_;
};

// Whether searches use the index (on by default); the tests and benchmarks
// compare with the plain scan.
void useSearchIndex(bool use);
bool searchIndexInUse();

}  // namespace history
