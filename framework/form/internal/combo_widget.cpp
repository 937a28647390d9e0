#include <QAbstractItemView>

#include "framework/form/internal/widgets.h"

namespace fw::internal {

ComboWidget::ComboWidget(QWidget* parent) : QComboBox(parent) { setStyle(controlStyle()); }

void ComboWidget::showPopup() {
  if (onDropDown) onDropDown();
  QComboBox::showPopup();
  QWidget* popup = view()->window();
  if (openedListHeight_ <= 0 || popup == window() || !popup->isVisible()) return;
  const QRect box(mapToGlobal(QPoint(0, 0)), size());
  QRect list = popup->geometry();
  const bool below = list.top() >= box.bottom();
  int height = openedListHeight_;
  if (const int row = view()->sizeHintForRow(0); wholeRows_ && row > 0) {
    // The frame and margins around the rows, as Qt laid the list out.
    const int chrome = popup->height() - view()->viewport()->height();
    if (const int rows = (openedListHeight_ - chrome) / row; rows > 0)
      height = chrome + rows * row;
  }
  list.setHeight(height);
  if (!below) list.moveBottom(box.top() - 1);
  popup->setGeometry(list);
}

}  // namespace fw::internal
