// Qt widget classes that need more than their stock behaviour.
#pragma once

#include <QComboBox>
#include <functional>

namespace fw::internal {

// A drop-down list as Win32 draws one: the list opens below the box (above
// it when the screen has no room below), as tall as the program set it, with
// a scroll bar when the items do not fit. It reports the opening of its list
// (the _CLICK of a combo box) before the list appears.
class ComboWidget final : public QComboBox {
 public:
  explicit ComboWidget(QWidget* parent);
  std::function<void()> onDropDown;
  // Outer height of the opened list in pixels; 0 leaves it to Qt.
  void setOpenedListHeight(int pixels) { openedListHeight_ = pixels; }
  int openedListHeight() const { return openedListHeight_; }
  void showPopup() override;

 private:
  int openedListHeight_ = 0;
};

}  // namespace fw::internal
