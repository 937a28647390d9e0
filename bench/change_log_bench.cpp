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

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

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

// Registrations with and without the log in turns, so that the disk's
// changing load (other programs on the machine) falls on both alike; the
// medians of each and of the difference of each pair.
void BM_LoggedRegistrationAdds(benchmark::State& state) {
  Folder folder;
  prepare(1000);
  std::vector<double> logged, plain, added;
  long i = 1000;
  auto timed = [&](bool withLog) {
    history::changelog::setLoggingForBenchmark(withLog);
    const auto start = std::chrono::steady_clock::now();
    registerOne(++i);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    history::changelog::setLoggingForBenchmark(true);
    return took.count();
  };
  for (auto _ : state) {
    plain.push_back(timed(false));
    logged.push_back(timed(true));
    added.push_back(logged.back() - plain.back());
  }
  auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
  };
  state.counters["plain_ms"] = median(plain);
  state.counters["logged_ms"] = median(logged);
  state.counters["added_ms"] = median(added);
}
BENCHMARK(BM_LoggedRegistrationAdds)->Iterations(500)->Unit(benchmark::kMillisecond);

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
