// The main window as the other windows use it: the examinee it shows, its
// changed-data counter and opened entry, clearing and restarting it, its
// doctor picker and the option words drawn on it. The rest of entry/ is the
// main window's own; masters/, printing/ and history/ include only this.
#pragma once

#include <cstdint>

#include "common/examinee_record.h"
#include "framework/core/str.h"

namespace entry {

using common::ExamineeRecord;

// Changed-data counter of the main window: every commit or choice adds 1;
// registration, loading an entry and clearing set it to 0.
extern int32_t EDIT_COUNT;
// Entry number of the history entry opened into the main window; "" when none.
extern fw::Str CURRENT_ENTRY;

// Reads every field from the main window's controls, text fields trimmed.
ExamineeRecord readFromMainWindow();

// What showRecord writes into the (cleared) main window.
enum class RecordPart {
  // An opened history entry: every field in the order of the record, its
  // boxes ticked with bold captions and their marks drawn as the boxes' own
  // handlers would draw them, without running those handlers.
  Everything,
  // The same for an entry without its clinical record: the attribute fields
  // (EXAM_NO … REQUEST_KIND, HOSPITAL) only.
  AttributesOnly,
  // A search result: EXAM_NO, CHART_NO, NAME, the birth date and the sex
  // boxes (1 male, 2 female, else untouched), without captions or marks.
  SearchAttributes,
};
// Writes `record` into the main window as `part` says; EDIT_COUNT is left
// to the caller.
void showRecord(const ExamineeRecord& record, RecordPart part);

// Sets every field of the main window to its default and repaints the option
// marks: texts empty, check boxes clear, REQUEST_KIND 0, the hospital name
// when CHECK12 is ticked, the default doctor when HOKENNI_DF names one.
// Leaves EDIT_COUNT and CHECK12 alone.
void ZENBU_KESU();
// HOSPITAL becomes the stored default hospital name when CHECK12 is ticked
// (unchanged when none is stored); DOCTOR becomes the default doctor of the
// doctor list, or blank when there is none. Run after ZENBU_KESU by
// everything that clears the window for a new examinee.
void applyClearingDefaults();
// MAINFORM_START: paints the picture and marks, reads the print options, the
// hospital default, the older doctor default and the doctor list with its
// default. Repeatable: registration runs it again after clearing.
void MAINFORM_START();

// When EKG_SYS\HOKENNI exists: empties COMBO3 and fills it with " " as item 0
// followed by the entries. Returns false (COMBO3 untouched) when it does not.
bool fillDoctorPicker();

// Whether the main-window point (x, y) lies on one of the drawn option words
// that a click toggles.
bool onOptionWord(double x, double y);

}  // namespace entry
