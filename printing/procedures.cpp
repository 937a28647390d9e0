#include "printing/procedures.h"

#include "framework/form/events.h"
#include "printing/chart_preview.h"
#include "printing/multiple_print.h"
#include "printing/pdf_copy_switch.h"
#include "printing/position_window.h"

namespace printing {

void registerProcedures() {
  fw::registerProcedure("BUTTON10_ON", [](fw::EventArgs&) { BUTTON10_ON(); });
  registerMultiplePrintProcedures();
  registerPositionWindowProcedures();
  registerOptionWindowProcedures();
  registerPreviewProcedures();
  registerPdfSwitchProcedure();
}

}  // namespace printing
