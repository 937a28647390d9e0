// A full newest-first scan of a ten-year history (200 000 entries, a 400 MB
// attribute file), next to grep reading the same file for a name that does
// not occur: the scan should cost no more than half of grep's pass.
//
//   history_scan_bench [--entries=N] [google benchmark flags]
//
// Prints both times, their ratio and the peak resident memory of the
// process. The file is written to a temporary directory and removed after.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "common/history_format.h"
#include "framework/core/str.h"
#include "history/store/store.h"

using namespace fw::literals;
namespace fs = std::filesystem;

namespace {

long gEntries = 200000;
fs::path gDir;
const char* const kAbsentName = "Absent-Name-0000";
long gLiveSeen = 0;

// Family and given names in CP932, combined so that names vary in length
// and bytes as a clinic's would.
void writeHistory(long entries) {
  const fw::Str families[] = {"山田"_sj, "佐藤"_sj, "鈴木"_sj, "高橋"_sj, "田中"_sj,
                              "伊藤"_sj, "渡辺"_sj, "中村"_sj, "小林"_sj, "加藤"_sj,
                              "ヤマモト"_sj, "Smith"};
  const fw::Str givens[] = {"太郎"_sj, "花子"_sj, "一郎"_sj, "美咲"_sj, "健"_sj,
                            "さくら"_sj, "翔太"_sj, "John"};
  std::ofstream attributes(gDir / "EKG_DATA" / "EKGDATA_1", std::ios::binary);
  std::uint32_t seed = 12345;
  // The high half: the low bits of this generator repeat with short periods.
  auto next = [&] {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 16;
  };
  for (long i = 1; i <= entries; ++i) {
    common::ExamineeRecord r;
    r.EXAM_NO = std::to_string(i);
    r.NAME = families[next() % 12] + "　"_sj + givens[next() % 8] + std::to_string(next() % 1000);
    r.CHART_NO = std::to_string(1000000000 + next() % 1000000);
    r.EXAM_YEAR = "令和6"_sj;
    r.HOSPITAL = "さくら医院"_sj;
    r.SEX_MALE = i % 2;
    r.SEX_FEMALE = 1 - i % 2;
    r.REQUEST_KIND = static_cast<int>(next() % 17);
    common::AttributeValues a = common::attributesOf(r, "2024/05/07");
    if (next() % 50 == 0) a[common::AttributeField::DeletionMark] = "del";  // about 2 %
    const fw::Str bytes = common::encode(a);
    attributes.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
}

// What a search by name does: every live entry's name against the one
// looked for, until the oldest.
void BM_ScanNewestFirst(benchmark::State& state) {
  const std::string_view wanted = kAbsentName;
  long live = 0, matches = 0;
  for (auto _ : state) {
    live = matches = 0;
    history::scanNewestFirst(history::Scan::Live, [&](long, const history::RecordView& record) {
      ++live;
      const std::string_view name = record.raw(common::AttributeField::Name);
      if (name.substr(0, wanted.size()) == wanted) ++matches;
      return true;
    });
  }
  gLiveSeen = live;
  if (matches != 0) state.SkipWithError("the absent name was found");
}
BENCHMARK(BM_ScanNewestFirst)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// The same with the name trimmed into a text of its own, as a caller that
// asks for the field rather than its bytes does.
void BM_ScanNewestFirstTrimmedName(benchmark::State& state) {
  long matches = 0;
  for (auto _ : state) {
    matches = 0;
    history::scanNewestFirst(history::Scan::Live, [&](long, const history::RecordView& record) {
      if (record.field(common::AttributeField::Name) == kAbsentName) ++matches;
      return true;
    });
  }
  if (matches != 0) state.SkipWithError("the absent name was found");
}
BENCHMARK(BM_ScanNewestFirstTrimmedName)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

void BM_GrepAbsentName(benchmark::State& state) {
  const std::string command = std::string("LC_ALL=C grep -c -F '") + kAbsentName + "' " +
                              (gDir / "EKG_DATA" / "EKGDATA_1").string() + " >/dev/null";
  for (auto _ : state) {
    // grep exits 1 when nothing matched, which is what is wanted here.
    const int status = std::system(command.c_str());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 1) state.SkipWithError("grep failed");
  }
}
BENCHMARK(BM_GrepAbsentName)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// Keeps each benchmark's real time per iteration for the summary.
class Summary : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
        millisecondsOf[run.run_name.function_name] =
            run.real_accumulated_time * 1000.0 / static_cast<double>(run.iterations);
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> millisecondsOf;
};

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--entries=", 10) == 0) gEntries = std::atol(argv[i] + 10);
  }
  benchmark::Initialize(&argc, argv);

  std::string dirTemplate = fs::temp_directory_path() / "tessivo-scan-bench-XXXXXX";
  if (!mkdtemp(dirTemplate.data())) return 1;
  gDir = dirTemplate;
  fs::create_directories(gDir / "EKG_DATA");
  const auto writeStart = std::chrono::steady_clock::now();
  writeHistory(gEntries);
  const double writeSeconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - writeStart).count();
  std::printf("history: %ld entries, %.0f MB, written in %.1f s\n", gEntries,
              static_cast<double>(fs::file_size(gDir / "EKG_DATA" / "EKGDATA_1")) / 1e6,
              writeSeconds);
  fs::current_path(gDir);

  // Both readers start from a warm cache.
  std::system(("cat " + (gDir / "EKG_DATA" / "EKGDATA_1").string() + " >/dev/null").c_str());

  Summary summary;
  benchmark::RunSpecifiedBenchmarks(&summary);

  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  const double scan = summary.millisecondsOf["BM_ScanNewestFirst"];
  const double trimmed = summary.millisecondsOf["BM_ScanNewestFirstTrimmedName"];
  const double grep = summary.millisecondsOf["BM_GrepAbsentName"];
  if (scan > 0 && grep > 0) {
    std::printf("\nscan %.1f ms, grep %.1f ms: scan / grep = %.2f (target <= 0.5)\n", scan, grep,
                scan / grep);
    if (trimmed > 0)
      std::printf("scan with trimmed names %.1f ms: %.2f x grep\n", trimmed, trimmed / grep);
  }
  std::printf("live entries seen by the scan: %ld of %ld\n", gLiveSeen, gEntries);
  std::printf("peak resident memory of this process: %.1f MB (target < 60)\n",
              static_cast<double>(usage.ru_maxrss) / 1024.0);

  fs::current_path("/");
  fs::remove_all(gDir);
  benchmark::Shutdown();
  return 0;
}
