// Throughput of the work done per chart and per history record: laying out a
// full chart, printing it into a PDF, trimming and converting values, and
// writing and reading back 2000-byte records.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "entry/record.h"
#include "tests/support/sample_examinee.h"
#include "framework/core/files.h"
#include "framework/core/numbers.h"
#include "framework/core/str.h"
#include "framework/core/strings.h"
#include "framework/form/printer.h"
#include "framework/form/program.h"
#include "framework/form/recording_surface.h"
#include "printing/chart_layout.h"

using namespace fw::literals;

namespace {


void BM_DrawFullChart(benchmark::State& state) {
  const common::ExamineeRecord record = tessivo::test::sampleExaminee();
  const printing::CorrectionTable corrections{};
  const printing::PrintOptions options;
  for (auto _ : state) {
    fw::RecordingSurface page;
    page.setScaleMode(5);
    printing::drawChart(page, record, corrections, options, {});
    benchmark::DoNotOptimize(page.calls.data());
  }
}
BENCHMARK(BM_DrawFullChart);

// A whole chart through the printer, as the single print draws it: PDF
// device, A4 landscape, fonts, rings and the check-mark picture, and the
// PDF written at the end of the document. With TESSIVO_CHART_PDF set, the
// last chart printed is left at that path (to look at it, or at its
// pictures with pdfimages -list).
void BM_PrintFullChartToPdf(benchmark::State& state) {
  if (!fw::initForTests()) {
    state.SkipWithError("no Qt application");
    return;
  }
  std::string dir = (std::filesystem::temp_directory_path() / "tessivo-bench-XXXXXX").string();
  if (!mkdtemp(dir.data())) {
    state.SkipWithError("no temporary directory");
    return;
  }
  const std::string pdf = dir + "/chart.pdf";
  const entry::ExamineeRecord record = tessivo::test::sampleExaminee();
  const printing::CorrectionTable corrections{};
  const printing::PrintOptions options;
  fw::setPdfOutput(pdf);
  for (auto _ : state) {
    fw::Printer printer;
    printer.choose("", fw::kPaperA4, fw::kLandscape);
    fw::PrintRange range;
    printer.dialog(range);
    printer.startDocument("PRINTER");
    printer.newPage();
    printer.setScaleMode(5);
    printing::drawChart(printer, record, corrections, options, {});
    printer.endPage();
    printer.endDocument();
    printer.release();
  }
  fw::setPdfOutput("");
  state.counters["pdf_bytes"] = double(std::filesystem::file_size(pdf));
  if (const char* keep = std::getenv("TESSIVO_CHART_PDF"))
    std::filesystem::copy_file(pdf, keep, std::filesystem::copy_options::overwrite_existing);
  std::filesystem::remove_all(dir);
  fw::resetForTests();
}
BENCHMARK(BM_PrintFullChartToPdf)->Unit(benchmark::kMillisecond);

// Values as they come out of a record: padded with full-width (CP932) and
// half-width blanks on both sides.
void BM_TrimAndConvert(benchmark::State& state) {
  const fw::Str padded = "　　山田　太郎　"_sj + std::string(90, ' ');
  for (auto _ : state) {
    benchmark::DoNotOptimize(fw::trim(padded));
    benchmark::DoNotOptimize(fw::val("  128"));
    benchmark::DoNotOptimize(fw::str(165.5));
  }
}
BENCHMARK(BM_TrimAndConvert);

// One history-sized record written and read back through a numbered file.
void BM_RecordPutGet(benchmark::State& state) {
  // A directory of this run's own: two runs at once do not share the file.
  std::string unique = (std::filesystem::temp_directory_path() / "tessivo-bench-XXXXXX").string();
  if (!mkdtemp(unique.data())) {
    state.SkipWithError("no temporary directory");
    return;
  }
  const std::filesystem::path dir = unique;
  const fw::Str name = (dir / "EKGDATA_1").string();
  std::filesystem::remove(name);
  fw::open(name, fw::FileMode::Record, fw::Share::ReadWrite, 1, 2000);
  fw::FieldVar field;
  fw::field(1, {{2000, &field}});
  long r = 0;
  for (auto _ : state) {
    fw::lset(field, "record");
    fw::put(1, ++r % 500 + 1);
    fw::get(1, r % 500 + 1);
    benchmark::DoNotOptimize(field.value());
  }
  fw::close(1);
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_RecordPutGet);

}  // namespace
