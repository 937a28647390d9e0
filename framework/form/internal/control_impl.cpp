#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTextBlock>

#include "framework/core/cp932.h"
#include "framework/core/error.h"
#include "framework/core/wd_format.h"
#include "framework/form/internal/control_frames.h"
#include "framework/form/internal/fonts.h"
#include "framework/form/internal/form_objects.h"
#include "framework/form/internal/input_method.h"
#include "framework/form/internal/painter_surface.h"
#include "framework/form/internal/text_boxes.h"
#include "framework/form/internal/widgets.h"

namespace fw::internal {

namespace {

namespace s = wd::style;

QString qs(const Str& cp932) { return QString::fromStdString(toUtf8(cp932)); }

// Win32's system colours for the text of a disabled control (COLOR_GRAYTEXT)
// and for the face of a disabled edit box (COLOR_3DFACE).
const QColor kGrayText(109, 109, 109);
const QColor k3dFace(240, 240, 240);
Str cp(const QString& text) { return fromUtf8(text.toStdString()); }

bool leadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// The Qt character position of a byte offset into CP932 text. In a
// multi-line box CR LF is one position (a line break), two bytes.
int qtPosition(const Str& text, int bytes, bool crlfIsOne) {
  int pos = 0;
  size_t i = 0;
  size_t limit = std::min(text.size(), size_t(std::max(0, bytes)));
  while (i < limit) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (crlfIsOne && b == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
      i += 2;
    else if (leadByte(b) && i + 1 < text.size())
      i += 2;
    else
      i += 1;
    ++pos;
  }
  return pos;
}

// Text as the program sees it: CP932 with CR LF line ends.
Str fromEditText(const QString& plain) {
  Str text = cp(plain);
  Str out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    if (c == '\n') out += "\r\n";
    else out.push_back(c);
  }
  return out;
}

QString toEditText(const Str& text) {
  Str lines;
  lines.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    lines.push_back(text[i]);
  }
  return qs(lines);
}

// The rows of a list box are as tall as its font's character cell, as Win32
// makes them; a fixed height that the box's own height can be fitted to.
class RowDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(),
            QFontMetrics(option.font).height()};
  }
};

// An edit box tells of refused characters over its own window.
std::function<DialogOwner()> noticeOwner(WindowImpl& window) {
  return [widget = QPointer<QWidget>(window.widget()), name = window.name()] {
    return DialogOwner{widget, name};
  };
}

}  // namespace

// --- ControlImpl ------------------------------------------------------------

ControlImpl::ControlImpl(WindowImpl& window, const ObjectDef& def, QWidget* parent)
    : window_(window), kind_(static_cast<Kind>(def.type)), name_(def.name), style_(def.style),
      exStyle_(def.exStyle) {
  bool labelLike = kind_ == Kind::Label || kind_ == Kind::Check || kind_ == Kind::Radio;
  textRgb_ = def.textRgb.value_or(0);
  backRgb_ = def.backRgb.value_or(labelLike ? rgb(241, 246, 250) : 0xFFFFFF);
  imeMode_ = def.imeMode;
  limitTextBytes_ = def.limitTextBytes;
  QString caption = def.caption ? qs(*def.caption) : QString();

  switch (kind_) {
    case Kind::Button: {
      auto* b = new QPushButton(caption, parent);
      button_ = b;
      widget_ = b;
      break;
    }
    case Kind::Check: {
      auto* b = new QCheckBox(caption, parent);
      b->setChecked(def.checkValue != 0);
      button_ = b;
      widget_ = b;
      break;
    }
    case Kind::Radio: {
      // Auto radio buttons of one window form one group, as Qt groups the
      // auto-exclusive buttons of one parent.
      auto* b = new QRadioButton(caption, parent);
      b->setChecked(def.checkValue != 0);
      button_ = b;
      widget_ = b;
      break;
    }
    case Kind::Edit:
      if (style_ & s::EsMultiline) {
        auto* e = new MultiLineEdit(parent);
        e->setPlainText(toEditText(def.caption ? *def.caption : Str()));
        bool wraps = !(style_ & s::EsAutoHScroll);
        e->setLineWrapMode(wraps ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
        e->setVerticalScrollBarPolicy((style_ & s::VScroll) ? Qt::ScrollBarAlwaysOn
                                                            : Qt::ScrollBarAlwaysOff);
        e->setHorizontalScrollBarPolicy((style_ & s::HScroll) && !wraps ? Qt::ScrollBarAlwaysOn
                                                                        : Qt::ScrollBarAlwaysOff);
        e->setTabChangesFocus(true);
        // No margin above the text: the run-time fonts fill the box (24 pt
        // text in a 32-pixel box), and a margin would push the line out of view.
        e->placeText(controlFrameWidth(style_, exStyle_));
        drawControlFrame(e, style_, exStyle_);
        e->setReadOnly(style_ & s::EsReadOnly);
        e->gate().owner = noticeOwner(window_);
        multi_ = e;
        widget_ = e;
      } else {
        auto* e = new SingleLineEdit(parent);
        e->setProgramText(caption);
        e->setReadOnly(style_ & s::EsReadOnly);
        e->gate().owner = noticeOwner(window_);
        placeSingleLineText(e, controlFrameWidth(style_, exStyle_));
        drawControlFrame(e, style_, exStyle_);
        single_ = e;
        widget_ = e;
      }
      break;
    case Kind::Label: {
      auto* l = new QLabel(caption, parent);
      l->setTextFormat(Qt::PlainText);
      l->setWordWrap(true);
      Qt::Alignment h = (style_ & 0x3) == 1 ? Qt::AlignHCenter
                        : (style_ & 0x3) == 2 ? Qt::AlignRight
                                              : Qt::AlignLeft;
      l->setAlignment(h | Qt::AlignTop);
      label_ = l;
      widget_ = l;
      break;
    }
    case Kind::List: {
      auto* l = new QListWidget(parent);
      l->setSelectionMode((style_ & s::LbsMultipleSel) ? QAbstractItemView::MultiSelection
                                                       : QAbstractItemView::SingleSelection);
      l->setUniformItemSizes(true);
      l->setItemDelegate(new RowDelegate(l));
      l->setVerticalScrollBarPolicy((style_ & s::VScroll) ? Qt::ScrollBarAsNeeded
                                                          : Qt::ScrollBarAlwaysOff);
      l->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      // A line wider than the box is cut off at its right edge; the box never
      // adds characters of its own (Qt would end it in "…").
      l->setTextElideMode(Qt::ElideNone);
      l->setEditTriggers(QAbstractItemView::NoEditTriggers);
      if (const int frame = controlFrameWidth(style_, exStyle_); frame > 0) {
        // The frame's pixels are kept free by a plain line of the same width.
        l->setFrameStyle(QFrame::Box | QFrame::Plain);
        l->setLineWidth(frame);
      } else {
        l->setFrameStyle(QFrame::NoFrame);
      }
      drawControlFrame(l, style_, exStyle_);
      list_ = l;
      widget_ = l;
      break;
    }
    case Kind::Combo: {
      auto* c = new ComboWidget(parent);
      c->setEditable(false);
      c->setInsertPolicy(QComboBox::NoInsert);
      combo_ = c;
      widget_ = c;
      break;
    }
    case Kind::Group:
      widget_ = new QGroupBox(caption, parent);
      break;
    case Kind::HScroll:
      widget_ = new QScrollBar(Qt::Horizontal, parent);
      break;
    case Kind::VScroll:
      widget_ = new QScrollBar(Qt::Vertical, parent);
      break;
    default: {  // picture
      auto* l = new QLabel(parent);
      label_ = l;
      widget_ = l;
      break;
    }
  }

  widget_->setStyle(controlStyle());
  if (auto* area = qobject_cast<QAbstractScrollArea*>(widget_.data())) {
    area->verticalScrollBar()->setStyle(controlStyle());
    area->horizontalScrollBar()->setStyle(controlStyle());
  }

  if (!def.listItems.empty() && (list_ || combo_)) {
    Str items = def.listItems;
    size_t start = 0;
    for (;;) {
      size_t end = items.find("\r\n", start);
      Str item = items.substr(start, end == Str::npos ? Str::npos : end - start);
      if (!item.empty() || end != Str::npos) {
        if (list_) list_->addItem(qs(item));
        if (combo_) combo_->addItem(qs(item));
      }
      if (end == Str::npos) break;
      start = end + 2;
    }
    if (combo_) combo_->setCurrentIndex(-1);
  }

  // Font: the control's own, else the window's.
  if (!def.fontFace.empty() || def.fontSizePoints > 0) {
    fontFace_ = def.fontFace;
    fontPoints_ = def.fontSizePoints > 0 ? float(def.fontSizePoints) : 9.0f;
    bold_ = def.fontBold;
    applyFont();
  } else {
    QFont f = parent->font();
    fontFace_ = cp(f.family());
    fontPoints_ = f.pixelSize() > 0 ? float(f.pixelSize() * 72.0 / 96.0) : float(f.pointSizeF());
    bold_ = f.bold();
  }
  applyColours();

  listHeight_ = def.height;
  widget_->setGeometry(def.x, def.y, def.width, def.height);
  if (combo_) setComboHeight();
  if (list_) fitListToWholeRows();
  widget_->setVisible(style_ & s::Visible);
  if (style_ & s::Disabled || def.disabled) {
    widget_->setEnabled(false);
    applyColours();
  }
  if (kind_ == Kind::Label || kind_ == Kind::Picture || kind_ == Kind::Group)
    widget_->setFocusPolicy(Qt::NoFocus);
  else
    widget_->setFocusPolicy((style_ & s::TabStop) ? Qt::StrongFocus : Qt::ClickFocus);
  applyImeAttributes();

  // Operator actions become events (program changes are raised explicitly
  // where Win32 notifies, with the widget's signals blocked).
  if (button_) connect(button_, &QAbstractButton::clicked, this, [this] { postEvent(Event::On); });
  if (multi_) connect(multi_, &QPlainTextEdit::textChanged, this, [this] { postEvent(Event::Change); });
  if (single_) connect(single_, &QLineEdit::textChanged, this, [this] { postEvent(Event::Change); });
  if (list_) {
    connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
      postEvent(Event::Change);
      postEvent(Event::Click);
    });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { postEvent(Event::DblClick); });
  }
  if (combo_) {
    connect(combo_, qOverload<int>(&QComboBox::activated), this, [this] { postEvent(Event::Change); });
    static_cast<ComboWidget*>(combo_)->onDropDown = [this] { postEvent(Event::Click); };
  }
  widget_->installEventFilter(this);
}

ControlImpl::~ControlImpl() {
  if (combo_ && widget_) static_cast<ComboWidget*>(combo_)->onDropDown = nullptr;
}

void ControlImpl::bindEvents(const std::vector<EventBinding>& events) {
  for (const EventBinding& b : events)
    if (hasProcedure(b.procedure)) bindings_[b.event] = b.procedure;
}

void ControlImpl::setContextMenu(const std::vector<Str>& items) {
  check();
  menuItems_ = items;
  widget_->setContextMenuPolicy(items.empty() ? Qt::DefaultContextMenu : Qt::CustomContextMenu);
  if (menuConnected_) return;
  menuConnected_ = true;
  connect(widget_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    if (menuItems_.empty() || !widget_->isEnabled()) return;
    // A scroll area reports the point in its viewport.
    QWidget* origin = list_ ? list_->viewport() : widget_.data();
    QMenu menu(widget_);
    for (std::size_t i = 0; i < menuItems_.size(); ++i) {
      menu.addAction(qs(menuItems_[i]))->setData(static_cast<int>(i));
    }
    if (QAction* chosen = menu.exec(origin->mapToGlobal(at))) chooseMenuItem(chosen->data().toInt());
  });
}

void ControlImpl::chooseMenuItem(int index) {
  check();
  if (index < 0 || index >= static_cast<int>(menuItems_.size())) raise(err::Subscript);
  EventArgs args;
  args.menuItem = static_cast<int16_t>(index);
  window_.postEvent(name_, bindings_, Event::Menu, args);
}

void ControlImpl::postEvent(Event e) {
  // An edit box's change procedure reads the whole current text, so changes
  // that follow each other before it runs are one change to it. Qt reports
  // one Enter in a multi-line box as two changes, and keys typed ahead of a
  // running procedure as one each: each would find the same line break and
  // commit the box again (a refused year would be announced twice).
  const bool textChange = e == Event::Change && (multi_ || single_);
  window_.postEvent(name_, bindings_, e, EventArgs{}, textChange ? this : nullptr);
}

bool ControlImpl::eventFilter(QObject* watched, QEvent* event) {
  if (watched != widget_) return false;
  switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
      auto* f = static_cast<QFocusEvent*>(event);
      if (f->reason() == Qt::PopupFocusReason) break;
      if (event->type() == QEvent::FocusIn && (kind_ == Kind::Edit || kind_ == Kind::Combo))
        internal::applyImeMode(widget_, imeMode_);
      if (multi_ || single_ || list_ || combo_)
        postEvent(event->type() == QEvent::FocusIn ? Event::SetFocus : Event::KillFocus);
      break;
    }
    case QEvent::MouseButtonRelease:
      if (label_ && (style_ & s::SsNotify)) postEvent(Event::Click);
      break;
    case QEvent::MouseButtonDblClick:
      if (label_ && (style_ & s::SsNotify)) postEvent(Event::DblClick);
      break;
    default:
      break;
  }
  return false;
}

Window& ControlImpl::window() const {
  check();
  return window_;
}

void ControlImpl::check() const {
  if (window_.closed() || !widget_) fw::raise(err::NoObject);
}

void ControlImpl::requireKind(std::initializer_list<Kind> kinds) const {
  check();
  for (Kind k : kinds)
    if (k == kind_) return;
  fw::raise(err::WrongKind);
}

void ControlImpl::refuse() const {
  fw::raise(kind_ == Kind::Combo ? err::ComboRefused : err::ListRefused);
}

Str ControlImpl::text() const {
  requireKind({Kind::Edit, Kind::Label, Kind::Button, Kind::Check, Kind::Radio, Kind::Combo,
               Kind::Group});
  if (multi_) return fromEditText(multi_->toPlainText());
  if (single_) return cp(single_->text());
  if (label_) return cp(label_->text());
  if (button_) return cp(button_->text());
  if (combo_) return combo_->currentIndex() < 0 ? Str() : cp(combo_->currentText());
  return cp(static_cast<QGroupBox*>(widget_.data())->title());
}

void ControlImpl::setText(const Str& text) {
  requireKind({Kind::Edit, Kind::Label, Kind::Button, Kind::Check, Kind::Radio, Kind::Combo,
               Kind::Group});
  if (multi_ || single_) {
    {
      QSignalBlocker block(widget_);
      if (multi_) {
        multi_->setPlainText(toEditText(text));
        // A new text shows from its first line, as a Win32 edit box does;
        // the Enter that committed the box may have scrolled it down a line.
        multi_->verticalScrollBar()->setValue(0);
      } else {
        static_cast<SingleLineEdit*>(single_)->setProgramText(qs(text));
      }
    }
    // Win32 notifies a program's text change like the operator's.
    postEvent(Event::Change);
  } else if (label_) {
    label_->setText(qs(text));
  } else if (button_) {
    button_->setText(qs(text));
  } else if (combo_) {
    // A drop-down list has no edit field: the text selects the item that
    // holds it; an empty text clears the selection.
    QSignalBlocker block(widget_);
    if (text.empty()) {
      combo_->setCurrentIndex(-1);
      return;
    }
    int index = combo_->findText(qs(text), Qt::MatchExactly);
    if (index < 0) refuse();
    combo_->setCurrentIndex(index);
  } else {
    static_cast<QGroupBox*>(widget_.data())->setTitle(qs(text));
  }
}

int ControlImpl::value() const {
  requireKind({Kind::Check, Kind::Radio});
  return button_->isChecked() ? 1 : 0;
}

void ControlImpl::setValue(int v) {
  requireKind({Kind::Check, Kind::Radio});
  if (v != 0 && v != 1) fw::raise(err::InvalidArgument);
  QSignalBlocker block(widget_);
  if (kind_ == Kind::Radio && v == 0) {
    // Qt refuses to uncheck the checked button of an exclusive group; the
    // program may, as with Win32's BM_SETCHECK.
    button_->setAutoExclusive(false);
    button_->setChecked(false);
    button_->setAutoExclusive(true);
  } else {
    button_->setChecked(v == 1);
  }
}

void ControlImpl::addItem(const Str& text) {
  requireKind({Kind::List, Kind::Combo});
  QSignalBlocker block(widget_);
  if (list_) {
    list_->addItem(qs(text));
  } else {
    int selected = combo_->currentIndex();
    combo_->addItem(qs(text));
    // Adding does not select anything (Qt selects the first item added).
    if (selected < 0) combo_->setCurrentIndex(-1);
  }
}

void ControlImpl::clearItems() {
  requireKind({Kind::List, Kind::Combo});
  QSignalBlocker block(widget_);
  if (list_) list_->clear();
  else combo_->clear();
}

int ControlImpl::itemCount() const {
  requireKind({Kind::List, Kind::Combo});
  return list_ ? list_->count() : combo_->count();
}

Str ControlImpl::itemText(int index) const {
  requireKind({Kind::List, Kind::Combo});
  int count = itemCount();
  if (count == 0) return Str();
  if (index < 0 || index >= count) fw::raise(err::Subscript);
  return cp(list_ ? list_->item(index)->text() : combo_->itemText(index));
}

int ControlImpl::selectedIndex() const {
  requireKind({Kind::List, Kind::Combo});
  if (combo_) return combo_->currentIndex();
  if (list_->selectionMode() == QAbstractItemView::MultiSelection) {
    // As Win32 reports it for a multiple-selection box: the item with the focus.
    int row = list_->currentRow();
    return row >= 0 && list_->item(row)->isSelected() ? row : -1;
  }
  QList<QListWidgetItem*> items = list_->selectedItems();
  return items.isEmpty() ? -1 : list_->row(items.first());
}

void ControlImpl::setSelectedIndex(int index) {
  requireKind({Kind::List, Kind::Combo});
  if (index < -1 || index >= itemCount()) refuse();
  // A selection made by the program is not notified (as in Win32).
  QSignalBlocker block(widget_);
  if (combo_) {
    combo_->setCurrentIndex(index);
    return;
  }
  if (index < 0) {
    list_->clearSelection();
    if (list_->count() > 0) list_->scrollToTop();
    list_->viewport()->update();
    return;
  }
  if (list_->selectionMode() != QAbstractItemView::MultiSelection) list_->clearSelection();
  list_->setCurrentRow(index, QItemSelectionModel::Select);
  list_->scrollToItem(list_->item(index));
  list_->viewport()->update();
}

bool ControlImpl::itemSelected(int index) const {
  requireKind({Kind::List});
  if (index < 0 || index >= list_->count()) fw::raise(err::Subscript);
  return list_->item(index)->isSelected();
}

void ControlImpl::setItemSelected(int index, bool on) {
  requireKind({Kind::List});
  // Selecting item by item is for multiple-selection boxes only; a
  // single-selection box refuses it, as Win32's LB_SETSEL does.
  if (list_->selectionMode() != QAbstractItemView::MultiSelection) refuse();
  if (index < -1 || index >= list_->count()) refuse();
  QSignalBlocker block(widget_);
  if (index == -1) {
    // Win32: -1 applies to every item.
    for (int i = 0; i < list_->count(); ++i) list_->item(i)->setSelected(on);
  } else {
    list_->item(index)->setSelected(on);
  }
  list_->viewport()->update();
}

bool ControlImpl::readOnly() const {
  requireKind({Kind::Edit});
  return multi_ ? multi_->isReadOnly() : single_->isReadOnly();
}

void ControlImpl::setReadOnly(bool on) {
  requireKind({Kind::Edit});
  if (multi_) multi_->setReadOnly(on);
  else single_->setReadOnly(on);
  if (on) style_ |= s::EsReadOnly;
  else style_ &= ~s::EsReadOnly;
}

void ControlImpl::setSelection(int start, int end, bool scroll) {
  requireKind({Kind::Edit, Kind::Combo});
  if (combo_) return;  // a drop-down list has no text to select
  Str current = text();
  int total = int(current.size());
  if (end < 0 || end > total) end = total;
  if (start < 0 || start > total) start = total;
  if (multi_) {
    int a = qtPosition(current, start, true);
    int b = qtPosition(current, end, true);
    QTextCursor cursor = multi_->textCursor();
    cursor.setPosition(a);
    cursor.setPosition(b, QTextCursor::KeepAnchor);
    multi_->setTextCursor(cursor);
    if (scroll) multi_->ensureCursorVisible();
  } else {
    int a = qtPosition(current, start, false);
    int b = qtPosition(current, end, false);
    single_->setSelection(a, b - a);
  }
}

int ControlImpl::imeMode() const {
  requireKind({Kind::Edit, Kind::Combo});
  return imeMode_;
}

void ControlImpl::setImeMode(int mode) {
  requireKind({Kind::Edit, Kind::Combo});
  if (mode < 0 || mode > 8) fw::raise(err::InvalidArgument);
  imeMode_ = mode;
  applyImeAttributes();
  // A box without the focus takes its mode when it gets it.
  if (widget_->hasFocus()) internal::applyImeMode(widget_, mode);
}

void ControlImpl::applyImeAttributes() {
  if (!widget_ || (kind_ != Kind::Edit && kind_ != Kind::Combo)) return;
  // Refusing the input method (3) and hinting the alphanumeric modes stay
  // with the widget; opening and closing is the input-method layer's.
  widget_->setAttribute(Qt::WA_InputMethodEnabled, imeMode_ != 3);
  Qt::InputMethodHints hints = Qt::ImhNone;
  if (imeMode_ == 7) hints = Qt::ImhPreferLatin;
  if (imeMode_ == 8) hints = Qt::ImhLatinOnly;
  widget_->setInputMethodHints(hints);
}

bool ControlImpl::visible() const {
  check();
  return !widget_->isHidden();
}

void ControlImpl::setVisible(bool on) {
  check();
  widget_->setVisible(on);
  if (on) style_ |= s::Visible;
  else style_ &= ~s::Visible;
}

bool ControlImpl::enabled() const {
  check();
  return widget_->isEnabledTo(widget_->window());
}

void ControlImpl::setEnabled(bool on) {
  check();
  widget_->setEnabled(on);
  if (on) style_ &= ~s::Disabled;
  else style_ |= s::Disabled;
  applyColours();
}

void ControlImpl::setFocus() {
  check();
  widget_->setFocus(Qt::OtherFocusReason);
}

bool ControlImpl::hasFocus() const {
  check();
  return widget_->hasFocus();
}

Str ControlImpl::fontName() const {
  check();
  return fontFace_;
}
float ControlImpl::fontSize() const {
  check();
  return fontPoints_;
}
bool ControlImpl::fontBold() const {
  check();
  return bold_;
}
void ControlImpl::setFontName(const Str& face) {
  check();
  fontFace_ = face;
  applyFont();
}
void ControlImpl::setFontSize(float points) {
  check();
  if (points <= 0) fw::raise(err::InvalidArgument);
  fontPoints_ = points;
  applyFont();
}
void ControlImpl::setFontBold(bool on) {
  check();
  bold_ = on;
  applyFont();
}
void ControlImpl::setFontItalic(bool on) {
  check();
  italic_ = on;
  applyFont();
}
void ControlImpl::setFontUnderline(bool on) {
  check();
  underline_ = on;
  applyFont();
}

void ControlImpl::applyFont() {
  widget_->setFont(screenFont(fontFace_, fontPoints_, bold_, italic_, underline_));
  if (combo_) setComboHeight();
  if (list_) fitListToWholeRows();
}

void ControlImpl::applyColours() {
  QPalette p = widget_->palette();
  const QColor text = toQColor(textRgb_);
  const QColor back = toQColor(backRgb_);
  const bool labelLike = kind_ == Kind::Label || kind_ == Kind::Check || kind_ == Kind::Radio;
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    p.setColor(group, QPalette::Text, text);
    p.setColor(group, QPalette::WindowText, text);
    p.setColor(group, QPalette::ButtonText, text);
    if (labelLike) p.setColor(group, QPalette::Window, back);
    else if (kind_ != Kind::Button) p.setColor(group, QPalette::Base, back);
  }
  // Qt draws a disabled widget in the palette's disabled colours also when
  // only its window is disabled; Win32 greys a control only when the control
  // itself is. Its disabled colours are therefore its normal ones until it
  // is disabled on its own, and then its text turns grey.
  for (int role = 0; role < QPalette::NColorRoles; ++role) {
    const auto r = static_cast<QPalette::ColorRole>(role);
    if (r == QPalette::NoRole) continue;
    p.setColor(QPalette::Disabled, r, p.color(QPalette::Active, r));
  }
  if (widget_->testAttribute(Qt::WA_ForceDisabled)) {
    for (QPalette::ColorRole r : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
      p.setColor(QPalette::Disabled, r, kGrayText);
    // A disabled edit box shows the face colour behind its grey text.
    if (kind_ == Kind::Edit) p.setColor(QPalette::Disabled, QPalette::Base, k3dFace);
  }
  if (labelLike) {
    // Qt fills check boxes and option buttons with the button colour (grey),
    // not with the window colour the definition sets.
    widget_->setBackgroundRole(QPalette::Window);
    widget_->setAutoFillBackground(true);
  }
  widget_->setPalette(p);
}

// A drop-down list shows one line; the definition's height is that of the
// opened list, which scrolls when its items need more.
void ControlImpl::setComboHeight() {
  QFontMetrics metrics(combo_->font());
  int lineHeight = metrics.height() + 8;
  combo_->setGeometry(combo_->x(), combo_->y(), combo_->width(), lineHeight);
  int itemHeight = std::max(1, metrics.height() + 2);
  combo_->setMaxVisibleItems(std::max(1, listHeight_ / itemHeight));
  static_cast<ComboWidget*>(combo_)->setOpenedListHeight(std::max(itemHeight, listHeight_),
                                                        !(style_ & s::CbsNoIntegralHeight));
}

// A list box shows whole rows only: Win32 makes it shorter by what would
// show of a row cut at its bottom edge, unless its style says otherwise.
void ControlImpl::fitListToWholeRows() {
  int height = listHeight_;
  if (!(style_ & s::LbsNoIntegralHeight)) {
    const int frame = 2 * list_->frameWidth();
    const int row = QFontMetrics(list_->font()).height();
    if (const int rows = (listHeight_ - frame) / std::max(1, row); rows > 0)
      height = frame + rows * row;
  }
  list_->resize(list_->width(), height);
}

int ControlImpl::x() const {
  check();
  return widget_->x();
}
int ControlImpl::y() const {
  check();
  return widget_->y();
}
int ControlImpl::width() const {
  check();
  return widget_->width();
}
int ControlImpl::height() const {
  check();
  return combo_ ? listHeight_ : widget_->height();
}

void ControlImpl::resize(int width, int height) {
  check();
  if (width < 0 || height < 0) fw::raise(err::InvalidArgument);
  if (combo_) {
    listHeight_ = height;
    combo_->resize(width, combo_->height());
    setComboHeight();
  } else if (list_) {
    listHeight_ = height;
    list_->resize(width, height);
    fitListToWholeRows();
  } else {
    widget_->resize(width, height);
  }
}

}  // namespace fw::internal
