#include "history/store/search.h"

#include <algorithm>
#include <map>
#include <set>

#include "framework/core/strings.h"
#include "history/store/search_index.h"

namespace history {

using fw::Str;

namespace {

bool isAscii(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool contains(std::string_view haystack, std::string_view needle) {
  return haystack.find(needle) != std::string_view::npos;
}

// What widening makes of narrow characters: for every full-width character
// that some single byte (or half-width kana with its voiced mark) widens to,
// the first bytes of those narrow forms. Taken from the conversion itself,
// so the shortcut of the name search can never disagree with it.
struct WideningTable {
  // key: the two bytes of a full-width character
  std::map<Str, std::set<unsigned char>> narrowSources;

  WideningTable() {
    auto note = [&](const Str& narrow) {
      const Str wide = fw::toFullWidth(narrow);
      if (wide.size() == 2 && wide != narrow) narrowSources[wide].insert(narrow[0]);
    };
    for (int b = 0; b < 256; ++b) {
      if (fw::isLeadByte(static_cast<unsigned char>(b))) continue;
      const Str one(1, static_cast<char>(b));
      note(one);
      // Only a character that widens can take a mark with it.
      if (fw::toFullWidth(one) == one) continue;
      for (int mark = 0; mark < 256; ++mark) {
        if (fw::isLeadByte(static_cast<unsigned char>(mark))) continue;
        const Str two = one + static_cast<char>(mark);
        // Only a pair that widens to one character is a source on its own.
        if (fw::toFullWidth(two).size() == 2) note(two);
      }
    }
  }
};

const WideningTable& widening() {
  static const WideningTable table;
  return table;
}

// The stop test as a scan asks it: at the first record, then every
// kRecordsPerStopTest records.
class StopPoll {
 public:
  explicit StopPoll(const StopTest& stop) : stop_(stop) {}
  bool operator()() {
    if (!stop_ || --untilNext_ > 0) return false;
    untilNext_ = kRecordsPerStopTest;
    return stop_();
  }

 private:
  const StopTest& stop_;
  int untilNext_ = 1;
};

}  // namespace

Str searchKey(SearchKind kind, const Str& answer) {
  const Str trimmed = fw::trim(answer);
  switch (kind) {
    case SearchKind::Number: return fw::toHalfWidth(trimmed);
    case SearchKind::ChartNumber: return fw::right("0000000000" + fw::toHalfWidth(trimmed), 10);
    case SearchKind::Name: return trimmed;
  }
  return trimmed;
}

Matcher::Matcher(SearchKind kind, const Str& key) : kind_(kind) {
  switch (kind) {
    case SearchKind::Number: field_ = AttributeField::ExamNo; break;
    case SearchKind::ChartNumber: field_ = AttributeField::ChartNo; break;
    case SearchKind::Name: field_ = AttributeField::Name; break;
  }
  if (kind != SearchKind::Name) {
    key_ = fw::toHalfWidth(fw::upper(key));
    keyIsAscii_ = isAscii(key_);
    return;
  }
  key_ = fw::toFullWidth(key);
  const auto& sources = widening().narrowSources;
  for (std::size_t i = 0; i + 1 < key_.size();) {
    if (!fw::isLeadByte(static_cast<unsigned char>(key_[i]))) break;
    const Str c = key_.substr(i, 2);
    if (!sources.count(c)) {
      anchor_ = c;
      useAnchor_ = true;
      return;
    }
    i += 2;
  }
  if (key_.size() >= 2 && fw::isLeadByte(static_cast<unsigned char>(key_[0]))) {
    firstChar_ = key_.substr(0, 2);
    const auto it = sources.find(firstChar_);
    if (it != sources.end()) {
      for (unsigned char b : it->second) narrowSources_[b] = true;
    }
    useFirstChar_ = true;
  }
}

bool Matcher::numberMatches(const RecordView& record) const {
  const std::string_view value = common::valueBytes(record.raw(field_));
  if (!isAscii(value)) return matchesPlainly(record);
  // Upper-casing and narrowing leave plain ASCII as ASCII: a key with any
  // other byte cannot be equal, and no conversion is needed.
  if (!keyIsAscii_) return false;
  std::size_t from = value.find_first_not_of(' ');
  if (from == std::string_view::npos) return key_.empty();
  const std::size_t to = value.find_last_not_of(' ') + 1;
  if (to - from != key_.size()) return false;
  for (std::size_t i = 0; i < key_.size(); ++i) {
    if (upperAscii(value[from + i]) != key_[i]) return false;
  }
  return true;
}

bool Matcher::nameMayMatch(std::string_view slot) const {
  if (useAnchor_) return contains(slot, anchor_);
  if (useFirstChar_) {
    if (contains(slot, firstChar_)) return true;
    for (char c : slot) {
      if (narrowSources_[static_cast<unsigned char>(c)]) return true;
    }
    return false;
  }
  return true;
}

bool Matcher::matches(const RecordView& record) const {
  if (kind_ != SearchKind::Name) return numberMatches(record);
  // Bytes behind a zero may let a record through here, never keep one out.
  if (!nameMayMatch(record.raw(field_))) return false;
  return matchesPlainly(record);
}

bool Matcher::matchesPlainly(const RecordView& record) const {
  const Str value = record.field(field_);
  if (kind_ != SearchKind::Name) return fw::toHalfWidth(fw::upper(value)) == key_;
  if (key_.empty()) return true;
  return fw::charInstr(1, fw::toFullWidth(value), key_) > 0;
}

Found findNewest(const Matcher& matcher, const StopTest& stop) {
  Found found;
  StopPoll stopped(stop);
  std::vector<IndexHit> hits;
  switch (searchIndexed(Scan::Live, matcher, 1, [&] { return stopped(); }, hits)) {
    case IndexedSearch::Done:
      if (!hits.empty()) {
        found.entry = hits.front().entry;
        found.attributes = common::decodeAttributes(hits.front().record);
      }
      return found;
    case IndexedSearch::Stopped: found.stopped = true; return found;
    case IndexedSearch::Unavailable: break;
  }
  scanNewestFirst(Scan::Live, [&](long n, const RecordView& record) {
    if (stopped()) {
      found.stopped = true;
      return false;
    }
    if (!matcher.matches(record)) return true;
    found.entry = n;
    found.attributes = common::decodeAttributes(record.bytes());
    return false;
  });
  return found;
}

Listing listEntries(Scan which, Column column, int limit, const Matcher* matcher,
                    const StopTest& stop, int trailingBlanks) {
  Listing listing;
  if (limit < 1) return listing;
  listing.lines.reserve(static_cast<std::size_t>(std::min(limit, 2000)));
  StopPoll stopped(stop);
  auto list = [&](long n, const RecordView& record) {
    const int k = static_cast<int>(listing.lines.size()) + 1;
    listing.lines.push_back(listLine(k, record, column, n, trailingBlanks));
    listing.stamps.emplace(n, stampOf(record.bytes()));
  };
  if (matcher) {
    std::vector<IndexHit> hits;
    const IndexedSearch how =
        searchIndexed(which, *matcher, limit, [&] { return stopped(); }, hits);
    if (how != IndexedSearch::Unavailable) {
      for (const IndexHit& hit : hits) list(hit.entry, RecordView(hit.record));
      listing.stopped = how == IndexedSearch::Stopped;
      return listing;
    }
  }
  scanNewestFirst(which, [&](long n, const RecordView& record) {
    if (stopped()) {
      listing.stopped = true;
      return false;
    }
    if (matcher && !matcher->matches(record)) return true;
    list(n, record);
    return static_cast<int>(listing.lines.size()) < limit;
  });
  return listing;
}

}  // namespace history
