#include <QAbstractItemView>
#include <QApplication>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>

#include "framework/form/internal/widgets.h"

namespace fw::internal {

namespace {

// Qt's styles open a drop-down list as a menu laid over the box, as tall as
// all its items (the height the program gives the list is then ignored).
class DropDownBelowStyle final : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returned) const override {
    if (hint == SH_ComboBox_Popup) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returned);
  }
};

QStyle* dropDownBelowStyle() {
  // One for every combo box of the program, deleted with the application.
  static QPointer<QStyle> style;
  if (!style) {
    style = new DropDownBelowStyle(QStyleFactory::create(QApplication::style()->name()));
    style->setParent(qApp);
  }
  return style;
}

}  // namespace

ComboWidget::ComboWidget(QWidget* parent) : QComboBox(parent) { setStyle(dropDownBelowStyle()); }

void ComboWidget::showPopup() {
  if (onDropDown) onDropDown();
  QComboBox::showPopup();
  QWidget* popup = view()->window();
  if (openedListHeight_ <= 0 || popup == window() || !popup->isVisible()) return;
  const QRect box(mapToGlobal(QPoint(0, 0)), size());
  QRect list = popup->geometry();
  const bool below = list.top() >= box.bottom();
  list.setHeight(openedListHeight_);
  if (!below) list.moveBottom(box.top() - 1);
  popup->setGeometry(list);
}

}  // namespace fw::internal
