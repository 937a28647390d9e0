#include "printing/chart_preview.h"

#include <optional>

#include "common/correction_file.h"
#include "common/history_format.h"
#include "common/list_line.h"
#include "common/paths.h"
#include "entry/main_window_interface.h"
#include "framework/core/files.h"
#include "framework/core/strings.h"
#include "framework/form/events.h"
#include "framework/form/printer.h"
#include "framework/form/trap.h"
#include "framework/form/window.h"
#include "framework/form/window_commands.h"
#include "history/store/store.h"
#include "printing/multiple_print.h"
#include "printing/procedures.h"
#include "printing/pdf_copy_switch.h"

namespace printing {

using namespace fw::literals;

namespace {

const fw::Str kPreviewCaption = "印刷プレビュー..."_sj;

// Reads the correction table without creating its file: looking at a
// preview must leave the settings folder as it was.
CorrectionTable correctionsForLooking() {
  if (!fw::fileExists(common::files::kCorrections)) return CorrectionTable{};
  CorrectionTable table;
  fw::resumeNext([&] { table = common::readCorrections(); });
  return table;
}

}  // namespace

fw::PagePreview chartPreview(const std::vector<PreviewSheet>& sheets,
                             std::function<void()> print) {
  fw::PagePreview preview;
  preview.title = "印刷プレビュー　心電図カルテ(FT-70)"_sj;
  fw::resumeNext([&] { preview.sheet = fw::pageGeometry("", fw::kPaperA4, fw::kLandscape); });
  const CorrectionTable corrections = correctionsForLooking();
  const PrintOptions options = chartOptionsFor(preview.sheet.queue);
  preview.pageCount = static_cast<int>(sheets.size());
  preview.draw = [sheets, corrections, options](fw::Surface& page, int index) {
    if (index < 0 || index >= static_cast<int>(sheets.size())) return;
    fw::resumeNext([&] { page.setScaleMode(kChartScaleMode); });
    ChartDrawing drawing;
    if (!sheets[index].withClinical) drawing.lastItem = kLastAttributeItem;
    drawChart(page, sheets[index].record, corrections, options, drawing);
  };
  preview.printCaption = "印　刷"_sj;
  preview.print = std::move(print);
  return preview;
}

void INSATU_MIHON() {
  const common::ExamineeRecord record = entry::readFromMainWindow();
  fw::showPagePreview(nullptr, chartPreview({record}, BUTTON10_ON));
}

void INSATU_MIHON2() {
  if (!fw::isOpen(FORM8)) return;
  fw::Control& list = FORM8->control("LIST3");
  std::vector<PreviewSheet> sheets;
  for (int i = 0; i < list.itemCount(); ++i) {
    if (!list.itemSelected(i)) continue;
    const long n = common::entryNumberOfListLine(list.itemText(i));
    std::optional<history::Entry> entry;
    fw::resumeNext([&] { entry = history::readEntry(n); });
    if (entry) {
      sheets.emplace_back(common::examineeOf(entry->attributes, entry->clinical),
                          entry->clinicalStored);
    }
  }
  if (sheets.empty()) return;
  fw::showPagePreview(FORM8.get(), chartPreview(sheets, printSelectedCharts));
}

void addMainWindowCommands() {
  fw::Window& main = fw::mainWindow();
  fw::addWindowCommand(main, kPreviewCaption, kPreviewShortcut, "INSATU_MIHON");
  fw::addWindowCommand(main, pdfSwitchCaption(), "", "PDF_HOZON_SETTEI");
  // A right click on an option word still only ticks it.
  fw::setWindowCommandArea(main, [](int x, int y) {
    return !entry::onOptionWord(x, y);
  });
}

void addMultiplePrintCommands() {
  if (!fw::isOpen(FORM8)) return;
  fw::addWindowCommand(*FORM8, kPreviewCaption, kPreviewShortcut, "INSATU_MIHON2");
}

void registerPreviewProcedures() {
  fw::registerCommandProcedure("INSATU_MIHON", INSATU_MIHON);
  fw::registerCommandProcedure("INSATU_MIHON2", INSATU_MIHON2);
}

}  // namespace printing
