// "印 刷" of the history window (FORM2): a range of the lines LIST1 shows,
// printed as a paper list on A4 landscape, in twips (1/1440 inch).
#pragma once

#include <functional>
#include <vector>

#include "framework/core/str.h"
#include "framework/form/surface.h"
#include "history/store/list_lines.h"

namespace history {

// Registers BUTTON34_ON; called by registerProcedures().
void registerListPrintProcedures();

// Checks the range chosen in COMBO4 and COMBO5, then prints those lines of
// LIST1 with FORM2 disabled. Every failing statement is skipped; a job that
// never reached the spooler is reported afterwards.
void BUTTON34_ON();

inline constexpr int kListPrintScaleMode = fw::scale::Twips;
inline constexpr int kListLinesPerPage = 40;
inline constexpr int kMostListLinesPrinted = 300;

enum class ListPrintResult { Completed, StoppedByEsc };

// Draws list lines first..last (line numbers from 1; lines[i - 1] is line
// i, and last <= lines.size()) onto pages already in twips: the page head
// (title, page number, column header of `column`, rule) on every page, then
// the lines at y = 560 + 260 × j, a page ending after every line whose
// number is a multiple of 40. nextPage() ends the page and opens the next
// one; it is never called after the last line, so no page carries a head
// alone. escHeld() is asked before the first page head and around every
// line; when it answers true the drawing returns at once. Every drawing
// statement that raises is skipped.
ListPrintResult drawListPages(fw::Surface& page, const std::vector<fw::Str>& lines, int first,
                              int last, Column column, const std::function<void()>& nextPage,
                              const std::function<bool()>& escHeld);

}  // namespace history
