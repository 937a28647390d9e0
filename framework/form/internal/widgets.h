// Qt widget classes that need more than their stock behaviour.
#pragma once

#include <QComboBox>
#include <functional>

class QStyle;

namespace fw::internal {

// The style of every control: the application's, with drop-down lists that
// open below their box and controls that look enabled while only their
// window is disabled.
QStyle* controlStyle();

// A drop-down list as Win32 draws one: the list opens below the box (above
// it when the screen has no room below), as tall as the program set it, with
// a scroll bar when the items do not fit. It reports the opening of its list
// (the _CLICK of a combo box) before the list appears.
class ComboWidget final : public QComboBox {
 public:
  explicit ComboWidget(QWidget* parent);
  std::function<void()> onDropDown;
  // Outer height of the opened list in pixels; 0 leaves it to Qt. With
  // wholeRows the list is made shorter by what would show of a row cut
  // at its bottom edge, as a Win32 drop-down list is.
  void setOpenedListHeight(int pixels, bool wholeRows) {
    openedListHeight_ = pixels;
    wholeRows_ = wholeRows;
  }
  int openedListHeight() const { return openedListHeight_; }
  void showPopup() override;

 private:
  int openedListHeight_ = 0;
  bool wholeRows_ = true;
};

}  // namespace fw::internal
