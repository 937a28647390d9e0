#include "framework/form/internal/print_device.h"

#include <QPageLayout>
#include <QString>

#include "framework/form/printer.h"

namespace fw::internal {

namespace {
std::string& pdfPath() {
  static std::string path;
  return path;
}
int& pdfDotsPerInch() {
  static int dpi = 0;
  return dpi;
}
}  // namespace

std::optional<QPageSize::PageSizeId> pageSizeOfPaperNumber(int paper) {
  // The printer driver paper numbers of the system the forms were written for.
  switch (paper) {
    case 1: case 2: return QPageSize::Letter;
    case 3: return QPageSize::Tabloid;
    case 4: return QPageSize::Ledger;
    case 5: return QPageSize::Legal;
    case 7: return QPageSize::Executive;
    case 8: return QPageSize::A3;
    case 9: case 10: return QPageSize::A4;
    case 11: return QPageSize::A5;
    case 12: return QPageSize::JisB4;
    case 13: return QPageSize::JisB5;
    case 70: return QPageSize::A6;
    default: return std::nullopt;
  }
}

std::unique_ptr<QPrinter> makePrintDevice(const std::string& queueUtf8) {
  auto device = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (!pdfPath().empty()) {
    device->setOutputFormat(QPrinter::PdfFormat);
    device->setOutputFileName(QString::fromStdString(pdfPath()));
    if (pdfDotsPerInch() > 0) device->setResolution(pdfDotsPerInch());
  } else if (!queueUtf8.empty()) {
    device->setPrinterName(QString::fromStdString(queueUtf8));
  }
  // Margins are read in the page's orientation by applyPaper(); the printer
  // places the origin on the first printable dot itself.
  device->setFullPage(false);
  device->setColorMode(QPrinter::Color);
  return device;
}

std::unique_ptr<QPrinter> makePdfDevice(const std::string& pathUtf8) {
  auto device = std::make_unique<QPrinter>(QPrinter::HighResolution);
  device->setOutputFormat(QPrinter::PdfFormat);
  device->setOutputFileName(QString::fromStdString(pathUtf8));
  if (pdfDotsPerInch() > 0) device->setResolution(pdfDotsPerInch());
  device->setFullPage(false);
  device->setColorMode(QPrinter::Color);
  return device;
}

QMarginsF landscapeMargins(const QMarginsF& portrait) {
  // The spooler lays a landscape page onto the sheet turned a quarter
  // counter-clockwise: the page's top edge runs along the sheet's left edge.
  return QMarginsF(portrait.bottom(), portrait.left(), portrait.top(), portrait.right());
}

QMarginsF applyPaper(QPrinter& device, int paper, int orientation) {
  const bool landscape =
      orientation == kLandscape ||
      (orientation == 0 && device.pageLayout().orientation() == QPageLayout::Landscape);
  // Size first, in portrait: the device then reports the printable margins
  // of the sheet as it is fed.
  device.setFullPage(false);
  device.setPageOrientation(QPageLayout::Portrait);
  if (auto id = pageSizeOfPaperNumber(paper)) device.setPageSize(QPageSize(*id));
  const QMarginsF sheet = device.pageLayout().margins(QPageLayout::Point);
  if (!landscape) return sheet;
  device.setPageOrientation(QPageLayout::Landscape);
  // Qt keeps the sheet's margins unturned on a landscape page (and refuses
  // turned ones as below its minimum), which would put the origin into the
  // unprintable strip of a printer with unequal margins.
  return landscapeMargins(sheet);
}

const std::string& pdfOutputPath() { return pdfPath(); }

void setPdfResolution(int dotsPerInch) { pdfDotsPerInch() = dotsPerInch; }

}  // namespace fw::internal

namespace fw {
void setPdfOutput(const std::string& path) { internal::pdfPath() = path; }
}  // namespace fw
