// The examinee record as the main window's controls hold it.
#pragma once

#include "common/examinee_record.h"

namespace entry {

using common::ExamineeRecord;

// Reads every field from the main window's controls, text fields trimmed.
ExamineeRecord readFromMainWindow();
// Writes the stored values into the controls unchanged (no commit rules);
// the caller sets EDIT_COUNT.
void writeToMainWindow(const ExamineeRecord& record);

}  // namespace entry
