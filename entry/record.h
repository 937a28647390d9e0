// The examinee record as the main window's controls hold it.
#pragma once

#include "entry/main_window_interface.h"

namespace entry {

// readFromMainWindow: see main_window_interface.h.
// Writes the stored values into the controls unchanged (no commit rules);
// the caller sets EDIT_COUNT.
void writeToMainWindow(const ExamineeRecord& record);
// Writes only the text fields into their boxes, unchanged: every one, or
// without `withClinical` those of the attribute record (EXAM_NO … HOSPITAL).
void writeTextsToMainWindow(const ExamineeRecord& record, bool withClinical);

}  // namespace entry
