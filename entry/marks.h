// The drawn picture of the main window and its option marks.
//
// MAINFORM imitates the FT-70 chart on its own picture: headings and option
// words, red rings around the chosen words, red check marks beside the
// Master-test choices, and click areas on the drawn words. The marks are
// decoration only: the check boxes CHECK1..CHECK11, EDIT20 and COMBO2 hold
// the values and nothing reads the picture back.
//
// Every drawing procedure has two forms: one that draws on a given surface
// (tests pass a RecordingSurface) and one without arguments that draws on
// the main window's picture. Coordinates are picture pixels of MAINFORM.
// Afterwards the line width is back at 0 and bold is off.
//
// Callers in the check-box handlers of the main window use them as follows
// (the same sequences the click areas run):
//   CHECK1_ON ticked: AM_PM_KESITEKAKU(); AM_MARU();   cleared: AM_PM_KESITEKAKU();
//   CHECK2_ON ticked: AM_PM_KESITEKAKU(); PM_MARU();   cleared: AM_PM_KESITEKAKU();
//   CHECK3_ON / CHECK4_ON: SEX_KESITEKAKU(); then MAL_MARU() / FEM_MARU()
//   CHECK5_ON / CHECK6_ON: IRAI_KESITEKAKU(); then GAI_MARU() / NYU_MARU()
//   CHECK7_ON ticked: MARU1_KAKU(); MARU2_KESU(); KESITE_KAKU();
//             cleared: MARU1_KESU();
//   CHECK8_ON ticked: MARU2_KAKU(); MARU1_KESU();
//             cleared: KESITE_KAKU(); MARU2_KESU();
//   CHECK9..11_ON ticked: KESITE_KAKU(); MARU1_KESU(); MARU2_KAKU();
//             CHECK_KAKU(Tick::Half / Quarter / Double);
//             cleared: CHECK_KESU(Tick::...); KAKUDAKE();
//   EDIT20 committed non-empty: KESITE_KAKU(); MARU1_KESU(); MARU2_KAKU();
//             CHECK_KAKU(Tick::StressOther);   empty: KESITE_KAKU(); MARU2_KESU();
//   COMBO2_CHANGE index >= 1: CHECK_KAKU(Tick::RequestKind);
//             index 0: CHECK_KESU(Tick::RequestKind);
#pragma once

#include <cstdint>

#include "common/window_look.h"
#include "entry/record.h"
#include "framework/form/surface.h"

namespace entry {

using common::kWindowBackground;

// The whole static picture with empty marks (first step of MAINFORM_START):
// fills the picture with the background, draws the headings, the option
// words and the notes. The no-argument form also sets the memo label
// TEXT140 to ＭＳ ゴシック 22.
void paintInitialPicture(fw::Surface& s);
void paintInitialPicture();

// Redraws every mark from the values in the main window's controls: each
// group's area is repainted and the chosen word ringed, circle １ / ２ and
// the check marks follow CHECK7..CHECK11, EDIT20 and COMBO2. Used after a
// record has been written into the window, and by clearing.
void repaintMarks();
void repaintMarks(fw::Surface& s, const ExamineeRecord& record);

// Registers MAINFORM_MOUSEUP: the click areas on the drawn option words.
void registerMarkProcedures();

// Area repaint procedures: erase the area in the background colour and
// redraw its words in black.
void AM_PM_KESITEKAKU(fw::Surface& s);
void SEX_KESITEKAKU(fw::Surface& s);
void IRAI_KESITEKAKU(fw::Surface& s);
void KESITE_KAKU(fw::Surface& s);   // Master-test area: erase, then KAKUDAKE
void KAKUDAKE(fw::Surface& s);      // Master-test labels only, nothing erased
void AM_PM_KESITEKAKU();
void SEX_KESITEKAKU();
void IRAI_KESITEKAKU();
void KESITE_KAKU();
void KAKUDAKE();

// Red rings around one word.
void AM_MARU(fw::Surface& s);
void PM_MARU(fw::Surface& s);
void MAL_MARU(fw::Surface& s);
void FEM_MARU(fw::Surface& s);
void GAI_MARU(fw::Surface& s);
void NYU_MARU(fw::Surface& s);
void AM_MARU();
void PM_MARU();
void MAL_MARU();
void FEM_MARU();
void GAI_MARU();
void NYU_MARU();

// Circle １ (安静時心電図) and circle ２ (負荷後心電図), drawn or erased.
void MARU1_KAKU(fw::Surface& s);
void MARU1_KESU(fw::Surface& s);
void MARU2_KAKU(fw::Surface& s);
void MARU2_KESU(fw::Surface& s);
void MARU1_KAKU();
void MARU1_KESU();
void MARU2_KAKU();
void MARU2_KESU();

// Red check marks "レ": beside the three Master-test words, beside (その他)
// (STRESS_OTHER) and beside COMBO2 (REQUEST_KIND).
enum class Tick { Half, Quarter, Double, StressOther, RequestKind };
void CHECK_KAKU(fw::Surface& s, Tick tick);
// Erases the check mark. The (その他) mark has no erase box of its own: it
// lies in the Master-test area, so erasing it repaints that area
// (KESITE_KAKU), which is what every caller does anyway.
void CHECK_KESU(fw::Surface& s, Tick tick);
void CHECK_KAKU(Tick tick);
void CHECK_KESU(Tick tick);

// The click areas of MAINFORM_MOUSEUP, in the order they are tried.
enum class ClickArea {
  None, EcgRest, EcgStress, MasterHalf, MasterQuarter, MasterDouble,
  Am, Pm, Male, Female, Outpatient, Inpatient,
};
// The first area containing the point (picture pixels), None outside all.
// The ECG and Master areas exclude their limits, the others include them.
ClickArea clickAreaAt(double x, double y);
// Toggles the area's check box, draws accordingly and adds 1 to EDIT_COUNT
// (MAINFORM_MOUSEUP for a point inside `area`; None does nothing).
void clickOptionArea(ClickArea area);

}  // namespace entry
