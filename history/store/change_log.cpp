#include "history/store/change_log.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <cstdio>
#include <map>
#include <set>
#include <utility>

#include "common/history_format.h"
#include "common/paths.h"
#include "framework/core/clock.h"
#include "framework/core/error.h"
#include "framework/core/files.h"
#include "framework/core/identity.h"

namespace history::changelog {

using common::kHistoryRecordBytes;
using fw::Str;

namespace {

constexpr std::int64_t kTailBlockBytes = 16384;
// Entries read at a time by the check.
constexpr long kCheckBlockRecords = 1024;
// How long the check waits for a writer to finish.
constexpr auto kCheckWait = std::chrono::seconds(10);

bool stopAfterNextLine = false;  // stopAfterNextLogLineForTesting
bool logging = true;             // setLoggingForBenchmark

std::string timeNow() {
  const fw::LocalTime t = fw::now();
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  return text;
}

// Asked once: neither changes while the program runs.
const std::string& computer() {
  static const std::string name = fw::computerName();
  return name;
}
const std::string& user() {
  static const std::string name = fw::userName();
  return name;
}

std::int64_t offsetOf(long n) { return static_cast<std::int64_t>(n - 1) * kHistoryRecordBytes; }

// Record n of a file as far as it holds it; nothing past its end.
std::optional<Str> recordOf(const fw::PlainFile& file, long n) {
  if (offsetOf(n) >= file.size()) return std::nullopt;
  Str bytes(kHistoryRecordBytes, '\0');
  bytes.resize(file.read(offsetOf(n), bytes.data(), bytes.size()));
  return bytes;
}

// Readers never create a file of the history.
void openIfThere(std::optional<fw::PlainFile>& file, const char* name) {
  if (fw::fileExists(name)) file.emplace(name, fw::PlainFile::Access::Read);
}

// Both records of entry n as the history holds them now; nothing when the
// attribute file has no record n.
struct Records {
  Str attribute;
  Str clinical;  // "" when the clinical file has no record n
};
std::optional<Records> currentRecords(long n) {
  std::optional<fw::PlainFile> attributes;
  openIfThere(attributes, common::files::kAttributeFile);
  if (!attributes) return std::nullopt;
  std::optional<Str> attribute = recordOf(*attributes, n);
  if (!attribute) return std::nullopt;
  std::optional<fw::PlainFile> clinicals;
  openIfThere(clinicals, common::files::kClinicalFile);
  std::optional<Str> clinical = clinicals ? recordOf(*clinicals, n) : std::nullopt;
  return Records{std::move(*attribute), clinical.value_or(Str())};
}

std::string digestOf(const std::optional<Records>& records) {
  return records ? entryDigest(records->attribute, records->clinical) : std::string();
}

// The end of the chain as a writer finds it.
struct Tail {
  std::int64_t end = 0;  // where the next line goes (after the last LF)
  long seq = 0;
  std::string digest = kFirstPrevious;
  std::optional<Line> last;
};

Tail tailOf(fw::PlainFile& log) {
  Tail tail;
  const std::int64_t size = log.size();
  if (size == 0) return tail;
  // Enough of the end to hold the last whole line and the LF before it.
  std::string text;
  std::int64_t from = size;
  std::size_t lastEnd = std::string::npos;
  for (;;) {
    const std::int64_t start = std::max<std::int64_t>(0, from - kTailBlockBytes);
    std::string block(static_cast<std::size_t>(from - start), '\0');
    block.resize(log.read(start, block.data(), block.size()));
    text = block + text;
    from = start;
    lastEnd = text.rfind('\n');
    const bool lineStartFound =
        lastEnd != std::string::npos &&
        (from == 0 || (lastEnd > 0 && text.rfind('\n', lastEnd - 1) != std::string::npos));
    if (lineStartFound || from == 0) break;
  }
  tail.end = lastEnd == std::string::npos ? 0 : from + static_cast<std::int64_t>(lastEnd) + 1;
  if (lastEnd == std::string::npos) return tail;
  const std::size_t lineStart =
      lastEnd == 0 ? 0 : (text.rfind('\n', lastEnd - 1) == std::string::npos
                              ? 0
                              : text.rfind('\n', lastEnd - 1) + 1);
  const std::string_view line = std::string_view(text).substr(lineStart, lastEnd - lineStart);
  tail.last = parse(line);
  if (tail.last) {
    tail.seq = tail.last->seq;
    tail.digest = tail.last->digest;
  } else if (line.size() >= kDigestChars) {
    // A line spoiled by hand: the chain goes on from what it says, and the
    // check reports the line.
    tail.digest = std::string(line.substr(line.size() - kDigestChars));
    std::sscanf(std::string(line).c_str(), "%ld", &tail.seq);
  }
  return tail;
}

// An overwrite stopped after its clinical record (a kill between the two
// writes): the attribute record is still the one before, so the clinical
// one is put back too and the entry is one version again.
void putBackHalfWritten(int attributeFile, const Line& last) {
  if (last.op != Operation::Overwrite && last.op != Operation::Restore) return;
  if (!last.attributeBefore || !last.clinicalBefore) return;
  Str attribute(kHistoryRecordBytes, '\0');
  attribute.resize(fw::readBytes(attributeFile, offsetOf(last.n), attribute.data(),
                                 attribute.size()));
  if (attribute != *last.attributeBefore) return;
  fw::PlainFile clinical(common::files::kClinicalFile, fw::PlainFile::Access::Update);
  const std::optional<Str> now = recordOf(clinical, last.n);
  if (now == last.clinicalBefore) return;
  clinical.write(offsetOf(last.n), last.clinicalBefore->data(), last.clinicalBefore->size());
  clinical.flushToDisk();
}

// The digest of entry n as the writer holding the lock sees it.
std::string digestUnderLock(int attributeFile, long n, std::optional<Str>* attributeNow,
                            std::optional<Str>* clinicalNow) {
  if (offsetOf(n) < fw::fileSize(attributeFile)) {
    Str bytes(kHistoryRecordBytes, '\0');
    bytes.resize(fw::readBytes(attributeFile, offsetOf(n), bytes.data(), bytes.size()));
    *attributeNow = std::move(bytes);
  }
  std::optional<fw::PlainFile> clinical;
  openIfThere(clinical, common::files::kClinicalFile);
  if (clinical) *clinicalNow = recordOf(*clinical, n);
  if (!*attributeNow) return {};
  return entryDigest(**attributeNow, clinicalNow->value_or(Str()));
}

}  // namespace

void logIntent(int attributeFile, Operation op, long n, const Str& attributeAfter,
               const std::optional<Str>& clinicalAfter) {
  if (!logging) return;
  fw::PlainFile log(common::files::kChangeLog, fw::PlainFile::Access::Update);
  Tail tail = tailOf(log);
  // A line cut off by a kill: its change never began.
  if (tail.end < log.size()) log.truncate(tail.end);

  std::string text;
  auto add = [&](Line line) {
    line.seq = ++tail.seq;
    line.time = timeNow();
    line.computer = computer();
    line.user = user();
    text += format(line, tail.digest);
    tail.digest = line.digest;
  };
  if (tail.end == 0) {
    Line start;
    start.op = Operation::Start;
    start.n = fw::recordCount(attributeFile);
    start.ref = kFormatVersion;
    add(std::move(start));
  } else if (tail.last && changesHistory(tail.last->op)) {
    std::optional<Str> attributeNow, clinicalNow;
    if (digestUnderLock(attributeFile, tail.last->n, &attributeNow, &clinicalNow) !=
        tail.last->after) {
      putBackHalfWritten(attributeFile, *tail.last);
      Line notApplied;
      notApplied.op = Operation::Void;
      notApplied.n = tail.last->n;
      notApplied.ref = tail.last->seq;
      add(std::move(notApplied));
    }
  }

  Line change;
  change.op = op;
  change.n = n;
  std::optional<Str> attributeNow, clinicalNow;
  digestUnderLock(attributeFile, n, &attributeNow, &clinicalNow);
  if (op != Operation::Register) {
    change.attributeBefore = attributeNow;
    change.clinicalBefore = clinicalNow;
  }
  change.after = entryDigest(attributeAfter, clinicalAfter ? *clinicalAfter
                                                           : clinicalNow.value_or(Str()));
  add(std::move(change));

  log.write(tail.end, text.data(), text.size());
  log.flushToDisk();
  log.close();
  if (std::exchange(stopAfterNextLine, false)) fw::raise(fw::err::DiskFull);
}

std::vector<std::optional<Line>> readLog() {
  std::vector<std::optional<Line>> lines;
  std::optional<fw::PlainFile> log;
  openIfThere(log, common::files::kChangeLog);
  if (!log) return lines;
  std::string text(static_cast<std::size_t>(log->size()), '\0');
  text.resize(log->read(0, text.data(), text.size()));
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos) break;
    lines.push_back(parse(std::string_view(text).substr(start, end - start)));
    start = end + 1;
  }
  return lines;
}

namespace {

// The seqs of changes that never happened: those a void line names, and a
// last line whose after-digest the entry does not have.
std::set<long> notAppliedIn(const std::vector<std::optional<Line>>& lines) {
  std::set<long> seqs;
  for (const auto& line : lines) {
    if (line && line->op == Operation::Void) seqs.insert(line->ref);
  }
  if (!lines.empty() && lines.back() && changesHistory(lines.back()->op) &&
      digestOf(currentRecords(lines.back()->n)) != lines.back()->after) {
    seqs.insert(lines.back()->seq);
  }
  return seqs;
}

}  // namespace

std::vector<Version> versionsOf(long n) {
  const std::vector<std::optional<Line>> lines = readLog();
  const std::set<long> notApplied = notAppliedIn(lines);
  std::vector<const Line*> changes;
  for (const auto& line : lines) {
    if (line && line->n == n && changesHistory(line->op) && !notApplied.count(line->seq)) {
      changes.push_back(&*line);
    }
  }
  std::vector<Version> versions;
  if (changes.empty()) return versions;
  const std::optional<Records> now = currentRecords(n);
  const std::string nowDigest = digestOf(now);
  // The oldest version the log knows: what the first change found.
  if (changes.front()->attributeBefore) {
    Version before;
    before.madeBy = Operation::Start;
    before.attributeRecord = changes.front()->attributeBefore;
    before.clinicalRecord = changes.front()->clinicalBefore.value_or(Str());
    versions.push_back(std::move(before));
  }
  for (std::size_t i = 0; i < changes.size(); ++i) {
    const Line& line = *changes[i];
    Version v;
    v.madeBy = line.op;
    v.seq = line.seq;
    v.time = line.time;
    v.computer = line.computer;
    v.user = line.user;
    if (i + 1 < changes.size()) {
      const Line& next = *changes[i + 1];
      if (next.attributeBefore &&
          entryDigest(*next.attributeBefore, next.clinicalBefore.value_or(Str())) == line.after) {
        v.attributeRecord = next.attributeBefore;
        v.clinicalRecord = next.clinicalBefore.value_or(Str());
      }
    } else if (nowDigest == line.after) {
      v.attributeRecord = now->attribute;
      v.clinicalRecord = now->clinical;
      v.current = true;
    }
    versions.push_back(std::move(v));
  }
  std::reverse(versions.begin(), versions.end());
  return versions;
}

EntryCheck restoreVersion(long n, const Version& version, RecordStamp expected) {
  if (!version.attributeRecord || !version.clinicalRecord) return EntryCheck::Gone;
  // A version read from a record cut short, or without a clinical record,
  // comes back whole: what it had, then what a record of it holds unwritten.
  Str attribute = *version.attributeRecord;
  attribute.resize(kHistoryRecordBytes, '\0');
  Str clinical = version.clinicalRecord->empty() ? common::encode(ClinicalValues{})
                                                 : *version.clinicalRecord;
  clinical.resize(kHistoryRecordBytes, '\0');
  return restoreEntryRecords(n, attribute, clinical, expected);
}

Verification verify() {
  Verification result;
  // The writer lock, held as a reader: no change is half-way while the log
  // and the history are read, so a last line not applied is a kill's.
  std::optional<fw::PlainFile> attributes, clinicals;
  openIfThere(attributes, common::files::kAttributeFile);
  if (attributes) {
    const auto deadline = std::chrono::steady_clock::now() + kCheckWait;
    while (!attributes->tryLockWholeFile()) {
      if (std::chrono::steady_clock::now() >= deadline) fw::raise(fw::err::LockViolation);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }
  std::optional<fw::PlainFile> log;
  openIfThere(log, common::files::kChangeLog);
  result.logExists = log.has_value();
  std::string text;
  if (log) {
    text.resize(static_cast<std::size_t>(log->size()));
    text.resize(log->read(0, text.data(), text.size()));
    log->close();
  }

  // The chain: every line follows its predecessor's digest and number.
  std::vector<std::optional<Line>> lines;
  std::string previous = kFirstPrevious;
  long expectedSeq = 1;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos) break;
    const std::string_view raw = std::string_view(text).substr(start, end - start);
    start = end + 1;
    std::optional<Line> line = parse(raw);
    const long number = static_cast<long>(lines.size()) + 1;
    if (!line) {
      result.breaks.push_back({number, 0});
      if (raw.size() >= kDigestChars) previous = raw.substr(raw.size() - kDigestChars);
      ++expectedSeq;
    } else {
      const std::string_view body = raw.substr(0, raw.size() - kDigestChars);
      if (line->seq != expectedSeq || chainDigest(previous, body) != line->digest ||
          (number == 1) != (line->op == Operation::Start)) {
        result.breaks.push_back({number, line->n});
      }
      previous = line->digest;
      expectedSeq = line->seq + 1;
    }
    lines.push_back(std::move(line));
  }
  result.lines = static_cast<long>(lines.size());

  // What the log says each entry holds now.
  const std::set<long> notApplied = notAppliedIn(lines);
  result.notApplied = static_cast<long>(notApplied.size());
  long startCount = 0;
  if (!lines.empty() && lines.front() && lines.front()->op == Operation::Start) {
    startCount = lines.front()->n;
  }
  std::map<long, std::string> expected;
  std::set<long> outside;
  for (const auto& line : lines) {
    if (!line || !changesHistory(line->op) || notApplied.count(line->seq)) continue;
    if (line->attributeBefore) {
      const std::string before =
          entryDigest(*line->attributeBefore, line->clinicalBefore.value_or(Str()));
      const auto known = expected.find(line->n);
      // Changed outside between two logged changes, or registered outside.
      if (known != expected.end() ? known->second != before : line->n > startCount) {
        outside.insert(line->n);
      }
    }
    expected[line->n] = line->after;
  }

  // The history against it, a block of entries at a time.
  openIfThere(clinicals, common::files::kClinicalFile);
  const std::int64_t attributeBytes = attributes ? attributes->size() : 0;
  result.entries = static_cast<long>((attributeBytes + kHistoryRecordBytes - 1) / kHistoryRecordBytes);
  std::string attributeBlock, clinicalBlock;
  for (long first = 1; first <= result.entries; first += kCheckBlockRecords) {
    const long last = std::min(result.entries, first + kCheckBlockRecords - 1);
    const std::size_t length = static_cast<std::size_t>(last - first + 1) * kHistoryRecordBytes;
    attributeBlock.assign(length, '\0');
    attributeBlock.resize(attributes->read(offsetOf(first), attributeBlock.data(), length));
    clinicalBlock.assign(length, '\0');
    clinicalBlock.resize(clinicals ? clinicals->read(offsetOf(first), clinicalBlock.data(), length)
                                   : 0);
    for (long n = first; n <= last; ++n) {
      const std::size_t at = static_cast<std::size_t>(n - first) * kHistoryRecordBytes;
      if (at >= attributeBlock.size()) break;
      const std::string_view attribute =
          std::string_view(attributeBlock).substr(at, kHistoryRecordBytes);
      const std::string_view clinical = at < clinicalBlock.size()
                                            ? std::string_view(clinicalBlock).substr(at, kHistoryRecordBytes)
                                            : std::string_view();
      const auto known = expected.find(n);
      if (known != expected.end()) {
        if (entryDigest(attribute, clinical) != known->second) outside.insert(n);
      } else if (n <= startCount || !result.logExists) {
        ++result.beforeLog;
      } else {
        outside.insert(n);
      }
    }
  }
  // Logged entries the history no longer holds (shortened, replaced).
  for (const auto& [n, digest] : expected) {
    if (n > result.entries) outside.insert(n);
  }
  result.changedOutside.assign(outside.begin(), outside.end());
  return result;
}

void setLoggingForBenchmark(bool on) { logging = on; }

void stopAfterNextLogLineForTesting() { stopAfterNextLine = true; }

}  // namespace history::changelog
