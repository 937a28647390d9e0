// The largest multiple print: 2000 selected entries printed to a PDF file
// through FORM8's print button, the same code path as a print on paper.
// Reports the time per sheet and the process's memory as the job goes on:
// it must stay flat, since no page may be kept in memory.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/history_format.h"
#include "tests/support/sample_examinee.h"
#include "common/paths.h"
#include "common/print_options.h"
#include "entry/state.h"
#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/printer.h"
#include "framework/form/program.h"
#include "framework/form/responder.h"
#include "framework/form/testing.h"
#include "framework/form/window.h"
#include "history/store/store.h"
#include "printing/multiple_print.h"
#include "printing/procedures.h"

using namespace fw::literals;

namespace {

constexpr int kLargestList = 2000;
// TESSIVO_BENCH_SHEETS prints fewer sheets (for a profiler run).
int sheetCount() {
  const char* n = std::getenv("TESSIVO_BENCH_SHEETS");
  const int sheets = n ? std::atoi(n) : kLargestList;
  return sheets >= 10 && sheets <= kLargestList ? sheets : kLargestList;
}

double residentMegabytes() {
  long pages = 0, resident = 0;
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double peakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_maxrss) / 1024.0;
}

common::ExamineeRecord fullRecord(int i) {
  common::ExamineeRecord r = tessivo::test::sampleExaminee();
  r.EXAM_NO = std::to_string(100000 + i);
  r.OUTPATIENT = 1;
  return r;
}

void BM_MultiplePrint2000SheetsToPdf(benchmark::State& state) {
  const int kEntries = sheetCount();
  std::string name = std::filesystem::temp_directory_path() / "tessivo-multiple-print-bench-XXXXXX";
  if (!mkdtemp(name.data())) state.SkipWithError("no temporary directory");
  const std::filesystem::path dir = name;
  std::filesystem::create_directories(dir / "EKG_DATA");
  std::filesystem::create_directories(dir / "EKG_SYS");
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir);

  if (!fw::initForTests()) {
    state.SkipWithError("the main window could not be built");
    return;
  }
  fw::unregisterAllProcedures();
  printing::registerProcedures();
  common::PRINT_FONT = "1";
  common::PRINT_COLOUR = "1";
  entry::EDIT_COUNT = 0;
  for (int i = 1; i <= kEntries; ++i) {
    const common::ExamineeRecord r = fullRecord(i);
    history::appendEntry(common::attributesOf(r, "2024/05/07"), common::clinicalOf(r, "2024/05/07"));
  }
  common::writeListSizeIndex(common::files::kPrintListSize, 8);  // 2000 lines
  const std::string pdf = (dir / "charts.pdf").string();
  fw::setPdfOutput(pdf);

  fw::ScriptedResponder answers;
  fw::testing::click(fw::ctl("BUTTON38"));
  fw::waitForEvents();
  fw::Control& list = printing::FORM8->control("LIST3");
  if (list.itemCount() != kEntries) {
    state.SkipWithError("the list does not hold every entry");
    return;
  }

  // The sheet loop looks at Esc at the start of every entry and at the
  // drawing's checkpoints: the memory is sampled there.
  double residentAtTenth = 0, residentAtEnd = 0;
  long looks = 0, looksPerSheet = 0;
  answers.keys = [&](int) {
    ++looks;
    if (looksPerSheet > 0 && looks == looksPerSheet * (kEntries / 10)) residentAtTenth = residentMegabytes();
    if (looksPerSheet > 0 && looks == looksPerSheet * kEntries) residentAtEnd = residentMegabytes();
    return false;
  };
  // One sheet first, to learn how often a sheet looks at Esc.
  list.setItemSelected(0, true);
  answers.messageAnswers = {fw::mb::ResYes};
  answers.printAnswers = {true};
  fw::testing::click(printing::FORM8->control("BUTTON40"));
  fw::waitForEvents();
  looksPerSheet = looks;

  double seconds = 0;
  for (auto _ : state) {
    looks = 0;
    list.setItemSelected(-1, true);
    answers.messageAnswers = {fw::mb::ResYes};
    answers.printAnswers = {true};
    const auto start = std::chrono::steady_clock::now();
    fw::testing::click(printing::FORM8->control("BUTTON40"));
    fw::waitForEvents();
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }

  state.counters["sheets"] = kEntries;
  state.counters["ms_per_sheet"] = seconds * 1000.0 / kEntries;
  state.counters["job_s"] = seconds;
  state.counters["rss_MB_at_tenth"] = residentAtTenth;
  state.counters["rss_MB_at_end"] = residentAtEnd;
  state.counters["peak_rss_MB"] = peakMegabytes();
  state.counters["pdf_MB"] = double(std::filesystem::file_size(pdf)) / (1024.0 * 1024.0);

  fw::setPdfOutput("");
  fw::resetForTests();
  std::filesystem::current_path(previous);
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_MultiplePrint2000SheetsToPdf)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
