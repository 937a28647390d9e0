// The sheets of a multiple print: one chart per stored entry.
#include <optional>

#include "common/history_format.h"
#include "framework/form/events.h"
#include "framework/form/trap.h"
#include "history/store/store.h"
#include "printing/multiple_print.h"

namespace printing {

namespace {


}  // namespace

SheetsOutcome printSheets(SheetOutput& output, const std::vector<long>& entries,
                          const CorrectionTable& corrections, const PrintOptions& options,
                          const std::function<bool()>& escHeld, PdfCopies* copies) {
  SheetsOutcome outcome;
  ChartDrawing attributeHalf;
  attributeHalf.firstItem = 1;
  attributeHalf.lastItem = kLastAttributeItem;
  attributeHalf.checkpoints = multiplePrintCheckpoints();
  attributeHalf.escHeld = escHeld;
  ChartDrawing clinicalHalf = attributeHalf;
  clinicalHalf.firstItem = kLastAttributeItem + 1;
  clinicalHalf.lastItem = kChartItemCount;

  for (const long n : entries) {
    fw::resumeNext([] { fw::doEvents(); });
    bool held = false;
    if (escHeld) fw::resumeNext([&] { held = escHeld(); });
    if (held) {
      outcome.stoppedByEsc = true;
      return outcome;
    }

    std::optional<history::Entry> entry;
    fw::resumeNext([&] { entry = history::readEntry(n); });
    if (!entry) {
      // The files changed since the list was filled: no sheet for a number
      // that now means nothing (or someone else).
      outcome.missing.push_back(n);
      continue;
    }
    const common::ExamineeRecord record = common::examineeOf(entry->attributes, entry->clinical);

    fw::resumeNext([&] { output.startPage(); });
    ++outcome.sheetsStarted;
    outcome.pageOpen = true;
    ChartResult drawn = ChartResult::Completed;
    fw::resumeNext(
        [&] { drawn = drawChart(output.surface, record, corrections, options, attributeHalf); });
    if (drawn == ChartResult::Completed && entry->clinicalStored) {
      fw::resumeNext(
          [&] { drawn = drawChart(output.surface, record, corrections, options, clinicalHalf); });
    }
    if (drawn == ChartResult::StoppedByEsc) {
      outcome.stoppedByEsc = true;
      return outcome;
    }
    fw::resumeNext([&] { output.endPage(); });
    outcome.pageOpen = false;
    if (copies) {
      // The same two halves as the paper, without the Esc test: that sheet
      // is done.
      const bool withClinical = entry->clinicalStored;
      fw::resumeNext([&] {
        copies->sheet(n, record.EXAM_NO, [&](fw::Surface& s) {
          ChartDrawing half;
          half.lastItem = kLastAttributeItem;
          drawChart(s, record, corrections, options, half);
          if (!withClinical) return;
          half.firstItem = kLastAttributeItem + 1;
          half.lastItem = kChartItemCount;
          drawChart(s, record, corrections, options, half);
        });
      });
    }
  }
  return outcome;
}

}  // namespace printing
