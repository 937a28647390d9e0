#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "framework/core/cp932.h"
#include "framework/core/error.h"
#include "framework/core/wd_format.h"
#include "framework/form/internal/fonts.h"
#include "framework/form/internal/form_objects.h"
#include "framework/form/internal/image_surface.h"
#include "framework/form/internal/input_method.h"
#include "framework/form/recording_surface.h"
#include "framework/form/trap.h"

namespace fw::internal {

namespace {

// Win32 metrics at 96 dpi (SM_CXFIXEDFRAME, SM_CXSIZEFRAME, SM_CYCAPTION).
constexpr int kFixedFramePx = 3;
constexpr int kSizingFramePx = 4;
constexpr int kThinBorderPx = 1;
constexpr int kCaptionPx = 23;

// Largest outer width or height of a window. Win32 keeps a top-level window
// within the screen's tracking size; a definition or a resize asking for
// more (a damaged width of 2^31) is held here, so that the picture behind
// the window stays an image that can be allocated and the frame arithmetic
// cannot overflow.
constexpr int kMaxWindowPx = 8192;

int boundedOuterSize(int pixels) { return std::clamp(pixels, 0, kMaxWindowPx); }

QString qs(const Str& cp932) { return QString::fromStdString(toUtf8(cp932)); }
Str cp(const QString& text) { return fromUtf8(text.toStdString()); }

// The hourglass is one application-wide override cursor, whichever window set it.
bool g_hourglass = false;

}  // namespace

FrameMargins frameMargins(uint32_t style, uint32_t exStyle) {
  namespace s = wd::style;
  FrameMargins m;
  int border = 0;
  if (style & s::ThickFrame)
    border = kSizingFramePx;
  else if ((style & s::DlgFrame) || (exStyle & s::ExDlgModalFrame))
    border = kFixedFramePx;
  else if (style & s::Border)
    border = kThinBorderPx;
  m.left = m.right = m.bottom = m.top = border;
  if ((style & s::Caption) == s::Caption) m.top += kCaptionPx;
  return m;
}

uint32_t paletteColour(int index) { return shapePaletteColour(index & 15); }

Str upperName(const Str& name) {
  Str out = name;
  for (size_t i = 0; i < out.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(out[i]);
    if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) {
      ++i;  // keep the trail byte of a double-byte character
    } else if (b >= 'a' && b <= 'z') {
      out[i] = static_cast<char>(b - 'a' + 'A');
    }
  }
  return out;
}

// --- WindowImpl -------------------------------------------------------------

WindowImpl::WindowImpl(const WindowDefinition& def) {
  const ObjectDef& w = def.window;
  name_ = w.name.empty() ? w.className : w.name;
  // Windows are shown explicitly and always clip their children.
  style_ = (w.style & ~wd::style::Visible) | wd::style::ClipChildren;
  exStyle_ = w.exStyle;
  margins_ = frameMargins(style_, exStyle_);
  showState_ = w.showState;
  imeMode_ = w.imeMode;
  backRgb_ = paletteColour(w.backColourIndex >= 0 ? w.backColourIndex : 15);

  widget_ = new FormWidget(*this);
  widget_->setAttribute(Qt::WA_DeleteOnClose, false);
  if (w.caption) widget_->setWindowTitle(qs(*w.caption));
  applyIcon(w.iconName);
  applyFlags();

  Str face = w.fontFace;
  int points = w.fontSizePoints > 0 ? w.fontSizePoints : 9;
  if (!face.empty()) widget_->setFont(screenFont(face, points, w.fontBold));

  int clientW = std::max(0, boundedOuterSize(w.width) - margins_.left - margins_.right);
  int clientH = std::max(0, boundedOuterSize(w.height) - margins_.top - margins_.bottom);
  surface_ = makeImageSurface(std::max(1, clientW), std::max(1, clientH), backRgb_);
  surface_->setBackColor(backRgb_);
  surface_->setForeColor(paletteColour(w.foreColourIndex >= 0 ? w.foreColourIndex : 0));
  if (!face.empty()) {
    try {
      surface_->setFontName(face);
      surface_->setFontSize(float(points));
      surface_->setFontBold(w.fontBold);
    } catch (const RuntimeError&) {
      // An unknown face keeps the picture's default font.
    }
  }
  setSurfaceChangedCallback(*surface_, [this] { pictureChanged(); });

  if (w.placed) {
    widget_->resize(clientW, clientH);
    if (!(style_ & wd::style::ThickFrame)) widget_->setFixedSize(clientW, clientH);
    QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry()
                                                    : QRect(0, 0, 1024, 768);
    switch (w.placement) {
      case 0:
        widget_->move(w.x, w.y);
        break;
      case 1:
        break;
      default:
        // Centred on the screen (a window has no parent); not clipped, so a
        // window larger than the screen gets negative coordinates.
        widget_->move(screen.x() + (screen.width() - w.width) / 2,
                      screen.y() + (screen.height() - w.height) / 2);
        break;
    }
  }

  for (const ObjectDef& c : def.controls)
    controls_.push_back(std::make_unique<ControlImpl>(*this, c, widget_));

  for (const EventBinding& b : w.events)
    if (hasProcedure(b.procedure)) bindings_[b.event] = b.procedure;
  for (size_t i = 0; i < def.controls.size(); ++i) controls_[i]->bindEvents(def.controls[i].events);

  if (w.disabled) widget_->setEnabled(false);
  if (imeMode_ == 3) widget_->setAttribute(Qt::WA_InputMethodEnabled, false);
}

WindowImpl::~WindowImpl() {
  controls_.clear();
  if (widget_) {
    widget_->detach();
    delete widget_.data();
  }
}

void WindowImpl::applyFlags() {
  namespace s = wd::style;
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint;
  if ((style_ & s::Caption) == s::Caption) flags |= Qt::WindowTitleHint;
  if (style_ & s::SysMenu) {
    flags |= Qt::WindowSystemMenuHint;
    if (closeEnabled_) flags |= Qt::WindowCloseButtonHint;
    if (style_ & s::MinimizeBox) flags |= Qt::WindowMinimizeButtonHint;
    if (style_ & s::MaximizeBox) flags |= Qt::WindowMaximizeButtonHint;
  }
  if (topMost_) flags |= Qt::WindowStaysOnTopHint;
  // A window that has its native window keeps it: setWindowFlags would
  // destroy and re-create it, which flickers (the main window goes top-most
  // and back around every print).
  if (QWindow* native = widget_->windowHandle();
      native && widget_->testAttribute(Qt::WA_WState_Created)) {
    widget_->overrideWindowFlags(flags);
    native->setFlags(flags);
    return;
  }
  bool wasVisible = widget_->isVisible();
  widget_->setWindowFlags(flags);
  if (wasVisible) widget_->show();
}

// The icon named by the window's class record, from the program's icons
// (":/icons/<name>.png"). The first one also becomes the application's, so
// that the message boxes and the print dialog carry it too. An icon that is
// not there leaves the window without one.
void WindowImpl::applyIcon(const Str& iconName) {
  const QString path = QStringLiteral(":/icons/") + qs(iconName) + QStringLiteral(".png");
  if (iconName.empty() || !QFile::exists(path)) return;
  const QIcon icon(path);
  widget_->setWindowIcon(icon);
  if (QApplication::windowIcon().isNull()) QApplication::setWindowIcon(icon);
}

void WindowImpl::check() const {
  if (closed_ || !widget_) raise(err::NoObject);
}

Control& WindowImpl::control(const Str& name) {
  check();
  Str wanted = upperName(name);
  for (auto& c : controls_)
    if (upperName(c->name()) == wanted) return *c;
  raise(err::ControlNotFound);
}

bool WindowImpl::hasControl(const Str& name) const {
  check();
  Str wanted = upperName(name);
  for (auto& c : controls_)
    if (upperName(c->name()) == wanted) return true;
  return false;
}

int WindowImpl::controlCount() const {
  check();
  return int(controls_.size());
}

Control& WindowImpl::controlAt(int index) {
  check();
  if (index < 0 || index >= int(controls_.size())) raise(err::Subscript);
  return *controls_[size_t(index)];
}

Str WindowImpl::caption() const {
  check();
  return cp(widget_->windowTitle());
}

void WindowImpl::setCaption(const Str& caption) {
  check();
  widget_->setWindowTitle(qs(caption));
}

bool WindowImpl::visible() const {
  check();
  return widget_->isVisible();
}

void WindowImpl::setVisible(bool on) {
  check();
  if (on) {
    widget_->show();
    widget_->raise();
  } else {
    widget_->hide();
  }
}

bool WindowImpl::enabled() const {
  check();
  return widget_->isEnabled();
}

void WindowImpl::setEnabled(bool on) {
  check();
  widget_->setEnabled(on);
}

void WindowImpl::setTopMost(bool on) {
  check();
  if (topMost_ == on) return;
  topMost_ = on;
  applyFlags();
}

void WindowImpl::setFocus() {
  check();
  widget_->activateWindow();
  widget_->setFocus(Qt::OtherFocusReason);
}

void WindowImpl::activate() {
  check();
  widget_->raise();
  widget_->activateWindow();
}

void WindowImpl::bringToForeground() { activate(); }

void WindowImpl::minimise() {
  check();
  widget_->showMinimized();
}

void WindowImpl::move(int x, int y) {
  check();
  if (x >= 32768 || y >= 32768 || x < -32768 || y < -32768) raise(err::InvalidArgument);
  widget_->move(x, y);
}

void WindowImpl::resize(int width, int height) {
  check();
  if (width < 0 || height < 0) raise(err::InvalidArgument);
  int w = std::max(0, boundedOuterSize(width) - margins_.left - margins_.right);
  int h = std::max(0, boundedOuterSize(height) - margins_.top - margins_.bottom);
  if (!(style_ & wd::style::ThickFrame)) widget_->setFixedSize(w, h);
  widget_->resize(w, h);
}

int WindowImpl::geometry(int item) const {
  check();
  // The outer size is the client area plus the Win32 frame it was designed
  // with, whatever frame the window manager draws; the position is that of
  // the frame's top-left corner.
  QRect frame = widget_->frameGeometry();
  QRect client = widget_->geometry();
  switch (item) {
    case 0: return frame.x();
    case 1: return frame.y();
    case 2: return client.width() + margins_.left + margins_.right;
    case 3: return client.height() + margins_.top + margins_.bottom;
    case 4: return widget_->isMinimized() ? 0 : widget_->isMaximized() ? 1 : 2;
    case 5: return widget_->isActiveWindow() ? -1 : 0;
    default: raise(err::InvalidArgument);
  }
}

void WindowImpl::disableCloseCommand() {
  check();
  if (!closeEnabled_) return;
  closeEnabled_ = false;
  applyFlags();
}

void WindowImpl::setMousePointer(int shape) {
  check();
  if (shape < 0 || shape > 15) raise(err::InvalidArgument);
  if (shape == 2) {
    if (!g_hourglass) QApplication::setOverrideCursor(Qt::WaitCursor);
    g_hourglass = true;
  } else if (g_hourglass) {
    QApplication::restoreOverrideCursor();
    g_hourglass = false;
  }
}

float WindowImpl::lastMouse(int item) const {
  check();
  if (item == 0) return lastX_;
  if (item == 1) return lastY_;
  raise(err::InvalidArgument);
}

int WindowImpl::imeMode() const {
  check();
  return imeMode_;
}

void WindowImpl::setImeMode(int mode) {
  check();
  if (mode < 0 || mode > 8) raise(err::InvalidArgument);
  imeMode_ = mode;
  widget_->setAttribute(Qt::WA_InputMethodEnabled, mode != 3);
  applyWindowImeMode(mode);
}

Surface& WindowImpl::surface() {
  check();
  return *surface_;
}

uint32_t WindowImpl::picturePixel(int x, int y) const {
  check();
  const QImage& image = surfaceImage(*surface_);
  // The screen pixel at the centre of the window pixel.
  const double ratio = image.devicePixelRatio();
  const int px = int(std::floor((x + 0.5) * ratio)), py = int(std::floor((y + 0.5) * ratio));
  if (x < 0 || y < 0 || !image.valid(px, py)) raise(err::InvalidArgument);
  QRgb p = image.pixel(px, py);
  return rgb(qRed(p), qGreen(p), qBlue(p));
}

bool WindowImpl::saveScreenshot(const std::string& pngPath) {
  check();
  QString path = QString::fromStdString(pngPath);
  QDir().mkpath(QFileInfo(path).absolutePath());
  widget_->ensurePolished();
  return widget_->grab().save(path, "PNG");
}

void WindowImpl::showInitialState() {
  if (closed_) return;
  switch (showState_) {
    case 0:
      widget_->hide();
      break;
    case 2:
    case 6:
    case 7:
      widget_->showMinimized();
      break;
    case 3:
      widget_->showMaximized();
      break;
    default:
      widget_->show();
      break;
  }
  widget_->update();
}

void WindowImpl::markClosed() {
  if (closed_) return;
  closed_ = true;
  if (widget_) {
    widget_->hide();
    widget_->detach();
    widget_->deleteLater();
  }
}

void WindowImpl::postEvent(const Str& objectName, const BindingTable& bindings, Event e,
                           EventArgs args, const void* mergeKey) {
  if (closed_ || building_) return;
  const Procedure* procedure = findProcedure(bindings, objectName, e);
  if (!procedure) return;
  args.window = this;
  queueEvent(shared_from_this(), *procedure, args, mergeKey);
}

bool WindowImpl::operatorClose() {
  if (closed_) return true;
  if (programEnding() || endRequested()) {
    destroyWindow(*this);
    return true;
  }
  // Without a system menu, or with its Close command greyed, the operator
  // has no way to close the window: it is left through its own buttons.
  // A disabled window takes no input, its close box included.
  if (!closeEnabled_ || !(style_ & wd::style::SysMenu) || !widget_->isEnabled()) return false;
  if (const Procedure* procedure = findProcedure(bindings_, name_, Event::QueryClose)) {
    int16_t cancel = 0;
    EventArgs args;
    args.window = this;
    args.cancel = &cancel;
    args.reason = 0;
    Procedure copy = *procedure;
    auto keepAlive = shared_from_this();
    callNow(copy, args);
    if (closed_) return true;
    if (cancel != 0) return false;
  }
  destroyWindow(*this);
  return true;
}

void WindowImpl::pictureChanged() {
  if (widget_) widget_->update();
}

void WindowImpl::clientResized(int width, int height) {
  if (closed_) return;
  if (surface_) resizeImageSurface(*surface_, std::max(1, width), std::max(1, height));
  raiseOwn(Event::Resize);
}

// --- FormWidget -------------------------------------------------------------

FormWidget::FormWidget(WindowImpl& owner) : QWidget(nullptr), owner_(&owner) {
  setMouseTracking(true);
  setFocusPolicy(Qt::ClickFocus);
}

void FormWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (owner_ && !owner_->closed())
    painter.drawImage(0, 0, surfaceImage(owner_->surface()));
}

void FormWidget::closeEvent(QCloseEvent* event) {
  if (!owner_ || owner_->operatorClose())
    event->accept();
  else
    event->ignore();
}

EventArgs FormWidget::mouseArgs(QMouseEvent* event, bool pressedButtonOnly) const {
  EventArgs args;
  Qt::MouseButtons buttons = pressedButtonOnly ? Qt::MouseButtons(event->button()) : event->buttons();
  if (buttons & Qt::LeftButton) args.buttons |= 1;
  if (buttons & Qt::RightButton) args.buttons |= 2;
  if (buttons & Qt::MiddleButton) args.buttons |= 4;
  if (event->modifiers() & Qt::ShiftModifier) args.shift |= 1;
  if (event->modifiers() & Qt::ControlModifier) args.shift |= 2;
  QPointF p = event->position();
  args.x = float(std::floor(p.x()));
  args.y = float(std::floor(p.y()));
  return args;
}

void FormWidget::mousePressEvent(QMouseEvent* event) {
  if (!owner_) return;
  EventArgs args = mouseArgs(event, true);
  owner_->noteMouse(int(args.x), int(args.y));
  if (args.buttons) owner_->raiseOwn(Event::MouseDown, args);
}

void FormWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (!owner_) return;
  EventArgs args = mouseArgs(event, true);
  owner_->noteMouse(int(args.x), int(args.y));
  if (!args.buttons) return;
  owner_->raiseOwn(Event::MouseUp, args);
  if (owner_) owner_->raiseOwn(Event::Click);
}

void FormWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (!owner_) return;
  EventArgs args = mouseArgs(event, true);
  owner_->noteMouse(int(args.x), int(args.y));
  // The second press of a double click is reported as the double click only.
  owner_->raiseOwn(Event::DblClick);
}

void FormWidget::mouseMoveEvent(QMouseEvent* event) {
  if (!owner_) return;
  EventArgs args = mouseArgs(event, false);
  owner_->noteMouse(int(args.x), int(args.y));
  owner_->raiseOwn(Event::MouseMove, args);
}

void FormWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (owner_ && event->size() != event->oldSize() && event->oldSize().isValid())
    owner_->clientResized(event->size().width(), event->size().height());
}

void FormWidget::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  if (owner_ && event->reason() != Qt::PopupFocusReason) owner_->raiseOwn(Event::SetFocus);
}

void FormWidget::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  if (owner_ && event->reason() != Qt::PopupFocusReason) owner_->raiseOwn(Event::KillFocus);
}

// --- Building ---------------------------------------------------------------

std::shared_ptr<WindowImpl> buildWindow(const WindowDefinition& definition) {
  auto window = std::make_shared<WindowImpl>(definition);
  window->finishBuilding();
  registerOpenWindow(window);
  return window;
}

}  // namespace fw::internal
