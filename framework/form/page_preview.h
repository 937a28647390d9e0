// A page preview: the pages of a print drawn by the same procedure as on
// paper, onto a picture of the sheet with the printer's printable area
// outlined, at fit-to-window, 100 % and 200 %. The drawing callback gets a
// Surface whose (0, 0) is the printable corner, exactly as a Printer page.
// The window is modeless and owns nothing: closing it leaves no trace. Its
// print button queues the print it was given, served like a button click.
#pragma once

#include <functional>
#include <string>

#include "framework/core/str.h"
#include "framework/form/printer.h"
#include "framework/form/surface.h"

namespace fw {

class Window;

using PageDrawing = std::function<void(Surface& page, int pageIndex)>;

struct PagePreview {
  Str title;                 // window caption (CP932)
  PageGeometry sheet;        // paper and printable area, millimetres
  int pageCount = 1;
  PageDrawing draw;
  Str printCaption;          // the print button's text
  std::function<void()> print;  // what the button queues (empty: no button)
};

enum class PreviewZoom { Fit, Actual, Double };

// Opens the preview over the owner (nullptr = main window). A preview
// already open is replaced.
void showPagePreview(Window* owner, const PagePreview& preview);
bool pagePreviewOpen();
void closePagePreview();

// One page drawn as the preview draws it, at the given resolution, into a
// PNG: paper white, printable area outlined in light grey when `outline`.
bool renderPreviewPage(const PagePreview& preview, int pageIndex, double dotsPerInch,
                       bool outline, const std::string& pngPath);

namespace testing {
// The open preview's controls as the operator uses them.
void setPreviewZoom(PreviewZoom zoom);
void showPreviewPage(int pageIndex);
int previewPageIndex();
void clickPreviewPrint();
bool savePreviewScreenshot(const std::string& pngPath);
}  // namespace testing

}  // namespace fw
