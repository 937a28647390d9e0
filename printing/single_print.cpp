// "単票印刷": one FT-70 chart of the examinee shown in the main window.
#include "entry/main_window_interface.h"
#include "common/print_options.h"
#include "common/print_texts.h"
#include "framework/core/error.h"
#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/print_run.h"
#include "framework/form/printer.h"
#include "framework/form/trap.h"
#include "framework/form/window.h"
#include "printing/chart_layout.h"
#include "printing/pdf_copy.h"
#include "framework/core/numbers.h"
#include "common/correction_file.h"
#include "printing/procedures.h"

namespace printing {

using namespace fw::literals;

void BUTTON10_ON() {
  // Every statement below is skipped on a runtime error and the print goes on;
  // the defaults of the values they fill decide what a skipped one means.
  const fw::Str title = "単票印刷"_sj;

  int answer = fw::mb::ResNo;
  fw::resumeNext([&] {
    answer = fw::messageBox(nullptr, title,
                            "現在表示されている受診者の「心電図カルテ(FT-70)」を印刷します。 "_sj +
                                fw::CRLF + fw::CRLF + "よろしいですか？   "_sj,
                            fw::mb::YesNo, fw::mb::Question);
  });
  if (answer != fw::mb::ResYes) return;

  CorrectionTable corrections;
  fw::resumeNext([&] { corrections = common::readCorrections(); });

  fw::Str name;
  fw::resumeNext([&] { name = fw::trim(fw::ctl("EDIT8").text()); });
  if (name.empty()) {
    fw::resumeNext([&] {
      fw::messageBox(nullptr, title, "氏名が入力されていません。　確認して下さい。"_sj,
                     fw::mb::OK, fw::mb::Information);
    });
    return;
  }

  fw::resumeNext([&] { fw::mainWindow().setEnabled(false); });
  fw::resumeNext([&] { fw::mainWindow().setTopMost(false); });

  PdfCopies copies;
  fw::PrintRun run;
  run.choose("", fw::kPaperA4, fw::kLandscape);
  if (run.dialog()) {
    fw::resumeNext([&] { fw::mainWindow().setMousePointer(fw::pointer::Hourglass); });
    run.startDocument(common::text::kPrintDocumentName);
    run.newPage();
    fw::resumeNext([&] { run.printer().setScaleMode(kChartScaleMode); });

    common::ExamineeRecord record;
    fw::resumeNext([&] { record = entry::readFromMainWindow(); });
    ChartDrawing drawing;
    drawing.checkpoints = singlePrintCheckpoints();
    drawing.escHeld = [] { return fw::keyDown(fw::kVkEscape); };
    const PrintOptions options = chartOptionsFor(run.queueName());
    ChartResult result = ChartResult::Completed;
    fw::resumeNext([&] { result = drawChart(run.printer(), record, corrections, options, drawing); });
    if (result == ChartResult::StoppedByEsc) {
      fw::resumeNext([] { fw::beep(); });
      fw::resumeNext([] { fw::mainWindow().setMousePointer(fw::pointer::Arrow); });
    }

    run.endPage();
    run.endDocument();
    run.release();
    if (result == ChartResult::Completed) {
      const ChartDrawing whole;  // the paper sheet is done: no Esc here
      fw::resumeNext([&] {
        copies.sheet(static_cast<long>(fw::val(entry::CURRENT_ENTRY)), record.EXAM_NO,
                     [&](fw::Surface& s) { drawChart(s, record, corrections, options, whole); });
      });
    }
  }

  // Only the program's own printer object goes back to portrait; the
  // system's printer settings are never touched.
  run.choose("", fw::kPaperA4, fw::kPortrait);
  fw::resumeNext([] { fw::mainWindow().setEnabled(true); });
  fw::resumeNext([] { fw::mainWindow().activate(); });
  fw::resumeNext([] { fw::mainWindow().setTopMost(true); });
  fw::resumeNext([] { fw::mainWindow().setMousePointer(fw::pointer::Arrow); });
  if (run.lost()) {
    fw::resumeNext([&] {
      fw::messageBox(nullptr, title, common::text::kJobNotDelivered, fw::mb::OK,
                     fw::mb::Information);
    });
  }
  copies.tellFailure(nullptr, title);
}

}  // namespace printing
