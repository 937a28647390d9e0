#include "framework/form/testing.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>

#include "framework/core/cp932.h"
#include "framework/core/error.h"
#include "framework/form/internal/form_objects.h"
#include "framework/form/internal/widgets.h"

namespace fw::testing {

namespace {

using internal::ControlImpl;
using internal::WindowImpl;

ControlImpl& impl(Control& control) {
  auto& c = static_cast<ControlImpl&>(control);
  c.window();  // 1000 once the window is closed
  return c;
}

WindowImpl& impl(Window& window) {
  auto& w = static_cast<WindowImpl&>(window);
  w.check();
  return w;
}

void send(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button,
          Qt::MouseButtons held) {
  QPointF local(at);
  QPointF global(target->mapToGlobal(at));
  QMouseEvent event(type, local, global, button, held, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &event);
}

Qt::MouseButton qtButton(int button) {
  switch (button) {
    case 2: return Qt::RightButton;
    case 4: return Qt::MiddleButton;
    default: return Qt::LeftButton;
  }
}

void key(QWidget* target, int qtKey, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier, text);
  QCoreApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, qtKey, Qt::NoModifier, text);
  QCoreApplication::sendEvent(target, &release);
}

// The point of a list item, scrolled into view, as the operator would aim.
QPoint itemPoint(QListWidget* list, int index) {
  if (index < 0 || index >= list->count()) raise(err::Subscript);
  list->scrollToItem(list->item(index));
  return list->visualItemRect(list->item(index)).center();
}

QWidget* editWidget(Control& edit) {
  ControlImpl& c = impl(edit);
  QWidget* target = c.multiLineEdit() ? static_cast<QWidget*>(c.multiLineEdit())
                                      : static_cast<QWidget*>(c.singleLineEdit());
  if (!target) raise(err::WrongKind);
  return target;
}

}  // namespace

void click(Control& control) {
  ControlImpl& c = impl(control);
  if (!c.button()) raise(err::WrongKind);
  c.button()->click();
}

void typeText(Control& edit, const Str& text) {
  QWidget* target = editWidget(edit);
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find("\r\n", start);
    Str piece = text.substr(start, end == Str::npos ? Str::npos : end - start);
    if (!piece.empty()) key(target, 0, QString::fromStdString(toUtf8(piece)));
    if (end == Str::npos) break;
    pressEnter(edit);
    start = end + 2;
  }
}

void pressEnter(Control& edit) {
  key(editWidget(edit), Qt::Key_Return, QStringLiteral("\r"));
}

void typeUtf8(Control& edit, const std::string& utf8) {
  key(editWidget(edit), 0, QString::fromStdString(utf8));
}

void commitFromInputMethod(Control& edit, const std::string& utf8) {
  QInputMethodEvent event;
  event.setCommitString(QString::fromStdString(utf8));
  QCoreApplication::sendEvent(editWidget(edit), &event);
}

void paste(Control& box) {
  ControlImpl& c = impl(box);
  if (!c.multiLineEdit() && !c.singleLineEdit() && !c.comboWidget()) raise(err::WrongKind);
  const QString ctrlV(QChar(0x16));
  QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, ctrlV);
  QCoreApplication::sendEvent(c.widget(), &press);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_V, Qt::ControlModifier, ctrlV);
  QCoreApplication::sendEvent(c.widget(), &release);
}

void selectItem(Control& listOrCombo, int index) {
  ControlImpl& c = impl(listOrCombo);
  if (QListWidget* list = c.listWidget()) {
    QPoint at = itemPoint(list, index);
    QWidget* viewport = list->viewport();
    send(viewport, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    send(viewport, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    return;
  }
  QComboBox* combo = c.comboWidget();
  if (!combo) raise(err::WrongKind);
  if (index < 0 || index >= combo->count()) raise(err::Subscript);
  if (!combo->isEnabled()) return;
  // Drop the list down, pick the item: the same notifications as a mouse choice.
  if (auto* w = dynamic_cast<internal::ComboWidget*>(combo); w && w->onDropDown) w->onDropDown();
  combo->setCurrentIndex(index);
  emit combo->activated(index);
}

void chooseMenuItem(Control& control, int index) {
  ControlImpl& c = impl(control);
  if (!c.widget()->isEnabled()) return;
  c.chooseMenuItem(index);
}

void doubleClickItem(Control& listOrCombo, int index) {
  ControlImpl& c = impl(listOrCombo);
  QListWidget* list = c.listWidget();
  if (!list) {
    selectItem(listOrCombo, index);
    return;
  }
  QPoint at = itemPoint(list, index);
  QWidget* viewport = list->viewport();
  send(viewport, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
  send(viewport, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
  send(viewport, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
  send(viewport, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

void focus(Control& control) {
  ControlImpl& c = impl(control);
  QWidget* w = c.widget();
  QWidget* top = w->window();
  if (QApplication::activeWindow() != top) {
    top->activateWindow();
    QApplication::setActiveWindow(top);
  }
  w->setFocus(Qt::MouseFocusReason);
}

void mouseMove(Window& window, int x, int y) {
  QWidget* w = impl(window).widget();
  send(w, QEvent::MouseMove, QPoint(x, y), Qt::NoButton, Qt::NoButton);
}

void mouseClick(Window& window, int x, int y, int button) {
  QWidget* w = impl(window).widget();
  Qt::MouseButton b = qtButton(button);
  send(w, QEvent::MouseMove, QPoint(x, y), Qt::NoButton, Qt::NoButton);
  send(w, QEvent::MouseButtonPress, QPoint(x, y), b, b);
  send(w, QEvent::MouseButtonRelease, QPoint(x, y), b, Qt::NoButton);
}

void mouseDoubleClick(Window& window, int x, int y, int button) {
  QWidget* w = impl(window).widget();
  Qt::MouseButton b = qtButton(button);
  send(w, QEvent::MouseMove, QPoint(x, y), Qt::NoButton, Qt::NoButton);
  send(w, QEvent::MouseButtonPress, QPoint(x, y), b, b);
  send(w, QEvent::MouseButtonRelease, QPoint(x, y), b, Qt::NoButton);
  send(w, QEvent::MouseButtonDblClick, QPoint(x, y), b, b);
  send(w, QEvent::MouseButtonRelease, QPoint(x, y), b, Qt::NoButton);
}

void requestClose(Window& window) {
  WindowImpl& w = impl(window);
  w.widget()->close();
}

}  // namespace fw::testing
