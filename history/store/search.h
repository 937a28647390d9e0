// Finding entries by examinee number, chart number or part of the name, and
// listing them: the comparisons shared by the searches of the main window
// and of the history window, and the listing that fills the history list.
// Everything here works on the history files and plain values only (no
// window), so tests and benchmarks run it directly.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <vector>

#include "framework/core/str.h"
#include "history/store/list_lines.h"
#include "history/store/store.h"

namespace history {

enum class SearchKind { Number, ChartNumber, Name };

// The key of a search from the operator's answer (trimmed here): a number
// narrowed to half-width; a chart number narrowed and filled on the left
// with zeros to its last 10 bytes ("123" finds 0000000123); a name as typed.
fw::Str searchKey(SearchKind kind, const fw::Str& answer);

// Decides whether an attribute record matches a key built by searchKey. The
// stored value is the one the history list shows: the field up to a zero
// byte, trimmed (common::attributeField).
//  Number, ChartNumber: EXAM_NO / CHART_NO and the key are equal once both
//    are upper-cased (a..z) and then narrowed to half-width.
//  Name: the key widened to full width occurs in NAME widened to full width,
//    starting on a character; case is kept.
// The conversions are costly next to reading a record, so a record whose
// bytes cannot give a match in any width is refused without them; the
// answer is always that of the full comparison.
class Matcher {
 public:
  Matcher(SearchKind kind, const fw::Str& key);
  bool matches(const RecordView& record) const;
  // The comparison without any shortcut (tests hold the shortcut to it).
  bool matchesPlainly(const RecordView& record) const;

 private:
  bool numberMatches(const RecordView& record) const;
  bool nameMayMatch(std::string_view slot) const;

  SearchKind kind_;
  AttributeField field_;
  fw::Str key_;                // upper-cased and narrowed, or widened for names
  bool keyIsAscii_ = true;
  // Names: two bytes that every matching name holds as they are (a
  // character of the key that no narrow character widens to), else the
  // full-width first character of the key and the single bytes that widen
  // to it; neither when the key starts with a byte that is not widened.
  fw::Str anchor_;
  bool useAnchor_ = false;
  fw::Str firstChar_;
  std::array<bool, 256> narrowSources_{};
  bool useFirstChar_ = false;
};

// Asked while a scan runs; true stops it (the Esc key). It is asked before
// the first record and then once every kRecordsPerStopTest records: asking
// the window system at every record cost a search more than its
// comparisons, and this many records take well under a millisecond.
using StopTest = std::function<bool()>;
inline constexpr int kRecordsPerStopTest = 64;

struct Found {
  long entry = 0;              // 0: no live entry matched
  bool stopped = false;        // the stop test ended the scan
  AttributeValues attributes;  // of the entry found
};
// The newest live entry that matches. Searches go through the search index
// (search_index.h), and scan the attribute file where it cannot be used;
// both ways give the same answer.
Found findNewest(const Matcher& matcher, const StopTest& stop);

struct Listing {
  std::vector<fw::Str> lines;  // history list lines, line numbers from 1
  // The stamp of each listed entry's attribute record as listed, by entry
  // number, so that opening and deleting act only on what the line showed.
  std::map<long, RecordStamp> stamps;
  bool stopped = false;
};
// The list lines of the entries a scan keeps (live ones, or only deleted
// ones), newest first, of those that match when `matcher` is given, at most
// `limit` lines. Reads only as far back as the lines need; with a matcher,
// through the search index as findNewest.
// Each line ends in `trailingBlanks` blanks (the multiple print's list).
Listing listEntries(Scan which, Column column, int limit, const Matcher* matcher,
                    const StopTest& stop, int trailingBlanks = 0);

}  // namespace history
