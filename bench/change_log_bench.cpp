// What the change log costs: the time a logged registration adds to one
// without the log (both flush the history to disk; the log adds its own
// line and flush), and how much the log grows per 1000 registrations,
// overwrites and deletions.
//
//   change_log_bench [google benchmark flags]
//
// Works in a temporary directory on the disk of the system's temporary
// folder (TMPDIR), with a history of 1000 entries written first.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/history_format.h"
#include "framework/core/files.h"
#include "history/store/change_log.h"
#include "history/store/store.h"

namespace fs = std::filesystem;

namespace {

struct Folder {
  Folder() {
    std::string pattern = (fs::temp_directory_path() / "tessivo-log-bench-XXXXXX").string();
    path = mkdtemp(pattern.data());
    previous = fs::current_path();
    fs::current_path(path);
    fs::create_directory("EKG_DATA");
  }
  ~Folder() {
    fs::current_path(previous);
    fs::remove_all(path);
  }
  fs::path path, previous;
};

common::ExamineeRecord examinee(long i) {
  common::ExamineeRecord r;
  r.EXAM_NO = std::to_string(i);
  r.NAME = "Yamada Taro " + std::to_string(i);
  r.CHART_NO = std::to_string(1000000000 + i);
  r.HOSPITAL = "Sakura";
  r.DOCTOR = "Dr. Suzuki";
  r.MEMO = "memo " + std::to_string(i);
  r.ECG_REST = 1;
  return r;
}

long registerOne(long i) {
  const common::ExamineeRecord r = examinee(i);
  return history::appendEntry(common::attributesOf(r, "2026/12/09"),
                              common::clinicalOf(r, "2026/12/09"));
}

void prepare(long entries) {
  for (long i = 1; i <= entries; ++i) registerOne(i);
}

void BM_Registration(benchmark::State& state) {
  const bool logged = state.range(0) == 1;
  Folder folder;
  history::changelog::setLoggingForBenchmark(true);
  prepare(1000);
  history::changelog::setLoggingForBenchmark(logged);
  long i = 1000;
  for (auto _ : state) registerOne(++i);
  history::changelog::setLoggingForBenchmark(true);
  state.SetLabel(logged ? "with the change log" : "without the change log");
}
BENCHMARK(BM_Registration)->Arg(0)->Arg(1)->Iterations(500)->Unit(benchmark::kMillisecond);

void BM_LogGrowthPer1000(benchmark::State& state) {
  Folder folder;
  auto logBytes = [] {
    return static_cast<double>(fs::exists("EKG_DATA/EKGDATA_LOG")
                                   ? fs::file_size("EKG_DATA/EKGDATA_LOG")
                                   : 0);
  };
  for (auto _ : state) {
    registerOne(0);  // the log's start line
    const double start = logBytes();
    prepare(1000);
    const double registered = logBytes();
    for (long n = 2; n <= 1001; ++n) {
      const common::ExamineeRecord r = examinee(n + 5000);
      history::overwriteEntry(n, common::attributesOf(r, "2026/12/10"),
                              common::clinicalOf(r, "2026/12/10"));
    }
    const double overwritten = logBytes();
    for (long n = 2; n <= 1001; ++n) history::markDeleted(n);
    const double deleted = logBytes();
    state.counters["register_bytes"] = registered - start;
    state.counters["overwrite_bytes"] = overwritten - registered;
    state.counters["delete_bytes"] = deleted - overwritten;
  }
}
BENCHMARK(BM_LogGrowthPer1000)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
