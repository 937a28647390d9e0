// The print preview of FT-70 charts: the chart as the next print would put
// it on the default printer's paper, drawn by the print's own procedure.
// Reached from the main window (the examinee shown) and from FORM8 (the
// selected entries, a page each) through the windows' right-click menus and
// a shortcut; its print button starts that window's own print.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "common/examinee_record.h"
#include "framework/form/page_preview.h"
#include "printing/chart_layout.h"

namespace printing {

inline constexpr const char* kPreviewShortcut = "Ctrl+F2";

// One page of a preview: an examinee, and whether the clinical half of the
// chart is drawn (an entry without its clinical record prints without it).
struct PreviewSheet {
  PreviewSheet(common::ExamineeRecord r, bool clinical = true)
      : record(std::move(r)), withClinical(clinical) {}
  common::ExamineeRecord record;
  bool withClinical;
};

// The preview of one page per sheet, with the current correction table,
// print font and colour and the default printer's page offset.
// `print`: what the preview's print button starts (empty: no button).
fw::PagePreview chartPreview(const std::vector<PreviewSheet>& sheets,
                             std::function<void()> print);

// The main window's preview (procedure INSATU_MIHON) and FORM8's
// (INSATU_MIHON2). Neither writes a file or changes a window.
void INSATU_MIHON();
void INSATU_MIHON2();

// Puts the preview (with its shortcut) and the PDF copy switch on the main
// window's right-click menu, outside its click areas; FORM8 gets its own
// preview when it opens.
void addMainWindowCommands();
void addMultiplePrintCommands();

void registerPreviewProcedures();

}  // namespace printing
