// The operator's switch for PDF copies of printed charts, on the main
// window's right-click menu: it says whether copies are kept and where, and
// asks whether to keep them from now on. The answer goes to EKG_SYS\PDF_HOZON
// ("1" or "0"), only when it changes something.
#pragma once

#include "framework/core/str.h"

namespace printing {

// The menu caption (CP932).
fw::Str pdfSwitchCaption();

// Procedure PDF_HOZON_SETTEI.
void PDF_HOZON_SETTEI();

void registerPdfSwitchProcedure();

}  // namespace printing
