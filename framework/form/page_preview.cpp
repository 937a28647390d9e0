#include "framework/form/page_preview.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <memory>

#include "framework/core/cp932.h"
#include "framework/core/error.h"
#include "framework/form/events.h"
#include "framework/form/internal/form_objects.h"
#include "framework/form/internal/painter_surface.h"
#include "framework/form/trap.h"
#include "framework/form/window.h"

namespace fw {

namespace {

constexpr double kMillimetresPerInch = 25.4;
constexpr uint32_t kPaperWhite = rgb(255, 255, 255);

QString qs(const Str& cp932) { return QString::fromStdString(toUtf8(cp932)); }

// A sheet of paper in memory, drawn like a printer page.
class SheetSurface final : public internal::PainterSurface {
 public:
  SheetSurface(QImage& image, const PageGeometry& sheet, double dotsPerInch)
      : PainterSurface(kPaperWhite, sj("ＭＳ ゴシック"), 10.0f), sheet_(sheet),
        dotsPerInch_(dotsPerInch) {
    painter_.begin(&image);
  }
  ~SheetSurface() override { painter_.end(); }

 protected:
  QPainter& beginPaint() override { return painter_; }
  double dotsPerInchX() const override { return dotsPerInch_; }
  double dotsPerInchY() const override { return dotsPerInch_; }
  QRectF deviceRect() const override {
    return QRectF(0, 0, pixels(sheet_.printableWidth), pixels(sheet_.printableHeight));
  }
  QPointF deviceOrigin() const override {
    return QPointF(pixels(sheet_.printableLeft), pixels(sheet_.printableTop));
  }
  bool smoothEdges() const override { return true; }

 private:
  double pixels(double millimetres) const { return millimetres / kMillimetresPerInch * dotsPerInch_; }
  PageGeometry sheet_;
  double dotsPerInch_;
  QPainter painter_;
};

QImage renderPage(const PagePreview& preview, int pageIndex, double dotsPerInch, bool outline) {
  const double scale = dotsPerInch / kMillimetresPerInch;
  QImage image(std::max(1, int(preview.sheet.paperWidth * scale + 0.5)),
               std::max(1, int(preview.sheet.paperHeight * scale + 0.5)), QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    SheetSurface page(image, preview.sheet, dotsPerInch);
    // The drawing is the print's own: its statements are skipped on errors
    // as they are on paper.
    if (preview.draw) resumeNext([&] { preview.draw(page, pageIndex); });
  }
  if (outline) {
    QPainter painter(&image);
    QPen pen(QColor(170, 170, 170));
    pen.setStyle(Qt::DashLine);
    painter.setPen(pen);
    painter.drawRect(QRectF(preview.sheet.printableLeft * scale, preview.sheet.printableTop * scale,
                            preview.sheet.printableWidth * scale,
                            preview.sheet.printableHeight * scale));
  }
  return image;
}

class PreviewDialog final : public QDialog {
 public:
  PreviewDialog(QWidget* parent, PagePreview preview)
      : QDialog(parent), preview_(std::move(preview)) {
    setWindowTitle(qs(preview_.title));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    zoomBox_ = new QComboBox(this);
    zoomBox_->addItem(qs(sj("全体表示")));
    zoomBox_->addItem(QStringLiteral("100 %"));
    zoomBox_->addItem(QStringLiteral("200 %"));
    bar->addWidget(zoomBox_);
    previous_ = new QPushButton(qs(sj("前頁")), this);
    next_ = new QPushButton(qs(sj("次頁")), this);
    pageLabel_ = new QLabel(this);
    pageLabel_->setMinimumWidth(60);
    pageLabel_->setAlignment(Qt::AlignCenter);
    bar->addWidget(previous_);
    bar->addWidget(pageLabel_);
    bar->addWidget(next_);
    bar->addStretch();
    if (preview_.print) {
      print_ = new QPushButton(qs(preview_.printCaption), this);
      bar->addWidget(print_);
      connect(print_, &QPushButton::clicked, this, [this] { print(); });
    }
    auto* close = new QPushButton(qs(sj("閉じる")), this);
    bar->addWidget(close);
    layout->addLayout(bar);
    area_ = new QScrollArea(this);
    area_->setAlignment(Qt::AlignCenter);
    area_->setBackgroundRole(QPalette::Dark);
    picture_ = new QLabel;
    area_->setWidget(picture_);
    layout->addWidget(area_, 1);
    connect(zoomBox_, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    connect(previous_, &QPushButton::clicked, this, [this] { showPage(page_ - 1); });
    connect(next_, &QPushButton::clicked, this, [this] { showPage(page_ + 1); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    resize(1000, 760);
  }

  void setZoom(PreviewZoom zoom) { zoomBox_->setCurrentIndex(int(zoom)); refresh(); }
  void showPage(int index) {
    if (index < 0 || index >= std::max(1, preview_.pageCount)) return;
    page_ = index;
    refresh();
  }
  int page() const { return page_; }

  void print() {
    // Queued like a button click: it runs when the program next waits, one
    // procedure at a time, with its own confirmation and dialog.
    postToProgram(preview_.print);
  }

  void refresh() {
    const double screenDpi = screen() ? screen()->logicalDotsPerInch() : 96.0;
    double dpi = screenDpi;
    switch (PreviewZoom(zoomBox_->currentIndex())) {
      case PreviewZoom::Fit: {
        const QSize room = area_->viewport()->size() - QSize(8, 8);
        dpi = std::min(room.width() / (preview_.sheet.paperWidth / kMillimetresPerInch),
                       room.height() / (preview_.sheet.paperHeight / kMillimetresPerInch));
        dpi = std::max(dpi, 10.0);
        break;
      }
      case PreviewZoom::Actual: dpi = screenDpi; break;
      case PreviewZoom::Double: dpi = 2 * screenDpi; break;
    }
    // Drawn with the screen's own pixels, so that a high-resolution screen
    // shows the page sharp rather than enlarged.
    const double ratio = devicePixelRatioF();
    QImage page = renderPage(preview_, page_, dpi * ratio, true);
    page.setDevicePixelRatio(ratio);
    picture_->setPixmap(QPixmap::fromImage(page));
    picture_->adjustSize();
    const int count = std::max(1, preview_.pageCount);
    pageLabel_->setText(QStringLiteral("%1 / %2").arg(page_ + 1).arg(count));
    previous_->setEnabled(page_ > 0);
    next_->setEnabled(page_ + 1 < count);
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QDialog::resizeEvent(event);
    if (zoomBox_->currentIndex() == int(PreviewZoom::Fit)) refresh();
  }

 private:
  PagePreview preview_;
  QComboBox* zoomBox_;
  QPushButton *previous_, *next_, *print_ = nullptr;
  QLabel *pageLabel_, *picture_;
  QScrollArea* area_;
  int page_ = 0;
};

QPointer<PreviewDialog>& openPreview() {
  static QPointer<PreviewDialog> dialog;
  return dialog;
}

PreviewDialog& requireOpen() {
  if (!openPreview()) raise(err::NoObject);
  return *openPreview();
}

}  // namespace

void showPagePreview(Window* owner, const PagePreview& preview) {
  closePagePreview();
  QWidget* parent = nullptr;
  if (owner) {
    parent = static_cast<internal::WindowImpl&>(*owner).widget();
  } else if (auto main = internal::mainWindowImpl()) {
    parent = main->widget();
  }
  auto* dialog = new PreviewDialog(parent, preview);
  openPreview() = dialog;
  dialog->show();
  dialog->setZoom(PreviewZoom::Fit);
}

bool pagePreviewOpen() { return !openPreview().isNull(); }

void closePagePreview() {
  if (PreviewDialog* dialog = openPreview()) {
    openPreview() = nullptr;
    dialog->close();
  }
}

bool renderPreviewPage(const PagePreview& preview, int pageIndex, double dotsPerInch, bool outline,
                       const std::string& pngPath) {
  return renderPage(preview, pageIndex, dotsPerInch, outline)
      .save(QString::fromStdString(pngPath), "PNG");
}

namespace testing {

void setPreviewZoom(PreviewZoom zoom) { requireOpen().setZoom(zoom); }
void showPreviewPage(int pageIndex) { requireOpen().showPage(pageIndex); }
int previewPageIndex() { return requireOpen().page(); }
void clickPreviewPrint() { requireOpen().print(); }
bool savePreviewScreenshot(const std::string& pngPath) {
  // Let the scroll area lay out the new picture (its scroll bars) first.
  QCoreApplication::processEvents();
  return requireOpen().grab().save(QString::fromStdString(pngPath), "PNG");
}

}  // namespace testing

}  // namespace fw
