// The whole history as CSV: 20 000 entries (40 MB in each history file)
// written through the export the history window's menu uses, next to the
// same entries exported one by one by number (what the shown-list export
// does for its few hundred lines), to keep the whole-history path on its
// block reads.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/history_format.h"
#include "history/store/csv_export.h"

using namespace fw::literals;
namespace fs = std::filesystem;

namespace {

constexpr long kEntries = 20000;

class HistoryFolder {
 public:
  HistoryFolder() {
    std::string dir = (fs::temp_directory_path() / "tessivo-csv-bench-XXXXXX").string();
    if (!mkdtemp(dir.data())) std::abort();
    dir_ = dir;
    fs::create_directories(dir_ / "EKG_DATA");
    std::ofstream attributes(dir_ / "EKG_DATA" / "EKGDATA_1", std::ios::binary);
    std::ofstream clinical(dir_ / "EKG_DATA" / "EKGDATA_2", std::ios::binary);
    for (long i = 1; i <= kEntries; ++i) {
      common::ExamineeRecord r;
      r.EXAM_NO = std::to_string(i);
      r.NAME = "山田　太郎"_sj + std::to_string(i % 977);
      r.HOSPITAL = "さくら医院"_sj;
      r.DOCTOR = "佐藤"_sj;
      r.MEMO = "メモ, \"引用\""_sj;
      const fw::Str a = common::encode(common::attributesOf(r, "2024/05/07"));
      const fw::Str c = common::encode(common::clinicalOf(r, "2024/05/07"));
      attributes.write(a.data(), static_cast<std::streamsize>(a.size()));
      clinical.write(c.data(), static_cast<std::streamsize>(c.size()));
    }
    previous_ = fs::current_path();
    fs::current_path(dir_);
  }
  ~HistoryFolder() {
    fs::current_path(previous_);
    fs::remove_all(dir_);
  }

 private:
  fs::path dir_;
  fs::path previous_;
};

void BM_WholeHistoryCsv(benchmark::State& state) {
  HistoryFolder folder;
  for (auto _ : state) {
    if (history::writeWholeHistoryCsv("whole.csv") != kEntries) state.SkipWithError("lines lost");
  }
  state.counters["entries_per_s"] = benchmark::Counter(
      static_cast<double>(kEntries), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_WholeHistoryCsv)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_EveryEntryByNumberCsv(benchmark::State& state) {
  HistoryFolder folder;
  std::vector<long> numbers;
  for (long n = 1; n <= kEntries; ++n) numbers.push_back(n);
  for (auto _ : state) {
    if (history::writeHistoryCsv("numbers.csv", numbers) != kEntries)
      state.SkipWithError("lines lost");
  }
  state.counters["entries_per_s"] = benchmark::Counter(
      static_cast<double>(kEntries), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_EveryEntryByNumberCsv)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
