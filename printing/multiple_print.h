// "複数印刷": the multiple-print window FORM8 lists the newest live history
// entries; the operator selects some and prints one FT-70 chart per entry,
// all in one print job.
#pragma once

#include <functional>
#include <vector>

#include "common/correction_file.h"
#include "framework/form/surface.h"
#include "framework/form/window.h"
#include "printing/chart_layout.h"
#include "printing/pdf_copy.h"

namespace printing {

// FORM8 while it is open (empty otherwise).
extern fw::FormRef FORM8;

// Registers BUTTON38_ON (main window) and the procedures of FORM8.
void registerMultiplePrintProcedures();

// FORM8's print button (BUTTON40_ON): the selected entries' charts, after
// the question and the print dialog.
void printSelectedCharts();

// Empties LIST3 and fills it with the newest live entries, at most the
// chosen list size, one line per entry (common/list_line.h, with 15 blanks
// after the entry number). Esc held down stops the filling with a beep; the
// lines added so far stay.
void RIREKI_HYOUJI2();

// Where the sheets go: a surface already in the chart unit, and how a
// sheet's page is opened and closed on it.
struct SheetOutput {
  fw::Surface& surface;
  std::function<void()> startPage;
  std::function<void()> endPage;
};

struct SheetsOutcome {
  int sheetsStarted = 0;
  bool stoppedByEsc = false;
  bool pageOpen = false;          // stopped in the middle of a sheet
  std::vector<long> missing;      // entry numbers no longer in the files, in order
};

// One sheet per entry number, in the order given: items 1..20 from the
// attribute record and 21..34 from the clinical record of the entry (the
// clinical half is left out when the clinical file has no record n). An
// entry number the attribute file no longer holds gets no sheet and is
// listed in `missing`. Before each entry pending window messages are
// processed and escHeld() is asked; the chart drawing asks it at its own
// checkpoints. A stop returns at once: the caller beeps, ends the page in
// progress and the document. Every drawing step is skipped when it raises.
// Each finished sheet also goes to `copies` when given (pdf_copy.h).
SheetsOutcome printSheets(SheetOutput& output, const std::vector<long>& entries,
                          const CorrectionTable& corrections, const PrintOptions& options,
                          const std::function<bool()>& escHeld,
                          PdfCopies* copies = nullptr);

}  // namespace printing
