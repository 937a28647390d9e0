// The defaults a cleared main window gets back from the settings files.
#pragma once

namespace entry {

// HOSPITAL becomes the stored default hospital name when CHECK12 is ticked
// (unchanged when none is stored); DOCTOR becomes the default doctor of the
// doctor list, or blank when there is none. Run after ZENBU_KESU by
// everything that clears the window for a new examinee.
void applyClearingDefaults();

}  // namespace entry
