#include "framework/form/internal/control_frames.h"

#include <QEvent>
#include <QLineEdit>
#include <QPainter>
#include <QWidget>
#include <algorithm>

#include "framework/core/wd_format.h"
#include "framework/form/internal/text_boxes.h"

namespace fw::internal {

namespace {

namespace s = wd::style;

constexpr int kClientEdgePx = 2;
constexpr int kBorderPx = 1;

// Win32's system colours for three-dimensional edges and window frames.
const QColor k3dShadow(160, 160, 160);
const QColor k3dHighlight(255, 255, 255);
const QColor k3dDarkShadow(105, 105, 105);
const QColor k3dLight(227, 227, 227);
const QColor kWindowFrame(100, 100, 100);

// One ring of a frame, `inset` pixels in from the widget's edge.
void ring(QPainter& p, const QRect& outer, int inset, const QColor& topLeft,
          const QColor& bottomRight) {
  const QRect r = outer.adjusted(inset, inset, -inset, -inset);
  if (r.width() <= 0 || r.height() <= 0) return;
  // Filled one pixel wide rather than stroked: on a screen of ratio 2 a
  // stroked line of one pixel would straddle two of the widget's pixels.
  p.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
  p.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
  p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
  p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
}

// Sits on top of the framed widget and paints only the frame's pixels.
class FrameOverlay final : public QWidget {
 public:
  FrameOverlay(QWidget* framed, bool border, bool clientEdge)
      : QWidget(framed), border_(border), clientEdge_(clientEdge) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    framed->installEventFilter(this);
    follow(framed);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
      follow(static_cast<QWidget*>(watched));
    return false;
  }

  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    int inset = 0;
    if (border_) {
      ring(p, rect(), inset, kWindowFrame, kWindowFrame);
      inset += kBorderPx;
    }
    if (clientEdge_) {
      ring(p, rect(), inset, k3dShadow, k3dHighlight);
      ring(p, rect(), inset + 1, k3dDarkShadow, k3dLight);
    }
  }

 private:
  void follow(QWidget* framed) {
    setGeometry(framed->rect());
    raise();  // above the viewport and scroll bars of a scroll area
  }

  bool border_, clientEdge_;
};

}  // namespace

int controlFrameWidth(uint32_t style, uint32_t exStyle) {
  return ((exStyle & s::ExClientEdge) ? kClientEdgePx : 0) + ((style & s::Border) ? kBorderPx : 0);
}

void drawControlFrame(QWidget* widget, uint32_t style, uint32_t exStyle) {
  if (controlFrameWidth(style, exStyle) == 0) return;
  new FrameOverlay(widget, style & s::Border, exStyle & s::ExClientEdge);
}

void placeSingleLineText(QLineEdit* edit, int frameWidth) {
  // QLineEdit keeps 2 pixels left and right and 1 above the text of its own.
  constexpr int kQtLeft = 2, kQtTop = 1;
  edit->setFrame(false);
  edit->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  edit->setTextMargins(std::max(0, frameWidth + kEditTextLeftPx - kQtLeft),
                       std::max(0, frameWidth + kEditTextTopPx - kQtTop), frameWidth,
                       frameWidth);
}

void MultiLineEdit::placeText(int frameWidth) {
  // The frame's pixels are kept by a plain QFrame line of the same width
  // (the scroll bars then stay inside it); the text starts at the top of
  // the area inside, a little in from its left edge.
  if (frameWidth > 0) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(frameWidth);
  } else {
    setFrameStyle(QFrame::NoFrame);
  }
  document()->setDocumentMargin(0);
  setViewportMargins(kEditTextLeftPx, kEditTextTopPx, 0, 0);
  // The strip left of the text is the box's own, not the window's.
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
}

}  // namespace fw::internal
