// Searching and listing a large history: a 200 000-entry attribute file
// (varied names, about 2 % deleted) written once by this benchmark, read
// from a warm cache. Every scan runs the Esc test before each record, as the
// program does. Next to each search: `LC_ALL=C grep -c -F` of the same
// absent key on the same file, and the ratio of the two (best runs, wall
// and CPU time).
#include <benchmark/benchmark.h>

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
    // The Esc test asks the window system, as in the program.
    fw::initForTests();
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
// grep's best for `grepKey`, as wall and as CPU time.
template <class Scan>
void againstGrep(benchmark::State& state, const fw::Str& grepKey, Scan scan) {
  BigHistory& h = bigHistory();
  const Times grep = h.grepTimes(grepKey);
  Times best{1e9, 1e9};
  for (auto _ : state) {
    const auto start = Clock::now();
    const double cpuBefore = threadCpuMs();
    scan();
    best.wallMs = std::min(best.wallMs, msSince(start));
    best.cpuMs = std::min(best.cpuMs, threadCpuMs() - cpuBefore);
  }
  state.counters["ms"] = best.wallMs;
  state.counters["grep_ms"] = grep.wallMs;
  state.counters["ratio"] = grep.wallMs > 0 ? best.wallMs / grep.wallMs : 0;
  state.counters["cpu_ms"] = best.cpuMs;
  state.counters["grep_cpu_ms"] = grep.cpuMs;
  state.counters["cpu_ratio"] = grep.cpuMs > 0 ? best.cpuMs / grep.cpuMs : 0;
}

void searchNotFound(benchmark::State& state, history::SearchKind kind, const fw::Str& answer,
                    const fw::Str& grepKey) {
  const history::Matcher matcher(kind, history::searchKey(kind, answer));
  againstGrep(state, grepKey, [&] {
    const history::Found found = history::findNewest(matcher, escapeHeld);
    if (found.entry != 0) state.SkipWithError("the absent key was found");
  });
}

void BM_NameSearchNotFound(benchmark::State& state) {
  searchNotFound(state, history::SearchKind::Name, "存在しない人"_sj, "存在しない人"_sj);
}
BENCHMARK(BM_NameSearchNotFound)->Unit(benchmark::kMillisecond)->MinTime(2);

// A name that shares its first character with many stored names.
void BM_NameSearchNotFoundCommonStart(benchmark::State& state) {
  searchNotFound(state, history::SearchKind::Name, "山田　存在"_sj, "山田　存在"_sj);
}
BENCHMARK(BM_NameSearchNotFoundCommonStart)->Unit(benchmark::kMillisecond)->MinTime(2);

// A key of letters only: every narrow or wide a could start it.
void BM_NameSearchNotFoundLetters(benchmark::State& state) {
  searchNotFound(state, history::SearchKind::Name, "Hanakox", "Hanakox");
}
BENCHMARK(BM_NameSearchNotFoundLetters)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_NumberSearchNotFound(benchmark::State& state) {
  searchNotFound(state, history::SearchKind::Number, "９９９９９９９"_sj, "9999999");
}
BENCHMARK(BM_NumberSearchNotFound)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_ChartNumberSearchNotFound(benchmark::State& state) {
  searchNotFound(state, history::SearchKind::ChartNumber, "3", "0000000003");
}
BENCHMARK(BM_ChartNumberSearchNotFound)->Unit(benchmark::kMillisecond)->MinTime(2);

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
