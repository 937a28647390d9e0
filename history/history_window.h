// The history window FORM2: the list of history entries, newest first, its
// searches, list size and deleted-entries view, and the way back to the main
// window. Opening and deleting entries (open_delete.cpp) and the list print
// work on what LIST1 shows.
//
// FORM2 is opened by "履 歴" of the main window, which it hides and disables
// while it is open; it cannot be closed from its title bar, only with
// "戻 る" or by opening an entry.
#pragma once

#include "framework/form/surface.h"
#include "history/store/list_lines.h"

namespace history {

// The picture FORM2_START paints: background, title, the number header, the
// "履歴印刷" box and the frame of the print range, every text over its
// light shadow.
void paintHistoryPicture(fw::Surface& s);
// The column headers above LIST1 for the number or the chart-number column;
// refillListHeader wipes the header band (20,70)-(1200,120) first, as every
// listing does.
void drawListHeader(fw::Surface& s, Column column);
void refillListHeader(fw::Surface& s, Column column);

// The full list of live entries, newest first, at most LIST_LIMIT lines:
// with the examination number (RIREKI_HYOUJI stops at a held Esc with a
// beep; BANGOU_HYOUJI does not stop) or the chart number (KARUTE_B_HYOUJI).
// None of them changes LIST_MODE.
void RIREKI_HYOUJI();
void BANGOU_HYOUJI();
void KARUTE_B_HYOUJI();
// The full list of the kind LIST_MODE names: after the files changed under
// a list (a deletion, an entry that could not be read).
void listAgain();

// When LIST1 holds n >= 1 lines: COMBO4 and COMBO5 offer " 1" … " n".
// With an empty list both keep their items.
void refillPrintRange();
// Delete, print and the print range: disabled only in the deleted-entries view.
void enableListControls();
// Closes FORM2 and gives the main window back (enabled and shown).
void closeHistoryWindow();

// The event procedures of FORM2 and BUTTON2_ON of the main window.
void BUTTON2_ON();
void FORM2_START();
void BUTTON18_ON();   // 番号で検索
void BUTTON27_ON();   // カルテ番号で検索
void BUTTON16_ON();   // 氏名で検索
void BUTTON17_ON();   // RESET
void COMBO6_CHANGE();
// The deleted-entries view, for a double click at (x, y) in client pixels.
void deletedEntriesView(double x, double y);
void BUTTON4_ON();    // 戻 る

void registerHistoryWindowProcedures();

// The context menu of LIST1 (csv_menu.cpp): the list as shown or the whole
// history saved as CSV. FORM2_START offers it; LIST1_MENU serves it.
void offerCsvExport();
void registerCsvExportProcedures();

}  // namespace history
