// Searching and listing a large history: a 200 000-entry attribute file
// (varied names, about 2 % deleted) written once by this benchmark, read
// from a warm cache. Every search runs the Esc test as the program does.
// Next to each search: `LC_ALL=C grep -c -F` of the same absent key on the
// same file, and the ratio of the two (best runs, wall and CPU time).
//
// Each search runs by the plain scan of the attribute file and through the
// search index (/plain, /indexed). With each: the bytes read per search
// (read_kb, from /proc/self/io rchar: the attribute file, and the index
// where it is used; idx_kb is the index file's size, so read_kb - idx_kb is
// what came from the attribute file), and the search's peak memory
// (peak_mb: the process's high-water mark during the search above its size
// before it; hwm_mb: the high-water mark itself, Qt included).
//
// The Cold benchmarks drop the history files from the page cache before
// every search, so that each one reads from the disk;
// bench/slow_disk_search.sh runs them on a disk held to 40 MB/s.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/history_format.h"
#include "common/paths.h"
#include "framework/core/str.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/program.h"
#include "framework/form/window.h"
#include "history/history_window.h"
#include "history/store/search.h"
#include "history/store/search_index.h"
#include "history/window_state.h"

using namespace fw::literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr long kEntries = 200000;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// CPU time of this thread, and of the finished child processes: on a
// machine shared with other work the wall times are as much the others'
// as ours, the CPU times are not.
double threadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}
double childrenCpuMs() {
  rusage u{};
  getrusage(RUSAGE_CHILDREN, &u);
  auto ms = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
  };
  return ms(u.ru_utime) + ms(u.ru_stime);
}

struct Times {
  double wallMs = 0, cpuMs = 0;
};

// A counter of /proc/self/io ("rchar: 123") or /proc/self/status ("VmHWM:
// 123 kB").
long long procValue(const char* file, const std::string& key) {
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(key + ":", 0) == 0) return std::atoll(line.c_str() + key.size() + 1);
  }
  return -1;
}
long long bytesRead() { return procValue("/proc/self/io", "rchar"); }
long long residentKb() { return procValue("/proc/self/status", "VmRSS"); }
long long peakKb() { return procValue("/proc/self/status", "VmHWM"); }
// Sets the high-water mark back to the present size (Linux 4.0 on).
void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

// Drops a file from the page cache, so that the next read comes from the
// disk (the file's pages must be clean: written back first).
void dropFromCache(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return;
  fdatasync(fd);
  posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  ::close(fd);
}

// Family and given names, kanji, kana of both widths and letters, so that a
// key's bytes turn up now and then inside other names.
std::vector<fw::Str> parts(std::initializer_list<const char*> utf8) {
  std::vector<fw::Str> out;
  for (const char* p : utf8) out.push_back(fw::sj(p));
  return out;
}

fw::Str nameOf(long i) {
  static const std::vector<fw::Str> family =
      parts({"山田", "田中", "鈴木", "佐藤", "高橋", "伊藤", "渡辺", "中村", "小林", "加藤",
             "吉田", "山本", "ﾔﾏﾀﾞ", "ｽｽﾞｷ", "Tanaka", "ＳＡＴＯ", "斎藤", "松本", "井上", "木村"});
  static const std::vector<fw::Str> given =
      parts({"太郎", "花子", "一郎", "次郎", "美咲", "ﾊﾅｺ", "Hanako", "ゆうき", "健太", "さくら",
             "大輔", "陽子", "翔", "ひろし", "ｹﾝ", "真由美", "誠", "恵子", "Ｙｕｋｉ", "直樹"});
  fw::Str name = family[i % family.size()] + "　"_sj + given[(i / 20) % given.size()];
  if (i % 7 == 0) name += std::to_string(i % 100);
  return name;
}

// The benchmark's own working directory with the history in it.
struct BigHistory {
  std::string dir;
  std::string attributeFile;
  std::string indexFile;

  BigHistory() {
    dir = (std::filesystem::temp_directory_path() /
           ("tessivo-search-bench-" + std::to_string(getpid())))
              .string();
    std::filesystem::create_directories(dir + "/EKG_DATA");
    std::filesystem::create_directories(dir + "/EKG_SYS");
    std::filesystem::current_path(dir);
    attributeFile = dir + "/EKG_DATA/EKGDATA_1";
    std::ofstream out(attributeFile, std::ios::binary);
    for (long i = 1; i <= kEntries; ++i) {
      common::AttributeValues a;
      a[common::AttributeField::ExamNo] = std::to_string(i);
      a[common::AttributeField::ChartNo] = fw::Str(10 - std::to_string(i * 7).size(), '0') +
                                           std::to_string(i * 7);
      a[common::AttributeField::Name] = nameOf(i);
      a[common::AttributeField::SexCode] = i % 2 ? "1" : "2";
      a[common::AttributeField::BirthYear] = "昭和45"_sj;
      a[common::AttributeField::BirthMonth] = "５"_sj;
      a[common::AttributeField::BirthDay] = "１２"_sj;
      a[common::AttributeField::Age] = "54";
      a[common::AttributeField::ExamYear] = "2024";
      a[common::AttributeField::ExamMonth] = "１２"_sj;
      a[common::AttributeField::ExamDay] = "２４"_sj;
      if (i % 50 == 3) a[common::AttributeField::DeletionMark] = "del";
      const fw::Str record = common::encode(a);
      out.write(record.data(), static_cast<std::streamsize>(record.size()));
    }
    out.close();
    std::ofstream(dir + "/EKG_DATA/EKGDATA_2", std::ios::binary);
    indexFile = dir + "/EKG_DATA/EKGDATA_1.idx";
    // The Esc test asks the window system, as in the program. Its windows
    // go before the application object does at exit, as in the tests.
    fw::initForTests();
    std::atexit(fw::resetForTests);
  }
  ~BigHistory() {
    std::error_code ignored;
    std::filesystem::current_path("/", ignored);
    std::filesystem::remove_all(dir, ignored);
  }

  // The best of a few runs of grep for `key` (CP932 bytes) on the file.
  Times grepTimes(const fw::Str& key) const {
    const std::string keyFile = dir + "/key.txt";
    std::ofstream(keyFile, std::ios::binary) << key << "\n";
    const std::string command =
        "LC_ALL=C grep -c -F -f '" + keyFile + "' '" + attributeFile + "' >/dev/null";
    Times best{1e9, 1e9};
    for (int run = 0; run < 6; ++run) {  // the first warms the cache
      const auto start = Clock::now();
      const double cpuBefore = childrenCpuMs();
      if (std::system(command.c_str()) == -1) return {};
      if (run == 0) continue;
      best.wallMs = std::min(best.wallMs, msSince(start));
      best.cpuMs = std::min(best.cpuMs, childrenCpuMs() - cpuBefore);
    }
    return best;
  }
};

BigHistory& bigHistory() {
  static BigHistory h;
  return h;
}

bool escapeHeld() { return fw::keyDown(fw::kVkEscape) && fw::mainWindowExists(); }

// Runs `scan` as the benchmark's body and reports its best time next to
// grep's best for `grepKey`, as wall and as CPU time, with the bytes it
// read and its peak memory.
template <class Scan>
void againstGrep(benchmark::State& state, const fw::Str& grepKey, Scan scan) {
  BigHistory& h = bigHistory();
  const Times grep = h.grepTimes(grepKey);
  scan();  // builds the index where it is used: the runs below find it ready
  Times best{1e9, 1e9};
  long long readBytes = 0, peakAbove = 0, peak = 0;
  for (auto _ : state) {
    const long long readBefore = bytesRead();
    resetPeak();
    const long long sizeBefore = residentKb();
    const auto start = Clock::now();
    const double cpuBefore = threadCpuMs();
    scan();
    best.wallMs = std::min(best.wallMs, msSince(start));
    best.cpuMs = std::min(best.cpuMs, threadCpuMs() - cpuBefore);
    readBytes = bytesRead() - readBefore;
    peak = std::max(peak, peakKb());
    peakAbove = std::max(peakAbove, peakKb() - sizeBefore);
  }
  state.counters["ms"] = best.wallMs;
  state.counters["grep_ms"] = grep.wallMs;
  state.counters["ratio"] = grep.wallMs > 0 ? best.wallMs / grep.wallMs : 0;
  state.counters["cpu_ms"] = best.cpuMs;
  state.counters["grep_cpu_ms"] = grep.cpuMs;
  state.counters["cpu_ratio"] = grep.cpuMs > 0 ? best.cpuMs / grep.cpuMs : 0;
  state.counters["read_kb"] = static_cast<double>(readBytes) / 1024;
  std::error_code none;
  const auto indexBytes = std::filesystem::file_size(h.indexFile, none);
  state.counters["idx_kb"] = none ? 0 : static_cast<double>(indexBytes) / 1024;
  state.counters["peak_mb"] = static_cast<double>(peakAbove) / 1024;
  state.counters["hwm_mb"] = static_cast<double>(peak) / 1024;
}

void searchNotFound(benchmark::State& state, history::SearchKind kind, const fw::Str& answer,
                    const fw::Str& grepKey) {
  const bool indexed = state.range(0) != 0;
  const history::Matcher matcher(kind, history::searchKey(kind, answer));
  history::useSearchIndex(indexed);
  againstGrep(state, grepKey, [&] {
    const history::Found found = history::findNewest(matcher, escapeHeld);
    if (found.entry != 0) state.SkipWithError("the absent key was found");
  });
  history::useSearchIndex(true);
}

// The search runs plainly (0) and through the index (1).
void plainAndIndexed(benchmark::internal::Benchmark* b) {
  b->ArgName("indexed")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2);
}

void BM_NameSearchNotFound(benchmark::State& state) {
  searchNotFound(state, history::SearchKind::Name, "存在しない人"_sj, "存在しない人"_sj);
}
BENCHMARK(BM_NameSearchNotFound)->Apply(plainAndIndexed);

// A name that shares its first character with many stored names.
void BM_NameSearchNotFoundCommonStart(benchmark::State& state) {
  searchNotFound(state, history::SearchKind::Name, "山田　存在"_sj, "山田　存在"_sj);
}
BENCHMARK(BM_NameSearchNotFoundCommonStart)->Apply(plainAndIndexed);

// A key of letters only: every narrow or wide a could start it.
void BM_NameSearchNotFoundLetters(benchmark::State& state) {
  searchNotFound(state, history::SearchKind::Name, "Hanakox", "Hanakox");
}
BENCHMARK(BM_NameSearchNotFoundLetters)->Apply(plainAndIndexed);

void BM_NumberSearchNotFound(benchmark::State& state) {
  searchNotFound(state, history::SearchKind::Number, "９９９９９９９"_sj, "9999999");
}
BENCHMARK(BM_NumberSearchNotFound)->Apply(plainAndIndexed);

void BM_ChartNumberSearchNotFound(benchmark::State& state) {
  searchNotFound(state, history::SearchKind::ChartNumber, "3", "0000000003");
}
BENCHMARK(BM_ChartNumberSearchNotFound)->Apply(plainAndIndexed);

// A number search with the history read from the disk: the files are
// dropped from the page cache before each run. Plain (0) or indexed (1).
void BM_ColdNumberSearch(benchmark::State& state) {
  BigHistory& h = bigHistory();
  const bool indexed = state.range(0) != 0;
  history::useSearchIndex(indexed);
  const history::Matcher matcher(history::SearchKind::Number,
                                 history::searchKey(history::SearchKind::Number, "9999999"));
  history::findNewest(matcher, escapeHeld);  // the index ready
  long long readBytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    dropFromCache(h.attributeFile);
    dropFromCache(h.indexFile);
    const long long readBefore = bytesRead();
    state.ResumeTiming();
    if (history::findNewest(matcher, escapeHeld).entry != 0) state.SkipWithError("found");
    readBytes = bytesRead() - readBefore;
  }
  state.counters["read_kb"] = static_cast<double>(readBytes) / 1024;
  history::useSearchIndex(true);
}
BENCHMARK(BM_ColdNumberSearch)
    ->ArgName("indexed")->Arg(1)->Arg(0)->Iterations(3)->Unit(benchmark::kMillisecond);

// Building the index anew (it was removed) within a search, as the first
// search after the index went missing or was found damaged does.
void BM_IndexRebuild(benchmark::State& state) {
  BigHistory& h = bigHistory();
  const history::Matcher matcher(history::SearchKind::Number,
                                 history::searchKey(history::SearchKind::Number, "9999999"));
  long long peakAbove = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(h.indexFile);
    resetPeak();
    const long long sizeBefore = residentKb();
    state.ResumeTiming();
    history::findNewest(matcher, escapeHeld);
    peakAbove = std::max(peakAbove, peakKb() - sizeBefore);
  }
  if (!std::filesystem::exists(h.indexFile)) state.SkipWithError("no index written");
  state.counters["peak_mb"] = static_cast<double>(peakAbove) / 1024;
}
BENCHMARK(BM_IndexRebuild)->Iterations(3)->Unit(benchmark::kMillisecond);

// The list lines of the newest `range(0)` live entries.
void BM_ListLines(benchmark::State& state) {
  bigHistory();
  const int lines = static_cast<int>(state.range(0));
  for (auto _ : state) {
    const history::Listing l = history::listEntries(history::Scan::Live, history::Column::Number,
                                                    lines, nullptr, escapeHeld);
    if (static_cast<int>(l.lines.size()) != lines) state.SkipWithError("short list");
    benchmark::DoNotOptimize(l.lines.data());
  }
}
BENCHMARK(BM_ListLines)->Arg(50)->Arg(2000)->Unit(benchmark::kMillisecond);

// RIREKI_HYOUJI with 2000 lines in the history window, until LIST1 holds
// them and has been painted.
void BM_HistoryWindowList2000(benchmark::State& state) {
  bigHistory();
  common::writeListSizeIndex(common::files::kHistoryListSize, 8);
  fw::openWindow(history::FORM2, "FORM2", 0);
  history::FORM2_START();
  fw::doEvents();
  fw::Control& list = history::FORM2->control("LIST1");
  for (auto _ : state) {
    history::RIREKI_HYOUJI();
    fw::doEvents();
    if (list.itemCount() != 2000) state.SkipWithError("LIST1 does not hold 2000 lines");
  }
  fw::closeWindow(history::FORM2);
}
BENCHMARK(BM_HistoryWindowList2000)->Unit(benchmark::kMillisecond);

}  // namespace
