#include "framework/form/printer.h"

#include <QPrintDialog>
#include <QMarginsF>
#include <QPrinter>
#include <QPrinterInfo>

#include "framework/core/cp932.h"
#include "framework/core/error.h"
#include "framework/core/files.h"
#include "framework/form/internal/painter_surface.h"
#include "framework/form/internal/print_device.h"
#include "framework/form/responder.h"

namespace fw {

namespace {
constexpr std::size_t kMaxDocumentNameBytes = 31;
constexpr uint32_t kPaperWhite = rgb(255, 255, 255);
}  // namespace

struct Printer::Impl final : internal::PainterSurface {
  Impl() : PainterSurface(kPaperWhite, sj("ＭＳ ゴシック"), 10.0f) {}

  std::unique_ptr<QPrinter> device;  // chosen printer; null before choose / after release
  int paper = 0, orientation = 0;    // as chosen: 0 = the driver's default
  QMarginsF marginsPoints;           // unprintable margins of the page as oriented
  bool confirmed = false;            // the dialog was confirmed: documents may start
  QPainter painter;                  // active from start of document to its end
  int pagesOpened = 0;
  double dotsPerInch = 0;            // the device's real resolution, read once the job runs
  std::string queue;                 // UTF-8 queue name the job goes to

  void requireDocument() const {
    if (!device || !painter.isActive()) raise(err::NoObject);
  }
  void finishDocument() {
    if (painter.isActive()) painter.end();
  }
  // Whether the spooler still knows the chosen queue (a PDF file needs none).
  bool queueReachable() const {
    if (!device || device->outputFormat() != QPrinter::NativeFormat) return true;
    return !QPrinterInfo::printerInfo(device->printerName()).isNull();
  }

 protected:
  QPainter& beginPaint() override {
    requireDocument();
    return painter;
  }
  double dotsPerInchX() const override { return dotsPerInch; }
  double dotsPerInchY() const override { return dotsPerInch; }
  QRectF deviceRect() const override {
    const QSizeF paper = device->pageLayout().fullRectPoints().size();
    const double scale = dotsPerInch / 72.0;
    return QRectF(0, 0,
                  (paper.width() - marginsPoints.left() - marginsPoints.right()) * scale,
                  (paper.height() - marginsPoints.top() - marginsPoints.bottom()) * scale);
  }
  // (0, 0) is the first printable dot: positions are measured from the
  // printable area, not from the paper's edge.
  QPointF deviceOrigin() const override {
    return QPointF(marginsPoints.left(), marginsPoints.top()) * (dotsPerInch / 72.0);
  }
  bool smoothEdges() const override { return true; }

  friend class fw::Printer;
};

Printer::Printer() : impl_(std::make_unique<Impl>()) {}

Printer::~Printer() {
  // An object dropped in the middle of a job still delivers what was drawn.
  impl_->finishDocument();
}

void Printer::choose(const Str& printerName, int paper, int orientation) {
  if (paper < 0 || orientation < 0 || orientation > 2) raise(err::InvalidArgument);
  impl_->finishDocument();
  impl_->device = internal::makePrintDevice(toUtf8(printerName));
  impl_->paper = paper;
  impl_->orientation = orientation;
  impl_->confirmed = false;
  impl_->resetAttributes(kPaperWhite);
  impl_->marginsPoints = internal::applyPaper(*impl_->device, paper, orientation);
  impl_->queue = impl_->device->printerName().toStdString();
}

void Printer::chooseFile(const Str& name, int paper, int orientation) {
  if (paper < 0 || orientation < 0 || orientation > 2) raise(err::InvalidArgument);
  impl_->finishDocument();
  impl_->device = internal::makePdfDevice(osPath(name));
  impl_->paper = paper;
  impl_->orientation = orientation;
  impl_->resetAttributes(kPaperWhite);
  impl_->marginsPoints = internal::applyPaper(*impl_->device, paper, orientation);
  impl_->confirmed = true;
}

bool Printer::dialog(PrintRange& range) {
  if (!impl_->device) choose(Str(), 0, 0);
  QPrinter& device = *impl_->device;
  const bool toPdf = !internal::pdfOutputPath().empty();
  bool confirmed = false;
  if (Responder* answers = responder(); answers && answers->printDialog) {
    PrintDialogRequest request;
    request.printerName = device.printerName().toStdString();
    request.copies = device.copyCount();
    confirmed = answers->printDialog(request);
    if (confirmed) {
      impl_->queue = request.printerName;
      if (!toPdf && request.printerName != device.printerName().toStdString())
        device.setPrinterName(QString::fromStdString(request.printerName));
      device.setCopyCount(std::max(1, request.copies));
    }
  } else if (toPdf) {
    // Archiving to a file needs no questions.
    confirmed = true;
  } else {
    QPrintDialog dialog(&device);
    dialog.setMinMax(range.minPage, range.maxPage);
    confirmed = dialog.exec() == QDialog::Accepted;
    if (confirmed) impl_->queue = device.printerName().toStdString();
  }
  if (!confirmed) return false;

  // Choosing a printer in the dialog gives it that printer's default paper
  // (often Letter); the page layout was designed for the paper chosen
  // before, so that paper and orientation are set again.
  impl_->marginsPoints = internal::applyPaper(device, impl_->paper, impl_->orientation);
  impl_->confirmed = true;
  range.copies = device.copyCount();
  if (device.printRange() == QPrinter::PageRange && device.fromPage() > 0) {
    range.fromPage = device.fromPage();
    range.toPage = device.toPage();
  } else {
    range.fromPage = range.minPage;
    range.toPage = range.maxPage;
  }
  return true;
}

void Printer::startDocument(const Str& name) {
  if (name.size() > kMaxDocumentNameBytes) raise(err::InvalidArgument);
  if (!impl_->device || !impl_->confirmed) raise(err::NoObject);
  if (impl_->painter.isActive()) raise(err::AlreadyOpen);
  QPrinter& device = *impl_->device;
  // A queue that is gone (removed, or the spooler stopped) would still take
  // the drawing and then drop the job without a word.
  if (!impl_->queueReachable()) raise(err::DeviceUnavailable);
  device.setDocName(QString::fromStdString(toUtf8(name)));
  // The painter works on the whole sheet; deviceOrigin() moves (0, 0) to
  // the printable area's corner as measured by applyPaper().
  device.setFullPage(true);
  if (!impl_->painter.begin(&device)) raise(err::DeviceUnavailable);
  // Only now does the device report the resolution it prints with; before
  // begin() a printer may still answer with its screen-like logical dpi.
  impl_->dotsPerInch = device.resolution();
  impl_->pagesOpened = 0;
}

void Printer::newPage() {
  impl_->requireDocument();
  // The job opens its first page by itself.
  if (impl_->pagesOpened > 0 && !impl_->device->newPage()) raise(err::DeviceUnavailable);
  ++impl_->pagesOpened;
}

void Printer::endPage() { impl_->requireDocument(); }

void Printer::endDocument() {
  impl_->requireDocument();
  if (!impl_->painter.end()) raise(err::DeviceUnavailable);
  // The job is handed over as the painter ends, and a refusal there is not
  // reported: a queue no longer there has not received it.
  if (!impl_->queueReachable()) raise(err::DeviceUnavailable);
}

void Printer::release() {
  impl_->finishDocument();
  impl_->device.reset();
  impl_->confirmed = false;
}

Str Printer::queueName() const { return fromUtf8(impl_->queue); }

PageGeometry pageGeometry(const Str& queue, int paper, int orientation) {
  if (paper < 0 || orientation < 0 || orientation > 2) raise(err::InvalidArgument);
  std::unique_ptr<QPrinter> device = internal::makePrintDevice(toUtf8(queue));
  const QMarginsF margins = internal::applyPaper(*device, paper, orientation);
  const QSizeF paperPoints = device->pageLayout().fullRectPoints().size();
  constexpr double kMillimetresPerPoint = 25.4 / 72.0;
  PageGeometry g;
  g.queue = fromUtf8(device->printerName().toStdString());
  g.paperWidth = paperPoints.width() * kMillimetresPerPoint;
  g.paperHeight = paperPoints.height() * kMillimetresPerPoint;
  g.printableLeft = margins.left() * kMillimetresPerPoint;
  g.printableTop = margins.top() * kMillimetresPerPoint;
  g.printableWidth = (paperPoints.width() - margins.left() - margins.right()) * kMillimetresPerPoint;
  g.printableHeight =
      (paperPoints.height() - margins.top() - margins.bottom()) * kMillimetresPerPoint;
  return g;
}

// Surface: the shared painter code.
void Printer::setScaleMode(int mode) { impl_->setScaleMode(mode); }
int Printer::scaleMode() const { return impl_->scaleMode(); }
void Printer::clear() { impl_->clear(); }
void Printer::setPosition(double x, double y) { impl_->setPosition(x, y); }
double Printer::currentX() const { return impl_->currentX(); }
double Printer::currentY() const { return impl_->currentY(); }
void Printer::print(const Str& text) { impl_->print(text); }
void Printer::color(int fore, int back, int border, int mode, int which) {
  impl_->color(fore, back, border, mode, which);
}
void Printer::setForeColor(uint32_t v) { impl_->setForeColor(v); }
void Printer::setBackColor(uint32_t v) { impl_->setBackColor(v); }
void Printer::setFillColor(uint32_t v) { impl_->setFillColor(v); }
uint32_t Printer::foreColor() const { return impl_->foreColor(); }
uint32_t Printer::backColor() const { return impl_->backColor(); }
void Printer::setLineWidth(double width) { impl_->setLineWidth(width); }
void Printer::line(double x1, double y1, double x2, double y2, int colour, int kind) {
  impl_->line(x1, y1, x2, y2, colour, kind);
}
void Printer::circle(double x, double y, double r, int colour, float aspect, double startAngle,
                     double endAngle, bool filled) {
  impl_->circle(x, y, r, colour, aspect, startAngle, endAngle, filled);
}
void Printer::setFontName(const Str& face) { impl_->setFontName(face); }
void Printer::setFontSize(float points) { impl_->setFontSize(points); }
void Printer::setFontBold(bool on) { impl_->setFontBold(on); }
void Printer::setFontItalic(bool on) { impl_->setFontItalic(on); }
void Printer::setFontUnderline(bool on) { impl_->setFontUnderline(on); }
Str Printer::fontName() const { return impl_->fontName(); }
float Printer::fontSize() const { return impl_->fontSize(); }
bool Printer::fontBold() const { return impl_->fontBold(); }
void Printer::drawBitmap(double x, double y, double width, double height, const Bitmap& bitmap,
                         int srcX, int srcY, int srcWidth, int srcHeight) {
  impl_->drawBitmap(x, y, width, height, bitmap, srcX, srcY, srcWidth, srcHeight);
}

}  // namespace fw
