// The searches of the main window (番号で検索, カルテ番号で検索, 氏名で検索):
// the personal attributes of the newest live entry that matches are copied
// into the cleared main window, ready for a new registration.
//
// Once the operator has confirmed, the window is cleared and CURRENT_ENTRY
// blanked whatever happens next; the clearing defaults (hospital, doctor)
// are applied at the end. Only EXAM_NO, CHART_NO, NAME, the birth date and
// the sex boxes are copied, the boxes without bold captions or marks.
#pragma once

namespace history {

void BUTTON7_ON();
void BUTTON28_ON();
void BUTTON35_ON();

void registerAttributeSearchProcedures();

}  // namespace history
