// Setting up the Qt printer device of one print run: paper numbers, output
// to PDF, and the values a test needs to check a page.
#pragma once

#include <QMarginsF>
#include <QPageSize>
#include <QPrinter>
#include <memory>
#include <optional>
#include <string>

namespace fw::internal {

// The page size of a system paper number (9 = A4); std::nullopt for 0 (the
// driver's default) and for numbers without a known size.
std::optional<QPageSize::PageSizeId> pageSizeOfPaperNumber(int paper);

// A printer device for the named queue ("" = the default one), or the PDF
// file of setPdfOutput().
std::unique_ptr<QPrinter> makePrintDevice(const std::string& queueUtf8);
// A device that writes the PDF file `pathUtf8`, whatever setPdfOutput() says.
std::unique_ptr<QPrinter> makePdfDevice(const std::string& pathUtf8);
// Sets paper and orientation unless they are 0 (the driver's default).
// Returns the unprintable margins of the page in points, in the page's
// orientation: (left, top) is where the printable area starts.
QMarginsF applyPaper(QPrinter& device, int paper, int orientation);
// The margins of a landscape page from those of the sheet in portrait.
QMarginsF landscapeMargins(const QMarginsF& portrait);

// Where the PDF goes ("" = the spooler).
const std::string& pdfOutputPath();
// Tests: the resolution of the PDF device (0 = Qt's high resolution), to
// check that a page measures the same at 300, 600 and 1200 dpi.
void setPdfResolution(int dotsPerInch);

}  // namespace fw::internal
